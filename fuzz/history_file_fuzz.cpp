// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to what the roster reads from a history folder: a
// file's first line and the name on it, file names and their user numbers,
// typed names and locations. Checks each answer against a plain restatement.
//   cmake --preset fuzz && cmake --build --preset fuzz
//   build/fuzz/roster/history_file_fuzzer -max_total_time=600 corpus/

#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"

#include <QBuffer>
#include <QString>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "broken: %s\n", what);
        abort();
    }
}

// The user number of a file name, said plainly: optional minus, digits, and
// "hist.dx" at the end in any letter case; 0 and beyond 32 bits are no user.
std::optional<int> plainUserNumber(const QString& fileName) {
    if (fileName.size() < 7)
        return std::nullopt;
    const QString tail = fileName.right(7);
    for (QChar c : tail) {
        if (c.unicode() > 0x7f)
            return std::nullopt; // only ASCII letters match
    }
    if (tail.toLower() != QLatin1String("hist.dx"))
        return std::nullopt;
    qsizetype pos = fileName.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype start = pos;
    while (pos < fileName.size() && fileName.at(pos) >= QLatin1Char('0') &&
           fileName.at(pos) <= QLatin1Char('9'))
        ++pos;
    if (pos == start)
        return std::nullopt;
    QString digits = fileName.mid(start, pos - start);
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 10)
        return std::nullopt;
    long long value = digits.toLongLong();
    if (start == 1)
        value = -value;
    if (value == 0 || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return int(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dexlan;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // A history file's first line and its name.
    {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        const FirstLine line = readFirstLine(buffer);
        check(line.status != FirstLine::ReadError, "a buffer cannot fail to read");
        if (line.status == FirstLine::Line) {
            check(!line.bytes.contains('\r'), "the line ends at CR");
            check(line.bytes.size() <= kMaxFirstLineBytes, "the line is bounded");
            check(bytes.startsWith(line.bytes), "the line is the file's start");
            const std::optional<QByteArray> name = nameFromFirstLine(line.bytes);
            if (name) {
                check(!name->isEmpty(), "a listed name is never empty");
                check(line.bytes.mid(1, name->size()) == *name, "the name is inside the quotes");
                const QString shown = shownName(*name);
                check(!shown.contains(QLatin1Char('\n')) &&
                          shown.count(QChar(0x21B5)) == name->count('\n'),
                      "a line feed shows as one symbol, never as a line break");
            }
        } else if (line.status == FirstLine::Empty) {
            check(bytes.isEmpty(), "only an empty file has no line");
        } else {
            const qsizetype cr = bytes.indexOf('\r');
            check(cr > kMaxFirstLineBytes || (cr < 0 && bytes.size() > kMaxFirstLineBytes),
                  "too long only beyond the limit");
        }
    }

    // File names and user numbers, read as the two ways names arrive.
    for (const QString& fileName : {QString::fromLatin1(bytes), QString::fromUtf8(bytes)}) {
        const std::optional<int> number = userNumberFromFileName(fileName);
        check(number == plainUserNumber(fileName), "user number as stated plainly");
        if (number) {
            check(userNumberFromFileName(newHistoryFileName(*number)) == number,
                  "a new file's name gives its number back");
            check(historyFileSpellings(*number).contains(QString::number(*number) +
                                                         QLatin1String(kHistorySuffix)),
                  "the spellings hold the lower-case name");
        }
    }

    // A typed name: either refused, or stored so that line 1 gives it back.
    const QString typed = QString::fromUtf8(bytes.left(4 * kMaxNameLength));
    const StorableName storable = storableName(typed);
    if (storable.problem == StorableName::None) {
        const int check100 = nameCheck(storable.bytes);
        check(check100 >= 0 && check100 < 100, "name check below 100");
        QByteArray file =
            newHistoryFileBytes(storable.bytes, {200, 201, 202, 203, 204, 205, 206, 5000});
        check(file.count("\r\n") == kHistoryFileLines, "374 lines");
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        const FirstLine line = readFirstLine(buffer);
        check(line.status == FirstLine::Line, "line 1 reads back");
        if (!storable.bytes.isEmpty() && line.bytes.size() <= kMaxFirstLineBytes)
            check(nameFromFirstLine(line.bytes) == storable.bytes, "the name reads back");
    }

    // A typed location under both policies.
    for (const PathPolicy& policy : {PathPolicy::posix(), PathPolicy::windows()}) {
        const QString once = normalisedLocation(typed, policy);
        check(normalisedLocation(once, policy) == once, "normalising twice changes nothing");
        if (!once.isEmpty() && !isWindowsOnlyLocation(once, policy))
            check(once.endsWith(policy.separator), "a folder ends in its separator");
        if (policy.separator == QLatin1Char('/') && !isWindowsOnlyLocation(once, policy))
            check(!resolvedHistoryFolder(once, QStringLiteral("/opt/t/"), policy)
                       .contains(QLatin1Char('\\')),
                  "no backslash reaches a path here");
    }
    return 0;
}
