// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/code_page.h"

#include <algorithm>
#include <iterator>

namespace dexlan {

namespace {

// Windows-1252 is ISO 8859-1 except for bytes 0x80 to 0x9F. Our own table, so
// that the conversion is the same on every platform and needs no ICU (Qt for
// Windows is built without it). The five bytes Windows leaves unassigned map
// to the control characters of the same value, as Windows converts them, so
// that every byte survives a round trip.
constexpr char16_t kHighBytes[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

bool isHighByte(unsigned value) {
    return value >= 0x80 && value < 0xA0;
}

} // namespace

QString fromCodePage(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(isHighByte(value) ? kHighBytes[value - 0x80] : char16_t(value));
    }
    return text;
}

std::optional<QByteArray> toCodePage(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x100 && !isHighByte(unit)) {
            *out++ = char(unit);
            continue;
        }
        const auto* found = std::find(std::begin(kHighBytes), std::end(kHighBytes), unit);
        if (found == std::end(kHighBytes))
            return std::nullopt;
        *out++ = char(0x80 + (found - std::begin(kHighBytes)));
    }
    return bytes;
}

bool holdsControlCharacter(QStringView text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

} // namespace dexlan
