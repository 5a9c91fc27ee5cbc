#pragma once
// old name, removed once every caller uses the new one
#include "roster/add_names_dialog.h"
