// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and deleting history files: whole or not at all, never over another's.
#include "roster/history_folder.h"
#include "roster/history_folder_detail.h"

#include "options_file/option_lines.h"
#include "options_file/options_file.h"
#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/file_names.h"
#include "roster/history_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <limits>

#ifdef Q_OS_WIN
#include <QDateTime>
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dexlan {

using namespace folder_detail;

namespace {

// Makes the new name itself durable: without it a crash may forget the entry.
void syncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    const int fd = ::open(pathToSystem(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// A file beside path holding bytes, complete and synced, under a hidden name
// that no user's file can have (it does not end in "hist.dx").
struct Temporary {
    QString path;
    FileError error;
};

Temporary temporaryBeside(const QString& path, const QByteArray& bytes) {
    const TemporaryBeside made = writeTemporaryBeside(path, bytes);
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

#ifndef Q_OS_WIN
namespace {
Placed placeFailure(int error) {
    if (error == EEXIST)
        return {Placed::NameTaken, {}};
    return {Placed::Failed, qt_error_string(error)};
}
} // namespace
#endif

Placed folder_detail::placeWithoutReplacing(const QString& from, const QString& to) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_WRITE_THROUGH))
        return {Placed::Done, {}};
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return {Placed::NameTaken, {}};
    return {Placed::Failed, windowsErrorText(error)};
#else
    const QByteArray source = pathToSystem(from);
    const QByteArray target = pathToSystem(to);
#ifdef Q_OS_LINUX
    // Where the file system cannot rename without replacing (NFS, for one), a
    // second name for the file, made by link(), is just as atomic.
    const int renamed =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (renamed == 0)
        return {Placed::Done, {}};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return placeFailure(errno);
#endif
    if (::link(source.constData(), target.constData()) == 0) {
        removePath(pathFromSystem(source));
        return {Placed::Done, {}};
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return placeFailure(errno);
    // Neither, as on some shares: look, then rename. Only a copy that makes
    // the same name within that moment could be replaced.
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0)
        return {Placed::NameTaken, {}};
    if (::rename(source.constData(), target.constData()) == 0)
        return {Placed::Done, {}};
    return placeFailure(errno);
#endif
}

CreateResult createFileExclusively(const QString& path, const QByteArray& bytes) {
    if (holdsControlCharacter(path))
        return {CreateResult::Failed, otherFailure(controlCharacterInLocationText())};
    if (existsAsAnything(path))
        return {CreateResult::AlreadyExists, {}};
    const Temporary temporary = temporaryBeside(path, bytes);
    if (temporary.error.failed())
        return {CreateResult::Failed, temporary.error};
    const Placed placed = placeWithoutReplacing(temporary.path, path);
    if (placed.outcome != Placed::Done) {
        removePath(temporary.path);
        if (placed.outcome == Placed::NameTaken)
            return {CreateResult::AlreadyExists, {}};
        return {CreateResult::Failed, failureIn(folderOf(path), placed.errorText)};
    }
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
#ifdef Q_OS_WIN
    if (!MoveFileExW(
            reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(temporary.path).utf16()),
            reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return skip();
#else
    if (::rename(pathToSystem(temporary.path).constData(), pathToSystem(path).constData()) != 0)
        return skip();
#endif
    syncFolder(folderOf(path));
    return {CreateResult::Created, {}};
}

QString existingHistoryFile(const QString& folder, int number) {
    if (holdsControlCharacter(folder))
        return {};
#ifdef Q_OS_WIN
    const QStringList spellings{QString::number(number) + QLatin1String(kHistorySuffix)};
#else
    const QStringList spellings = historyFileSpellings(number);
#endif
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
