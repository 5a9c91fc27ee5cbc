// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_access.h"

#include "platform/file_names.h"

#include <QFile>

#ifndef Q_OS_WIN
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dexlan {

void giveAccessOf(const QString& model, const QString& folder) {
#ifdef Q_OS_WIN
    Q_UNUSED(model);
    Q_UNUSED(folder);
#else
    struct stat modelInfo {};
    struct stat folderInfo {};
    const QByteArray to = pathToSystem(folder);
    if (::stat(pathToSystem(model).constData(), &modelInfo) != 0 ||
        ::stat(to.constData(), &folderInfo) != 0)
        return;
    if (folderInfo.st_gid != modelInfo.st_gid)
        static_cast<void>(::chown(to.constData(), uid_t(-1), modelInfo.st_gid));
    if ((folderInfo.st_mode & 07777) != (modelInfo.st_mode & 07777))
        static_cast<void>(::chmod(to.constData(), modelInfo.st_mode & 07777));
#endif
}

FileError folderUsable(const QString& folder) {
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return FileError::ok(); // the first file made there tells
#else
    if (::access(pathToSystem(folder).constData(), R_OK | W_OK | X_OK) == 0)
        return FileError::ok();
    return {FileError::Other, posixErrorText(errno)};
#endif
}

} // namespace dexlan
