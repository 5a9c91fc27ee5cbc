// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_names.h"

#include "platform/file_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dexlan {

#ifndef Q_OS_WIN
namespace {

constexpr char16_t kFirstEscape = 0xDC80; // byte 0x80
constexpr char16_t kLastEscape = 0xDCFF;  // byte 0xFF

bool isEscape(char16_t c) {
    return c >= kFirstEscape && c <= kLastEscape;
}

// The length of the valid UTF-8 sequence at bytes[i], or 0. Overlong forms,
// encoded surrogates and values past U+10FFFF are not valid: each of their
// bytes is kept as an escape, so that they come back exactly.
qsizetype validSequenceAt(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = i + 2; k < i + length; ++k) {
        if (at(k) < 0x80 || at(k) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace
#endif

QString pathFromSystem(QByteArrayView bytes) {
#ifdef Q_OS_WIN
    return QFile::decodeName(bytes.toByteArray());
#else
    // Nearly every name is plain ASCII: one conversion then, not one a byte
    // (a listing turns 100,000 names).
    const auto plain = std::find_if(bytes.begin(), bytes.end(),
                                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (plain == bytes.end())
        return QString::fromLatin1(bytes.data(), bytes.size());
    QString path;
    path.reserve(bytes.size());
    qsizetype i = plain - bytes.begin();
    path.append(QLatin1StringView(bytes.data(), i));
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            path.append(QLatin1Char(char(c)));
            ++i;
        } else if (const qsizetype length = validSequenceAt(bytes, i)) {
            path.append(QString::fromUtf8(bytes.sliced(i, length)));
            i += length;
        } else {
            path.append(QChar(char16_t(0xDC00 + c)));
            ++i;
        }
    }
    return path;
#endif
}

QByteArray pathToSystem(const QString& path) {
#ifdef Q_OS_WIN
    return QFile::encodeName(path);
#else
    if (qtReachesPath(path))
        return QFile::encodeName(path);
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path.at(i).unicode();
        // The low half of a pair is never an escape.
        const bool paired = i > 0 && QChar::isHighSurrogate(path.at(i - 1).unicode());
        if (isEscape(c) && !paired) {
            bytes += QStringView(path).sliced(plainFrom, i - plainFrom).toUtf8();
            bytes += char(c - 0xDC00);
            plainFrom = i + 1;
        }
    }
    bytes += QStringView(path).sliced(plainFrom).toUtf8();
    return bytes;
#endif
}

bool qtReachesPath(const QString& path) {
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return true;
#else
    for (QChar c : path) {
        if (isEscape(c.unicode()))
            return false;
    }
    return true;
#endif
}

QString shownPath(const QString& path) {
    QString shown = path;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown.at(i);
        if (c.isHighSurrogate() && i + 1 < shown.size() && shown.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

QString absolutePathOf(const QString& path) {
#ifdef Q_OS_WIN
    return QFileInfo(path).absoluteFilePath();
#else
    // QFileInfo passes the path through Qt's own conversion, which loses bytes.
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    QByteArray current(4096, Qt::Uninitialized);
    while (!::getcwd(current.data(), size_t(current.size()))) {
        if (errno != ERANGE)
            return QFileInfo(path).absoluteFilePath();
        current.resize(current.size() * 2);
    }
    current.truncate(qsizetype(std::strlen(current.constData())));
    return QDir::cleanPath(pathFromSystem(current) + QLatin1Char('/') + path);
#endif
}

QString runningProgramFolder() {
#ifdef Q_OS_LINUX
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && length < ssize_t(sizeof target)) {
        const QByteArray path(target, qsizetype(length));
        const qsizetype slash = path.lastIndexOf('/');
        if (slash > 0)
            return pathFromSystem(path.first(slash));
    }
#endif
    return QCoreApplication::applicationDirPath();
}

#ifdef Q_OS_WIN

PathStatus::PathStatus(const QString& path) : m_path(path) {
    const QFileInfo info(path);
    m_exists = info.exists();
    m_symLink = info.isSymLink();
    m_file = info.isFile();
    m_folder = info.isDir();
    m_hidden = info.isHidden();
}

bool PathStatus::isReadable() const {
    return QFileInfo(m_path).isReadable();
}

bool PathStatus::isWritable() const {
    return QFileInfo(m_path).isWritable();
}

bool PathStatus::isExecutable() const {
    return QFileInfo(m_path).isExecutable();
}

bool openPath(QFile& file, const QString& path, QIODevice::OpenMode mode, QString* errorText) {
    file.setFileName(path);
    if (file.open(mode))
        return true;
    if (errorText)
        *errorText = file.errorString();
    return false;
}

bool removePath(const QString& path, QString* errorText) {
    // A share may still hold a file this copy has just closed and refuse its
    // removal for a moment (a sharing or lock violation); giving up would
    // leave the file behind for every other copy to find.
    // Under Wine a share can even refuse it after the call has said yes, so
    // the name is looked for again.
    const QString nativePath = QDir::toNativeSeparators(path);
    const auto native = reinterpret_cast<const wchar_t*>(nativePath.utf16());
    bool accepted = false;
    for (int tries = 0; tries < 150; ++tries) {
        if (::DeleteFileW(native)) {
            accepted = true;
            if (::GetFileAttributesW(native) == INVALID_FILE_ATTRIBUTES)
                return true;
        } else {
            const DWORD error = ::GetLastError();
            if (accepted)
                return true; // taken, and gone once its last user closes it
            if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
                break;
        }
        ::Sleep(20);
    }
    if (accepted)
        return true;
    // Once more through Qt, for its words on why not.
    QFile file(path);
    if (file.remove())
        return true;
    if (errorText)
        *errorText = file.errorString();
    return false;
}

bool renamePath(const QString& from, const QString& to) {
    return QFile::rename(from, to);
}

QStringList fileNamesIn(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    return names;
}

#else

PathStatus::PathStatus(const QString& path) : m_path(path) {
    const QByteArray native = pathToSystem(path);
    struct stat info {};
    m_symLink = ::lstat(native.constData(), &info) == 0 && S_ISLNK(info.st_mode);
    m_exists = ::stat(native.constData(), &info) == 0;
    m_file = m_exists && S_ISREG(info.st_mode);
    m_folder = m_exists && S_ISDIR(info.st_mode);
    QString name = path;
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    m_hidden = name.startsWith(QLatin1Char('.')) && name != QLatin1String(".") &&
               name != QLatin1String("..");
}

bool PathStatus::isReadable() const {
    return m_exists && ::access(pathToSystem(m_path).constData(), R_OK) == 0;
}

bool PathStatus::isWritable() const {
    return m_exists && ::access(pathToSystem(m_path).constData(), W_OK) == 0;
}

bool PathStatus::isExecutable() const {
    return m_exists && ::access(pathToSystem(m_path).constData(), X_OK) == 0;
}

bool openPath(QFile& file, const QString& path, QIODevice::OpenMode mode, QString* errorText) {
    if (qtReachesPath(path)) {
        file.setFileName(path);
        if (file.open(mode))
            return true;
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    int flags = O_CLOEXEC;
    const bool reads = mode & QIODevice::ReadOnly;
    const bool writes = mode & (QIODevice::WriteOnly | QIODevice::Append);
    flags |= reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    if (writes && !(mode & QIODevice::ExistingOnly))
        flags |= O_CREAT;
    if (mode & QIODevice::NewOnly)
        flags |= O_CREAT | O_EXCL;
    if (mode & QIODevice::Append)
        flags |= O_APPEND;
    // As QFile: writing alone, without appending, starts the file afresh.
    if ((mode & QIODevice::Truncate) ||
        (writes && !reads && !(mode & (QIODevice::Append | QIODevice::NewOnly))))
        flags |= O_TRUNC;
    int fd;
    do
        fd = ::open(pathToSystem(path).constData(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errorText)
            *errorText = qt_error_string(errno);
        return false;
    }
    const QIODevice::OpenMode kept =
        mode & ~(QIODevice::NewOnly | QIODevice::ExistingOnly | QIODevice::Truncate);
    if (!file.open(fd, kept, QFileDevice::AutoCloseHandle)) {
        if (errorText)
            *errorText = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

namespace {

// Makes the system call until it succeeds or fails other than with EBUSY, for
// at most 3 s; errno is the last failure's. A share answers EBUSY for a moment
// about a file that is open: one this copy has just closed (the close reaches
// the server after the next call) or one another teacher's listing is reading.
// Giving up would leave the file behind, or the change undone.
template <typename Call> bool waitingOutBusy(Call call) {
    for (int tries = 0; tries < 150; ++tries) {
        if (call() == 0)
            return true;
        if (errno != EBUSY)
            return false;
        ::usleep(20 * 1000);
    }
    errno = EBUSY;
    return false;
}

} // namespace

bool removePath(const QString& path, QString* errorText) {
    const QByteArray native = pathToSystem(path);
    if (waitingOutBusy([&native] { return ::unlink(native.constData()); }))
        return true;
    if (errorText)
        *errorText = qt_error_string(errno);
    return false;
}

bool renamePath(const QString& from, const QString& to) {
    const QByteArray source = pathToSystem(from);
    const QByteArray target = pathToSystem(to);
    return waitingOutBusy([&] { return ::rename(source.constData(), target.constData()); });
}

QStringList fileNamesIn(const QString& folder) {
    QStringList names;
    QByteArray native = pathToSystem(folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return names;
    if (!native.endsWith('/'))
        native += '/';
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name, qsizetype(std::strlen(entry->d_name)));
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        if (::stat((native + name.toByteArray()).constData(), &info) == 0 && S_ISREG(info.st_mode))
            names.append(pathFromSystem(name));
    }
    ::closedir(dir);
    return names;
}

#endif

QString withoutTrailingSeparator(const QString& path) {
    QString plain = path;
    while (plain.size() > 1 &&
           (plain.back() == QLatin1Char('/') || plain.back() == QLatin1Char('\\')))
        plain.chop(1);
    return plain;
}

MadeFolder makeFolder(const QString& path) {
    MadeFolder result;
#ifdef Q_OS_WIN
    if (CreateDirectoryW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                         nullptr)) {
        result.made = true;
        return result;
    }
    result.errorText = windowsErrorText(GetLastError());
    // The parent, as the path names it (a drive's root stands for itself).
    QString parent = path;
    while (!parent.isEmpty() && parent.back() != QLatin1Char('/') &&
           parent.back() != QLatin1Char('\\'))
        parent.chop(1);
    const PathStatus status(withoutTrailingSeparator(parent));
    result.parentMissing = !status.exists() && !status.isSymLink();
#else
    if (::mkdir(pathToSystem(path).constData(), 0777) == 0) {
        result.made = true;
        return result;
    }
    const int error = errno;
    result.parentMissing = error == ENOENT;
    result.errorText = qt_error_string(error);
#endif
    return result;
}

bool colonAllowedInNames() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

bool letterCaseTellsNamesApart() {
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

bool renameExclusively(const QString& from, const QString& to, int* error, QString* text) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(to).utf16()), 0))
        return true;
    const DWORD code = GetLastError();
    *error = (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) ? ENOENT : EIO;
    if (text)
        *text = windowsErrorText(code);
    return false;
#else
    if (renamePath(from, to))
        return true;
    *error = errno;
    if (text)
        *text = qt_error_string(*error);
    return false;
#endif
}

void markHidden(const QString& path) {
#ifdef Q_OS_WIN
    SetFileAttributesW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                       FILE_ATTRIBUTE_HIDDEN);
#else
    Q_UNUSED(path);
#endif
}

} // namespace dexlan
