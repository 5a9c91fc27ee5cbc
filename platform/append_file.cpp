// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/append_file.h"

#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDir>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace dexlan {

namespace {

QString shortWriteText() {
    return QCoreApplication::translate("AppendFile", "Only part of the line could be written.");
}

} // namespace

FileError appendWhole(const QString& path, const QByteArray& bytes) {
#ifdef Q_OS_WIN
    // FILE_APPEND_DATA without FILE_WRITE_DATA: the system puts every write
    // at the end of the file as it is at that moment.
    const HANDLE file = CreateFileW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
        FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return describeFailure(path, windowsErrorText(GetLastError()));
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok)
        return describeFailure(path, windowsErrorText(error));
    if (written != DWORD(bytes.size()))
        return {FileError::Other, shortWriteText()};
    return FileError::ok();
#else
    const int fd = ::open(pathToSystem(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return describeFailure(path, lastSystemErrorText());
    ssize_t written = -1;
    do {
        written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    const QString writeError = written < 0 ? lastSystemErrorText() : QString();
    ::close(fd);
    if (written < 0)
        return describeFailure(path, writeError);
    // No second write for the rest: it could land after another process's
    // line and cut this one in two.
    if (written != ssize_t(bytes.size()))
        return {FileError::Other, shortWriteText()};
    return FileError::ok();
#endif
}

FileError replaceByRename(const QString& from, const QString& to) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()),
                    MOVEFILE_REPLACE_EXISTING))
        return FileError::ok();
    return describeFailure(to, windowsErrorText(GetLastError()));
#else
    if (std::rename(pathToSystem(from).constData(), pathToSystem(to).constData()) == 0)
        return FileError::ok();
    return describeFailure(to, lastSystemErrorText());
#endif
}

QString accountName() {
#ifdef Q_OS_WIN
    wchar_t name[257];
    DWORD size = 257;
    if (GetUserNameW(name, &size) && size > 0)
        return QString::fromWCharArray(name, int(size) - 1);
    return qEnvironmentVariable("USERNAME");
#else
    if (const passwd* account = ::getpwuid(::geteuid()); account && account->pw_name)
        return QString::fromLocal8Bit(account->pw_name);
    return qEnvironmentVariable("USER");
#endif
}

} // namespace dexlan
