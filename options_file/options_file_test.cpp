#include "options_file/options_file.h"

#include <gtest/gtest.h>

namespace dexlan {
namespace {
TEST(Placeholder, Builds) { SUCCEED(); }
}
}
