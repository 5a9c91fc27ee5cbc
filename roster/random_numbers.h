#pragma once

#include <cstdint>
#include <functional>

namespace dexlan {

// The whole part of (topp - bottom + 1) * r + bottom for r in [0, 1), after
// putting the bounds in order: a whole number from bottom to topp, both included.
int randInRange(int bottom, int topp, double r);

// The random numbers of a new history file. They carry no information; the
// generator is mixed with the time of day on every draw, and a test can hand
// in its own clock to make the draws repeatable.
class RandomNumbers {
  public:
    // Seconds since midnight, with their fraction.
    using Clock = std::function<double()>;

    explicit RandomNumbers(Clock clock = secondsSinceMidnight);

    int Rand(int bottom, int topp);

    static double secondsSinceMidnight();

  private:
    double draw();

    Clock m_clock;
    std::uint64_t m_state = 0x9e3779b97f4a7c15ULL;
};

} // namespace dexlan
