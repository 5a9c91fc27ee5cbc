// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "roster/core/history_file.h"

#include <array>
#include <cstdint>
#include <functional>

namespace dexlan {

// The whole part of (high - low + 1) * fraction + low for fraction in [0, 1),
// after putting the bounds in order: a whole number from low to high, both
// included.
int scaledToRange(int low, int high, double fraction);

// The random numbers of a new history file. They carry no information; the
// generator is mixed with the time of day on every draw, and a test can hand
// in its own clock to make the draws repeatable.
class RandomNumbers {
  public:
    // Seconds since midnight, with their fraction.
    using Clock = std::function<double()>;

    explicit RandomNumbers(Clock clock = secondsSinceMidnight);

    // A whole number from low to high, both included.
    int inRange(int low, int high);
    // The numbers a new history file holds.
    std::array<int, kRandomsPerFile> forNewFile();

    static double secondsSinceMidnight();

  private:
    double draw();

    Clock m_clock;
    std::uint64_t m_state = 0x9e3779b97f4a7c15ULL;
};

} // namespace dexlan
