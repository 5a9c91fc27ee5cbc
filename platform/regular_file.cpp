// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/regular_file.h"

#include "platform/file_names.h"

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dexlan {

bool openRegularFile(QFile& file, const QString& path) {
#ifdef Q_OS_WIN
    if (!QFileInfo(path).isFile())
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#else
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come;
    // the type is then checked on what was opened, so nothing can be swapped in
    // between.
    const int fd = ::open(pathToSystem(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

QByteArray contentDigest(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, kContentDigest);
}

QByteArray regularFileDigest(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path))
        return {};
    QCryptographicHash hash(kContentDigest);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
        return {};
    return hash.result();
}

} // namespace dexlan
