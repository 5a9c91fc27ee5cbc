// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_error.h"

#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QtGlobal>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace dexlan {

FileError describeFailure(const QString& path, const QString& errorText) {
    const QFileInfo info(path);
    const PathStatus folder(info.absolutePath());
    FileError error;
    error.kind = folder.isDir() ? FileError::Other : FileError::FolderMissing;
    error.text = errorText;
    if (error.kind == FileError::FolderMissing && errorText.isEmpty())
        error.text = notFoundText();
    return error;
}

QString lastSystemErrorText() {
#ifdef Q_OS_WIN
    // Qt reads a number as a Windows error code there, and errno is none.
    return QString::fromLocal8Bit(std::strerror(errno));
#else
    return qt_error_string(errno);
#endif
}

QString posixErrorText(int error) {
#ifdef Q_OS_WIN
    // As a file opened or a folder made in the same place would report them.
    switch (error) {
    case ENOENT:
    case ENOTDIR: // a path through a regular file: Windows finds no such path
        return windowsErrorText(ERROR_PATH_NOT_FOUND);
    case EEXIST:
        return windowsErrorText(ERROR_ALREADY_EXISTS);
    case EACCES:
    case EPERM:
        return windowsErrorText(ERROR_ACCESS_DENIED);
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
#else
    return qt_error_string(error);
#endif
}

QString notFoundText() {
#ifdef Q_OS_WIN
    return windowsErrorText(ERROR_FILE_NOT_FOUND);
#else
    return qt_error_string(ENOENT);
#endif
}

QString errorTextOr(const QString& text, const QString& fallback) {
    return text.isEmpty() || text == QLatin1String("Unknown error") ? fallback : text;
}

FileError writeAll(QIODevice& device, const QByteArray& bytes) {
    auto failure = [&device] {
        return FileError{FileError::Other,
                         errorTextOr(device.errorString(), lastSystemErrorText())};
    };
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return failure();
        done += n;
    }
    if (auto* file = qobject_cast<QFileDevice*>(&device)) {
        if (!file->flush() || file->error() != QFileDevice::NoError)
            return failure();
    }
    return FileError::ok();
}

bool syncToDisk(QFileDevice& file) {
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

#ifdef Q_OS_WIN
QString windowsErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed()
                          : QCoreApplication::translate("FileError", "Error %1").arg(error);
    LocalFree(buffer);
    return text;
}
#endif

} // namespace dexlan
