// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/history_file.h"

#include "platform/code_page.h"
#include "platform/cr_lines.h"
#include "platform/file_names.h"
#include "platform/folder_reading.h"
#include "platform/line_break.h"

#include <QIODevice>

#include <cstring>
#include <limits>

namespace dexlan {

namespace {

// The ASCII letter in lower case; 0 for anything beyond ASCII, which must not
// be cut down to a byte that happens to be a letter.
char asciiLower(char16_t c) {
    if (c >= 0x80)
        return 0;
    return (c >= u'A' && c <= u'Z') ? char(c - u'A' + 'a') : char(c);
}

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

// Every history file's name is the user's number followed by the suffix, in
// one of its spellings.
QString numberedName(int number, const QString& suffix) {
    return QString::number(number) + suffix;
}

} // namespace

QString newHistoryFileName(int number) {
    return numberedName(number, QLatin1String(kNewHistorySuffix));
}

QString historyFileName(int number) {
    return numberedName(number, QLatin1String(kHistorySuffix));
}

QStringList historyFileSpellings(int number) {
    constexpr qsizetype kLength = sizeof kHistorySuffix - 1;
    // The letters of the suffix; the dot keeps its place.
    constexpr int kLetters[] = {0, 1, 2, 3, 5, 6};
    QStringList spellings;
    spellings.reserve(1 << std::size(kLetters));
    for (int mask = 0; mask < (1 << std::size(kLetters)); ++mask) {
        QString suffix = QString::fromLatin1(kHistorySuffix, kLength);
        for (size_t bit = 0; bit < std::size(kLetters); ++bit) {
            if (mask & (1 << bit))
                suffix[kLetters[bit]] = suffix[kLetters[bit]].toUpper();
        }
        spellings.append(numberedName(number, suffix));
    }
    return spellings;
}

bool hasHistorySuffix(QStringView fileName) {
    constexpr qsizetype kLength = sizeof kHistorySuffix - 1;
    if (fileName.size() < kLength)
        return false;
    const QStringView tail = fileName.right(kLength);
    for (qsizetype i = 0; i < kLength; ++i) {
        if (asciiLower(tail[i].unicode()) != kHistorySuffix[i])
            return false;
    }
    return true;
}

namespace {

char16_t codeUnit(QChar c) {
    return c.unicode();
}
char16_t codeUnit(char c) {
    return char16_t(static_cast<unsigned char>(c));
}

// The user number at the start of a file name, its suffix already checked;
// name[i] gives the code unit (or byte) at i.
template <typename Name> std::optional<int> numberAtStart(const Name& name) {
    qsizetype pos = 0;
    const auto unit = [&name](qsizetype i) { return codeUnit(name[i]); };
    const bool negative = !name.isEmpty() && unit(0) == u'-';
    if (negative)
        ++pos;
    // Accumulate as a negative value so that the lowest int is reachable.
    constexpr qint64 kLowest = qint64(std::numeric_limits<int>::min());
    qint64 value = 0;
    bool anyDigit = false;
    for (; pos < name.size(); ++pos) {
        const char16_t c = unit(pos);
        if (c < u'0' || c > u'9')
            break;
        anyDigit = true;
        value = value * 10 - (c - u'0');
        if (value < kLowest)
            return std::nullopt; // beyond 32 bits: not one of the trainer's users
    }
    if (!anyDigit)
        return std::nullopt;
    if (!negative) {
        if (-value > std::numeric_limits<int>::max())
            return std::nullopt;
        value = -value;
    }
    if (value == 0)
        return std::nullopt;
    return int(value);
}

} // namespace

std::optional<int> userNumberFromFileName(QStringView fileName) {
    if (!hasHistorySuffix(fileName))
        return std::nullopt;
    return numberAtStart(fileName);
}

std::optional<int> userNumberFromNativeName(QByteArrayView nativeName) {
    // Digits, minus sign and suffix are ASCII, one byte each in the file
    // system's bytes and one unit each in the name shown: both say the same.
    constexpr qsizetype kLength = sizeof kHistorySuffix - 1;
    if (nativeName.size() < kLength)
        return std::nullopt;
    const QByteArrayView tail = nativeName.last(kLength);
    for (qsizetype i = 0; i < kLength; ++i) {
        if (asciiLower(codeUnit(tail[i])) != kHistorySuffix[i])
            return std::nullopt;
    }
    return numberAtStart(nativeName);
}

namespace {

// Reads the first line through read(buffer, size), which answers the bytes
// read, 0 at the end, or -1 on an error that errorText() then describes.
template <typename Read, typename ErrorText>
FirstLine scanFirstLine(Read read, ErrorText errorText) {
    // A history file's first line is a short quoted name: one small read is
    // normally all it takes.
    CrLineReader<Read, 256> reader(std::move(read));
    FirstLine result;
    switch (reader.next(result.bytes, kMaxFirstLineBytes)) {
    case CrLineReader<Read, 256>::Line:
        result.status = FirstLine::Line;
        break;
    case CrLineReader<Read, 256>::End:
        result.status = FirstLine::Empty;
        break;
    case CrLineReader<Read, 256>::Overlong:
        result.status = FirstLine::TooLong;
        result.bytes.clear();
        break;
    case CrLineReader<Read, 256>::ReadError:
        result.status = FirstLine::ReadError;
        result.errorText = errorText();
        result.bytes.clear();
        break;
    }
    return result;
}

FirstLine failedRead(const QString& text) {
    FirstLine result;
    result.status = FirstLine::ReadError;
    result.errorText = text;
    return result;
}

} // namespace

FirstLine readFirstLine(QIODevice& input) {
    return scanFirstLine([&input](char* data, qint64 size) { return input.read(data, size); },
                         [&input] { return input.errorString(); });
}

namespace {

// Reads the first line of the file reader has open.
FirstLine readFirstLineFrom(SmallFileReader& reader) {
    FirstLine line =
        scanFirstLine([&reader](char* data, qint64 size) { return reader.read(data, size); },
                      [&reader] { return reader.errorText(); });
    line.stamp = reader.stamp();
    return line;
}

} // namespace

FirstLine readFirstLineOfFile(const QString& path) {
    SmallFileReader reader;
    if (!reader.open(path))
        return failedRead(reader.errorText());
    return readFirstLineFrom(reader);
}

FirstLine readFirstLineIn(const OpenFolder& folder, const QByteArray& nativeName,
                          FirstLineRead how) {
    SmallFileReader reader;
    if (!reader.openIn(folder, nativeName, how.listedAsRegular, how.withStamp))
        return failedRead(reader.errorText());
    return readFirstLineFrom(reader);
}

std::optional<QByteArray> nameFromFirstLine(const QByteArray& line) {
    // Two characters are the quotes alone: the empty name, or no name at all.
    if (line.size() <= 2)
        return std::nullopt;
    return line.mid(1, line.size() - 2);
}

StorableName storableName(const QString& name, const CodePage& codePage) {
    StorableName result;
    for (QChar c : name) {
        if (isControl(c.unicode())) {
            result.problem = StorableName::ControlCharacter;
            return result;
        }
    }
    std::optional<QByteArray> bytes = toCodePage(name, codePage);
    if (!bytes) {
        result.problem = StorableName::OutsideCodePage;
        return result;
    }
    result.bytes = *bytes;
    return result;
}

int nameCheck(const QByteArray& name) {
    int sum = 0;
    for (char c : name)
        sum = (sum + static_cast<unsigned char>(c)) % 100;
    return sum;
}

int nameKey(int check) {
    return (3 * check + 2719) % 10000;
}

QByteArray historyNumberText(int value) {
    QByteArray text = QByteArray::number(value);
    if (value >= 0)
        text.prepend(' ');
    return text;
}

QByteArray newHistoryFileBytes(const QByteArray& name,
                               const std::array<int, kRandomsPerFile>& randoms) {
    static const QByteArray kLineEnd = kCrLf.toLatin1();
    QByteArray out;
    out.reserve(name.size() + kHistoryFileLines * 8);
    auto line = [&out](const QByteArray& text) {
        out += text;
        out += kLineEnd;
    };
    auto number = [&line](int value) { line(historyNumberText(value)); };

    line('"' + name + '"');
    const QByteArray zero = historyNumberText(0);
    for (int i = 0; i < kRecordValues; ++i)
        line(zero);
    line(kRecordMarker);
    const int check = nameCheck(name);
    number(check);
    number(0); // the record check: every record of a new user is zero
    number(randoms[0]);
    number(nameKey(check));
    for (int i = 1; i <= 4; ++i)
        number(randoms[i]);
    number(kFixedKey);
    for (int i = 5; i <= 7; ++i)
        number(randoms[i]);
    return out;
}

} // namespace dexlan
