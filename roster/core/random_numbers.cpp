// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/random_numbers.h"

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

int scaledToRange(int low, int high, double fraction) {
    if (low > high)
        std::swap(low, high);
    const double span = double(high) - double(low) + 1.0;
    const double value = std::floor(span * fraction + double(low));
    // Rounding can carry a fraction just below 1 onto high + 1.
    return int(std::clamp(value, double(low), double(high)));
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

int RandomNumbers::inRange(int low, int high) {
    return scaledToRange(low, high, draw());
}

std::array<int, kRandomsPerFile> RandomNumbers::forNewFile() {
    std::array<int, kRandomsPerFile> randoms;
    for (int& value : randoms)
        value = inRange(kRandomBottom, kRandomTop);
    return randoms;
}

} // namespace dexlan
