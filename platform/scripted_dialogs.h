#pragma once
// old place, removed once every caller includes testing/scripted_dialogs.h
#include "testing/scripted_dialogs.h"
