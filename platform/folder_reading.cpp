// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_reading.h"

#include "platform/file_system.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QDateTime>
#else
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace dexlan {

quint64 fileStamp(qint64 size, qint64 modifiedNs) {
    return ((quint64(size) * 0x9e3779b97f4a7c15ULL) ^ quint64(modifiedNs)) | 1;
}

quint64 regularFileStamp(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return 0;
#else
    struct stat info {};
    if (::stat(pathToSystem(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    return fileStamp(info.st_size, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec);
#endif
}

bool isRegularFile(const QString& path) {
#ifdef Q_OS_WIN
    return QFileInfo(path).isFile();
#else
    struct stat info {};
    return ::stat(pathToSystem(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

bool entryIdentitiesCount(const QString& folder) {
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return true; // the size and time of the file
#else
    return !onNetworkFileSystem(folder);
#endif
}

bool stampsCanWait(const QString& folder) {
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return false; // the listing gives each file's size and time with its name
#else
    return !onNetworkFileSystem(folder);
#endif
}

qint64 entryChangeClockNs() {
#ifdef Q_OS_WIN
    return QDateTime::currentMSecsSinceEpoch() * 1000000;
#else
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
#endif
}

std::optional<EntryFacts> entryFacts(const QString& path) {
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return EntryFacts{quint64(info.size()) ^ quint64(info.lastModified().toMSecsSinceEpoch()), 0};
#else
    struct stat info {};
    if (::lstat(pathToSystem(path).constData(), &info) != 0)
        return std::nullopt;
    const bool special = S_ISDIR(info.st_mode) || S_ISFIFO(info.st_mode) ||
                         S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISSOCK(info.st_mode);
    return EntryFacts{quint64(info.st_ino), special ? 0 : regularFileStamp(path)};
#endif
}

OpenFolder::OpenFolder(const QString& folder) : m_path(folder) {
#ifndef Q_OS_WIN
    do {
        m_handle = ::open(pathToSystem(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (m_handle < 0 && errno == EINTR);
#endif
}

OpenFolder::~OpenFolder() {
#ifndef Q_OS_WIN
    if (m_handle >= 0)
        ::close(m_handle);
#endif
}

struct SmallFileReader::QtFile {
    QFile file;
};

SmallFileReader::SmallFileReader() = default;

SmallFileReader::~SmallFileReader() {
#ifndef Q_OS_WIN
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

bool SmallFileReader::open(const QString& path) {
#ifdef Q_OS_WIN
    m_qtFile = std::make_unique<QtFile>();
    m_qtFile->file.setFileName(path);
    return m_qtFile->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
#else
    return openedAt(AT_FDCWD, pathToSystem(path).constData(), 0, true, true);
#endif
}

bool SmallFileReader::openIn(const OpenFolder& folder, const QByteArray& nativeName,
                             bool listedAsRegular, bool withStamp) {
#ifndef Q_OS_WIN
    if (folder.handle() >= 0) {
        // A name listed as a regular file is opened without following a link,
        // so that one made in its place since is never read unchecked.
        const bool trusted = listedAsRegular && !withStamp;
        if (openedAt(folder.handle(), nativeName.constData(), trusted ? O_NOFOLLOW : 0, !trusted,
                     withStamp))
            return true;
        if (!trusted || m_error != ELOOP)
            return false;
        return openedAt(folder.handle(), nativeName.constData(), 0, true, withStamp);
    }
#endif
    const bool opened = open(folder.path() + pathFromSystem(nativeName));
    if (!withStamp)
        m_stamp = 0;
    return opened;
}

bool SmallFileReader::openedAt(int folder, const char* name, int flags, bool checkType,
                               bool withStamp) {
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    Q_UNUSED(name);
    Q_UNUSED(flags);
    Q_UNUSED(checkType);
    Q_UNUSED(withStamp);
    return false;
#else
    do {
        m_fd = ::openat(folder, name, flags | O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        m_error = errno;
        return false;
    }
    if (!checkType && !withStamp)
        return true;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // Listed as a file a moment ago.
        m_error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    if (withStamp)
        m_stamp =
            fileStamp(info.st_size, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec);
    return true;
#endif
}

qint64 SmallFileReader::read(char* data, qint64 size) {
#ifdef Q_OS_WIN
    return m_qtFile ? m_qtFile->file.read(data, size) : -1;
#else
    for (;;) {
        const ssize_t n = ::read(m_fd, data, size_t(size));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            m_error = errno;
            return -1;
        }
    }
#endif
}

QString SmallFileReader::errorText() const {
#ifdef Q_OS_WIN
    return m_qtFile ? m_qtFile->file.errorString() : QString();
#else
    return qt_error_string(m_error);
#endif
}

} // namespace dexlan
