#include "roster/random_numbers.h"

#include <QTime>

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace dexlan {

namespace {

std::uint64_t splitMix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

int randInRange(int bottom, int topp, double r) {
    if (bottom > topp)
        std::swap(bottom, topp);
    const double span = double(topp) - double(bottom) + 1.0;
    const double value = std::floor(span * r + double(bottom));
    // Rounding can carry r just below 1 onto topp + 1.
    return int(std::clamp(value, double(bottom), double(topp)));
}

RandomNumbers::RandomNumbers(Clock clock) : m_clock(std::move(clock)) {}

double RandomNumbers::secondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double RandomNumbers::draw() {
    // Reseeding from the time alone would give the same number to every draw
    // within one tick; mixing the time into the running state keeps them apart.
    m_state = splitMix(m_state ^ std::bit_cast<std::uint64_t>(m_clock()));
    return double(m_state >> 11) * 0x1.0p-53;
}

int RandomNumbers::Rand(int bottom, int topp) {
    return randInRange(bottom, topp, draw());
}

} // namespace dexlan
