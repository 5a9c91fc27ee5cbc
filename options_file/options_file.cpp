// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_file/options_file.h"

#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/cr_lines.h"
#include "platform/line_break.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace dexlan {

namespace {

// Feeds the line reader from the options file and counts every byte read
// into the digest. A read error ends the file, as the end of a short file does.
struct DigestingRead {
    QIODevice* input;
    QCryptographicHash* digest;
    qint64 operator()(char* data, qint64 size) const {
        const qint64 n = input->read(data, size);
        if (n <= 0)
            return 0;
        digest->addData(QByteArrayView(data, n));
        return n;
    }
};
using LineReader = CrLineReader<DigestingRead, 16 * 1024>;

bool isOneOf(const QByteArray& value, std::initializer_list<const char*> accepted) {
    for (const char* candidate : accepted) {
        if (value == candidate)
            return true;
    }
    return false;
}

qsizetype lineBound(int entry) {
    return entry >= 6 && entry <= 9 ? kMaxTrainerLineBytes : kMaxLineBytes;
}

struct Check {
    int entry;
    std::initializer_list<const char*> accepted;
    const char* message;
};

} // namespace

LoadResult parseOptionsFile(QIODevice& input) {
    using namespace values;
    LoadResult result;
    QCryptographicHash digest(kContentDigest);
    LineReader reader(DigestingRead{&input, &digest});
    QByteArray line;

    // Lines 1 to 11 must all be readable; anything else is a missing file.
    for (int entry = kFirstEntry; entry <= 11; ++entry) {
        switch (reader.next(line, lineBound(entry))) {
        case LineReader::Line:
            break;
        case LineReader::Overlong:
            if (entry == EntryHeader)
                return result; // no options file begins like that
            result.outcome = LoadOutcome::LineTooLong;
            result.longLine = entry;
            return result;
        case LineReader::End:
        case LineReader::ReadError:
            return result;
        }
        if (entry == EntryHeader && line != kHeader)
            return result;
        result.lines[entry] = line;
    }
    // Line 12 is optional; an unreadable one counts as absent.
    if (reader.next(line, lineBound(EntryDocuments)) == LineReader::Line)
        result.lines[EntryDocuments] = line;
    result.linesAsRead = result.lines;

    const Check checks[] = {
        {EntryTitle,
         {kTitle},
         QT_TRANSLATE_NOOP("OptionsFile", "Is the wrong program title for Dexlan4.ini file.")},
        {EntryInstallation,
         {kSingleComputer, kNetwork, kIndividual},
         QT_TRANSLATE_NOOP("OptionsFile",
                           "Is the wrong computer type selection for Dexlan4.ini file.")},
        {EntryHistoryMode,
         {kHistAuto, kHistRosterOpen, kHistRosterProtected, kHistDriveA, kHistNone, kHistLogin},
         QT_TRANSLATE_NOOP("OptionsFile",
                           "Is the wrong history file location selection for Dexlan4.ini file.")},
        {EntryManualAdvance,
         {kF2Off, kF2On},
         QT_TRANSLATE_NOOP(
             "OptionsFile",
             "Is the wrong selection for the automatic advance option in the Dexlan4.ini file.")},
        {EntrySounds,
         {kSfxNone, kSfxBeep, kSfxAll},
         QT_TRANSLATE_NOOP(
             "OptionsFile",
             "Is the wrong selection for the sound effects option in the Dexlan4.ini file.")},
    };
    for (const Check& check : checks) {
        if (!isOneOf(result.lines[check.entry], check.accepted)) {
            result.outcome = LoadOutcome::CheckFailed;
            result.offendingLine = result.lines[check.entry];
            result.checkMessage = QCoreApplication::translate("OptionsFile", check.message);
            return result;
        }
        // A single computer keeps its history files with the program.
        if (check.entry == EntryHistoryMode && result.lines[EntryInstallation] == kSingleComputer)
            result.lines[EntryHistoryLocation] = kHistHome;
    }
    if (!isOneOf(result.lines[EntryDocuments], {kDocumentsOff, kDocumentsOn}))
        result.lines[EntryDocuments] = kDocumentsOn;
    reader.readToEnd();
    result.digest = digest.result();
    result.outcome = LoadOutcome::Loaded;
    return result;
}

LoadResult parseOptionsFile(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path))
        return {};
    return parseOptionsFile(file);
}

QByteArray optionsFileBytes(const OptionLines& lines) {
    QByteArray bytes;
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry) {
        bytes += lines[entry];
        bytes += kCrLfBytes;
    }
    return bytes;
}

FileError writeOptionsFile(const QString& path, const OptionLines& lines) {
    // The trainer ends a line at CR, and this program's reader stops at a
    // line past its bound: either would leave a file neither reads as written.
    // A lone LF belongs to its line for both, so a trainer's line holding one
    // is written back as it was read.
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry) {
        const QByteArray& line = lines[entry];
        if (line.contains('\r'))
            return {FileError::Other,
                    QCoreApplication::translate("OptionsFile",
                                                "Line %1 of the options would hold a line break.")
                        .arg(entry)};
        if (line.size() > lineBound(entry))
            return {FileError::Other,
                    QCoreApplication::translate(
                        "OptionsFile",
                        "Line %1 of the options would be longer than %2 characters, the most "
                        "that can be read back.")
                        .arg(QString::number(entry), QString::number(lineBound(entry)))};
    }
    return rewriteKeepingIdentity(path, optionsFileBytes(lines));
}

QString historyFolderFromEntry(const QByteArray& entry5, const PathPolicy& policy) {
    if (entry5 == values::kHistHome)
        return {};
    return policy.withTrailingSeparator(fromCodePage(entry5, policy.codePage));
}

QString installationCaption(const QByteArray& entry3) {
    if (entry3 == values::kNetwork)
        return QCoreApplication::translate("OptionsFile", "Network Installation");
    if (entry3 == values::kIndividual)
        return QCoreApplication::translate("OptionsFile", "Individual Installation");
    if (entry3 == values::kSingleComputer)
        return QCoreApplication::translate("OptionsFile", "Single-Computer Installation");
    return {};
}

bool optionsChanged(const OptionLines& working, const OptionLines& onDisk) {
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry) {
        if (working[entry] != onDisk[entry])
            return true;
    }
    return false;
}

QString controlCharacterInLocationText() {
    return QCoreApplication::translate(
        "OptionsFile", "The location contains a control character, such as a line break, which "
                       "no folder name and no line of the Dexlan4.ini file can hold.");
}

QString locationRefusal(const QString& boxText, const PathPolicy& policy) {
    const QString stored = policy.locationCase(boxText);
    if (holdsControlCharacter(stored))
        return controlCharacterInLocationText();
    // The trainer reads the file in its single-byte code page; a location
    // it cannot hold would be written as a different folder.
    if (!toCodePage(stored, policy.codePage))
        return QCoreApplication::translate("OptionsDialogue",
                                           "The history location contains characters that cannot "
                                           "be stored in the options file.");
    // One byte a character in the code page; a longer line would lock this
    // program out of its own file.
    if (stored.size() > lineBound(EntryHistoryLocation))
        return QCoreApplication::translate("OptionsFile",
                                           "The location is %1 characters long; the Dexlan4.ini "
                                           "file can hold at most %2.")
            .arg(QString::number(stored.size()), QString::number(lineBound(EntryHistoryLocation)));
    return {};
}

std::optional<SavedLocation> locationForSaving(const QString& boxText, const QString& programFolder,
                                               const PathPolicy& policy) {
    SavedLocation saved{values::kHistHome, boxText};
    if (boxText.isEmpty() || boxText == policy.locationCase(programFolder))
        return saved;
    if (!locationRefusal(boxText, policy).isEmpty())
        return std::nullopt;
    saved.boxText = policy.locationCase(boxText);
    std::optional<QByteArray> bytes = toCodePage(saved.boxText, policy.codePage);
    if (!bytes)
        return std::nullopt;
    saved.entry5 = *bytes;
    if (policy.driveLetterColon && saved.boxText.size() == 1)
        saved.entry5 += ':';
    return saved;
}

} // namespace dexlan
