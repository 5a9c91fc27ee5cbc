#pragma once
// old place, removed once every caller includes testing/test_files.h
#include "testing/test_files.h"
