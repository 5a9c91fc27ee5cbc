// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/random_numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace dexlan {
namespace {

TEST(ScaledToRange, WholePartOfTheScaledDraw) {
    struct Case {
        int bottom;
        int topp;
        double r;
        int expected;
    };
    const double justBelowOne = 0.9999999999999999;
    const Case cases[] = {
        {200, 5000, 0.0, 200},
        {200, 5000, justBelowOne, 5000},
        {200, 5000, 0.5, 2600},
        {5000, 200, 0.0, 200}, // bounds given the wrong way round are swapped
        {5000, 200, justBelowOne, 5000},
        {0, 9, 0.55, 5},
        {-5, -1, 0.0, -5}, // the whole part rounds down, also below zero
        {-5, -1, justBelowOne, -1},
        {3, 3, 0.7, 3},
        {INT_MIN, INT_MAX, justBelowOne, INT_MAX},
        {INT_MIN, INT_MAX, 0.0, INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scaledToRange(c.bottom, c.topp, c.r), c.expected)
            << c.bottom << ".." << c.topp << " r=" << c.r;
}

TEST(RandomNumbersInRange, StaysInRangeAndVariesWithinOneTick) {
    // A clock that never moves: every draw is reseeded with the same time.
    RandomNumbers random([] { return 43200.25; });
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int value = random.inRange(200, 5000);
        ASSERT_GE(value, 200);
        ASSERT_LE(value, 5000);
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 1000u);
}

TEST(RandomNumbersInRange, SameClockGivesTheSameDraws) {
    double now = 10.0;
    auto clock = [&now] { return now += 0.001; };
    RandomNumbers first(clock);
    now = 10.0;
    const int a = first.inRange(200, 5000);
    now = 10.0;
    RandomNumbers second(clock);
    EXPECT_EQ(second.inRange(200, 5000), a);
}

} // namespace
} // namespace dexlan
