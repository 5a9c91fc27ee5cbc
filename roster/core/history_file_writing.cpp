// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and deleting history files: whole or not at all, never over another's.
#include "roster/core/history_folder.h"
#include "roster/core/history_folder_detail.h"

#include "options_file/option_lines.h"
#include "options_file/options_file.h"
#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/file_names.h"
#include "platform/file_placing.h"
#include "roster/core/history_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace dexlan {

using namespace folder_detail;

namespace {

// A file beside path holding bytes, complete and synced, under a hidden name
// that no user's file can have (it does not end in "hist.dx").
struct Temporary {
    QString path;
    FileError error;
};

Temporary temporaryBeside(const QString& path, const QByteArray& bytes,
                          SyncTime sync = SyncTime::Now) {
    const TemporaryBeside made = writeTemporaryBeside(path, bytes, sync);
    switch (made.outcome) {
    case TemporaryBeside::Made:
        return {made.path, {}};
    case TemporaryBeside::NotMade:
        return {{}, failureIn(folderOf(path), made.errorText)};
    case TemporaryBeside::NotWritten:
        break;
    }
    return {{}, otherFailure(made.errorText)};
}

} // namespace

CreateResult createFileExclusively(const QString& path, const QByteArray& bytes, SyncTime sync) {
    if (holdsControlCharacter(path))
        return {CreateResult::Failed, otherFailure(controlCharacterInLocationText())};
    if (existsAsAnything(path))
        return {CreateResult::AlreadyExists, {}};
    const Temporary temporary = temporaryBeside(path, bytes, sync);
    if (temporary.error.failed())
        return {CreateResult::Failed, temporary.error};
    const PlacedFile placed = placeWithoutReplacing(temporary.path, path);
    if (placed.outcome != PlacedFile::Done) {
        removePath(temporary.path);
        if (placed.outcome == PlacedFile::NameTaken)
            return {CreateResult::AlreadyExists, {}};
        return {CreateResult::Failed, failureIn(folderOf(path), placed.errorText)};
    }
    if (sync == SyncTime::Now)
        syncFolder(folderOf(path));
    return {CreateResult::Created, {}};
}

CreateResult replaceEmptyNameFile(const QString& path, const QByteArray& bytes) {
    if (holdsControlCharacter(path))
        return {CreateResult::Failed, otherFailure(controlCharacterInLocationText())};
    const Temporary temporary = temporaryBeside(path, bytes);
    if (temporary.error.failed())
        return {CreateResult::Failed, temporary.error};
    auto skip = [&temporary] {
        removePath(temporary.path);
        return CreateResult{CreateResult::Skipped, {}};
    };
    // Looked at again at the last moment: another copy may have given it a
    // name since. A write-protected file is somebody's decision, kept.
    const FirstLine line = readFirstLineOfFile(path);
    if (line.status != FirstLine::Line || line.bytes != "\"\"")
        return skip();
    const PathStatus info(path);
    if (!info.isSymLink() && !info.isWritable())
        return skip();
    if (!replaceWithFile(temporary.path, path))
        return skip();
    syncFolder(folderOf(path));
    return {CreateResult::Created, {}};
}

QString existingHistoryFile(const QString& folder, int number) {
    if (holdsControlCharacter(folder))
        return {};
    // Where letter case makes no other file, one spelling finds them all.
    const QStringList spellings =
        letterCaseTellsNamesApart()
            ? historyFileSpellings(number)
            : QStringList{historyFileName(number)};
    for (const QString& spelling : spellings) {
        if (PathStatus(folder + spelling).isFile())
            return folder + spelling;
    }
    return {};
}

FileError deleteHistoryFile(const QString& path) {
    QString errorText;
    if (removePath(path, &errorText))
        return FileError::ok();
    return otherFailure(
        errorTextOr(errorText, existsAsAnything(path) ? lastSystemErrorText() : notFoundText()));
}

} // namespace dexlan
