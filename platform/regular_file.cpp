// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/regular_file.h"

#include "platform/file_error.h"
#include "platform/file_names.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dexlan {

QString notRegularFileText() {
    return QCoreApplication::translate("RegularFile",
                                       "This is not a file but a folder, a device or a pipe.");
}

bool openRegularFile(QFile& file, const QString& path, QString* whyNot) {
    auto refuse = [whyNot](const QString& text) {
        if (whyNot)
            *whyNot = text;
        return false;
    };
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.isFile())
        return refuse(info.exists() ? notRegularFileText() : notFoundText());
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    return true;
#else
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come;
    // the type is then checked on what was opened, so nothing can be swapped in
    // between.
    const int fd = ::open(pathToSystem(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(lastSystemErrorText());
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString text = S_ISREG(info.st_mode) ? lastSystemErrorText() : notRegularFileText();
        ::close(fd);
        return refuse(text);
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
