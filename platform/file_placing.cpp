// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_placing.h"

#include "platform/file_error.h"
#include "platform/file_names.h"
#include "platform/file_system.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dexlan {

#ifdef Q_OS_WIN

namespace {
const wchar_t* nativeName(const QString& path) {
    return reinterpret_cast<const wchar_t*>(path.utf16());
}
} // namespace

PlacedFile placeWithoutReplacing(const QString& from, const QString& to) {
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    if (MoveFileExW(nativeName(source), nativeName(target), MOVEFILE_WRITE_THROUGH))
        return {PlacedFile::Done, {}};
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return {PlacedFile::NameTaken, {}};
    return {PlacedFile::Failed, windowsErrorText(error)};
}

bool replaceWithFile(const QString& from, const QString& to) {
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    return MoveFileExW(nativeName(source), nativeName(target),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

void syncFolder(const QString&) {}

#else

namespace {
PlacedFile placeFailure(int error) {
    if (error == EEXIST)
        return {PlacedFile::NameTaken, {}};
    return {PlacedFile::Failed, qt_error_string(error)};
}
} // namespace

PlacedFile placeWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray source = pathToSystem(from);
    const QByteArray target = pathToSystem(to);
#ifdef Q_OS_LINUX
    // Where the file system cannot rename without replacing (NFS, for one), a
    // second name for the file, made by link(), is just as atomic.
    const int renamed =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (renamed == 0)
        return {PlacedFile::Done, {}};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return placeFailure(errno);
#endif
    if (::link(source.constData(), target.constData()) == 0) {
        removePath(pathFromSystem(source));
        return {PlacedFile::Done, {}};
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return placeFailure(errno);
    // Neither, as on some shares: look, then rename. Only a copy that makes
    // the same name within that moment could be replaced.
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0)
        return {PlacedFile::NameTaken, {}};
    if (::rename(source.constData(), target.constData()) == 0)
        return {PlacedFile::Done, {}};
    return placeFailure(errno);
}

bool replaceWithFile(const QString& from, const QString& to) {
    return ::rename(pathToSystem(from).constData(), pathToSystem(to).constData()) == 0;
}

void syncFolder(const QString& folder) {
    const int fd = ::open(pathToSystem(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

#endif

#ifdef Q_OS_LINUX
SyncBatch::SyncBatch(const QString& folder) {
    // A network file system may not pass syncfs on to its server, as it does
    // each file's fsync.
    if (surelyOnLocalFileSystem(folder))
        m_folder = ::open(pathToSystem(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

SyncBatch::~SyncBatch() {
    if (m_folder >= 0)
        ::close(m_folder);
}

bool SyncBatch::sync(QString* errorText) {
    // syncfs also reports a write that failed, since the folder was opened,
    // after write() itself had succeeded.
    if (m_folder >= 0 && ::syncfs(m_folder) == 0)
        return true;
    if (errorText)
        *errorText = qt_error_string(m_folder >= 0 ? errno : EBADF);
    return false;
}
#else
SyncBatch::SyncBatch(const QString&) {}
SyncBatch::~SyncBatch() = default;
bool SyncBatch::sync(QString*) {
    return true;
}
#endif

} // namespace dexlan
