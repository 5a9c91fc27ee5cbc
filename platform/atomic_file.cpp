// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomic_file.h"

#include "platform/file_names.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#ifdef Q_OS_WIN
#include <QDir>

#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#endif

namespace dexlan {

namespace {

QString errorOr(const QFileDevice& file, const QString& fallback) {
    return errorTextOr(file.errorString(), fallback);
}

// Moves from over to, replacing to in one step.
bool renameReplacing(const QString& from, const QString& to, QString* errorText) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                    reinterpret_cast<const wchar_t*>(to.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *errorText = QFile(from).errorString();
    return false;
#else
    if (std::rename(pathToSystem(from).constData(), pathToSystem(to).constData()) == 0)
        return true;
    *errorText = lastSystemErrorText();
    return false;
#endif
}

FileError viaSaveFile(const QString& path, const QByteArray& bytes, bool* opened) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    *opened = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (!*opened)
        return describeFailure(path, file.errorString());
    if (const FileError written = writeAll(file, bytes); written.failed()) {
        const QString& text = written.text;
        file.cancelWriting();
        file.commit(); // discards the temporary file
        return describeFailure(path, text);
    }
    if (!file.commit())
        return describeFailure(path, errorOr(file, lastSystemErrorText()));
    return FileError::ok();
}

// The new file beside path, made, or the reason it is not, as the path's failure.
FileError temporaryBeside(const QString& path, const QByteArray& bytes, QString* made) {
    const TemporaryBeside temporary = writeTemporaryBeside(path, bytes);
    if (temporary.outcome != TemporaryBeside::Made)
        return describeFailure(path, temporary.errorText);
    *made = temporary.path;
    return FileError::ok();
}

FileError viaNamedTemporary(const QString& path, const QByteArray& bytes) {
    QString temp;
    if (const FileError written = temporaryBeside(path, bytes, &temp); written.failed())
        return written;
    QString renameError;
    if (!renameReplacing(temp, path, &renameError)) {
        removePath(temp);
        return describeFailure(path, renameError);
    }
    return FileError::ok();
}

// A copy of the program ended in the middle of a save or an add (killed, or its
// computer switched off) leaves its hidden temporary file behind. Only ours are
// removed, and only once old enough that no copy can still be writing them.
constexpr qint64 kAbandonedAfterSeconds = 10 * 60;

// Removes, once per folder and run, the temporaries that ended copies left
// there. Their age is measured against now as the file system tells it (a file
// just made), since teachers' computers each keep their own clock.
void removeAbandonedTemporaries(const QString& folder, const QDateTime& now) {
    static QMutex mutex;
    static QSet<QString> swept;
    {
        const QMutexLocker lock(&mutex);
        if (swept.contains(folder))
            return;
        swept.insert(folder);
    }
    static const QRegularExpression ours(QStringLiteral("^\\..+\\.new[0-9a-f]{1,8}$"));
    QDirIterator entries(folder, {QStringLiteral(".*.new*")},
                         QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        if (ours.match(entry.fileName()).hasMatch() &&
            entry.lastModified().secsTo(now) > kAbandonedAfterSeconds)
            QFile::remove(entry.filePath());
    }
}

#ifdef Q_OS_WIN
// A read-only file is somebody's decision; Windows refuses to write it, but not
// every file system behind a share, nor Wine, refuses a rename over it.
bool isReadOnly(const QString& path) {
    const DWORD attributes = ::GetFileAttributesW(
        reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}
#endif

} // namespace

TemporaryBeside writeTemporaryBeside(const QString& path, const QByteArray& bytes,
                                     SyncTime sync) {
    const QFileInfo target(path);
    QFile temp;
    QString tempPath;
    for (int attempt = 0;; ++attempt) {
        tempPath = target.absolutePath() + QLatin1Char('/') + QLatin1Char('.') + target.fileName() +
                   QLatin1String(".new") +
                   QString::number(QRandomGenerator::global()->generate(), 16);
        QString openError;
        if (openPath(temp, tempPath,
                     QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, &openError))
            break;
        // Only a name that is taken, even by a dangling link, is tried again.
        const PathStatus taken(tempPath);
        if (attempt > 20 || !(taken.exists() || taken.isSymLink()))
            return {TemporaryBeside::NotMade, {}, openError};
    }
    removeAbandonedTemporaries(target.absolutePath(), QFileInfo(temp.fileName()).lastModified());
    FileError written = writeAll(temp, bytes);
    if (!written.failed() && sync == SyncTime::Now && !syncToDisk(temp))
        written = {FileError::Other, lastSystemErrorText()};
    temp.close();
    if (written.failed()) {
        removePath(tempPath);
        return {TemporaryBeside::NotWritten, {}, written.text};
    }
    return {TemporaryBeside::Made, tempPath, {}};
}

FileError replaceFileAtomically(const QString& path, const QByteArray& bytes,
                                ReplaceStrategy strategy) {
#ifdef Q_OS_WIN
    if (isReadOnly(path))
        return describeFailure(path, windowsErrorText(ERROR_ACCESS_DENIED));
#endif
    // A rename replaces a write-protected file as readily as any other, so ask
    // the file itself whether it may be written (without changing it).
    if (PathStatus(path).exists()) {
        QFile existing;
        QString openError;
        if (!openPath(existing, path, QIODevice::WriteOnly | QIODevice::Append, &openError))
            return describeFailure(path, openError);
    }
    // QSaveFile would write another name than a path Qt cannot reach; the
    // named temporary takes any.
    if (strategy != ReplaceStrategy::NamedTemporary && qtReachesPath(path)) {
        bool opened = false;
        FileError result = viaSaveFile(path, bytes, &opened);
        if (opened || strategy == ReplaceStrategy::SaveFile)
            return result;
    }
    return viaNamedTemporary(path, bytes);
}

#ifdef Q_OS_WIN
namespace {

const wchar_t* wide(const QString& nativePath) {
    return reinterpret_cast<const wchar_t*>(nativePath.utf16());
}

} // namespace

FileError rewriteKeepingIdentity(const QString& path, const QByteArray& bytes) {
    const QString target = QDir::toNativeSeparators(path);
    if (isReadOnly(path))
        return describeFailure(path, windowsErrorText(ERROR_ACCESS_DENIED));
    // Opening for writing, without changing anything, tells whether the file
    // may be written at all (read-only attribute, access list, a lock).
    const HANDLE original = ::CreateFileW(wide(target), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (original == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return replaceFileAtomically(path, bytes);
        return describeFailure(path, windowsErrorText(error));
    }
    ::CloseHandle(original);

    // The new bytes, complete and synced, under a fresh name beside the file
    // (CREATE_NEW: never over anything that is there).
    QString made;
    if (const FileError written = temporaryBeside(path, bytes, &made); written.failed())
        return written;
    const QString replacement = QDir::toNativeSeparators(made);
    // ReplaceFile gives the new file the old one's attributes, access list,
    // creation time and streams, so it stays the same file to its users. The
    // attributes and the creation time are given beforehand too, for the file
    // systems (and Wine) that leave them out.
    WIN32_FILE_ATTRIBUTE_DATA was{};
    if (::GetFileAttributesExW(wide(target), GetFileExInfoStandard, &was)) {
        const HANDLE file = ::CreateFileW(wide(replacement), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::SetFileTime(file, &was.ftCreationTime, nullptr, nullptr);
            ::CloseHandle(file);
        }
        ::SetFileAttributesW(wide(replacement), was.dwFileAttributes);
    }
    if (::ReplaceFileW(wide(target), wide(replacement), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr))
        return FileError::ok();
    const DWORD error = ::GetLastError();
    // The old file is gone but the new one kept its temporary name: give it
    // the file's name, so the new bytes are not lost with the old.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT && !QFileInfo::exists(path) &&
        ::MoveFileExW(wide(replacement), wide(target), MOVEFILE_WRITE_THROUGH))
        return FileError::ok();
    ::DeleteFileW(wide(replacement));
    return describeFailure(path, windowsErrorText(error));
}
#else
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd) {
        close();
        m_fd = fd;
    }
    // Closes now; a late write error (on a network share) shows only here.
    bool close() {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int m_fd;
};

// Follows symbolic links to the file they name, even one not there yet, so that
// a shared target is rewritten and the links stay links.
QByteArray followLinks(QByteArray path) {
    for (int depth = 0; depth < 40; ++depth) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.constData(), target, sizeof target);
        if (length < 0 || length == ssize_t(sizeof target))
            return path;
        QByteArray next(target, length);
        if (!next.startsWith('/'))
            next.prepend(path.left(path.lastIndexOf('/') + 1));
        path = next;
    }
    return path; // opening it reports the loop
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

bool writeAllAt(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

bool readAll(int fd, QByteArray& bytes) {
    bytes.clear();
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(buffer, n);
    }
}

// Puts bytes into the open file from its start and cuts it to their length;
// answers 0 or the system's error number.
int overwrite(int fd, const QByteArray& bytes) {
    if (!writeAllAt(fd, bytes) || ::ftruncate(fd, bytes.size()) != 0 || ::fsync(fd) != 0)
        return errno;
    return 0;
}

// Rewrites the file in place. Nothing changes about the file but its bytes; the
// old ones are kept until the new ones are on disk, and put back on failure.
FileError rewriteInPlace(const QString& path, const QByteArray& target, const QByteArray& bytes) {
    Descriptor file(::open(target.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    QByteArray old;
    if (!file.valid() || !readAll(file.get(), old))
        return describeFailure(path, lastSystemErrorText());
    if (const int failure = overwrite(file.get(), bytes)) {
        overwrite(file.get(), old);
        return describeFailure(path, qt_error_string(failure));
    }
    if (!file.close())
        return describeFailure(path, lastSystemErrorText());
    return FileError::ok();
}

// Gives the temporary file the extended attributes of the original, access lists
// included, and none of its own (such as an access list inherited from the folder).
bool copyAttributes(int from, int to) {
    auto names = [](int fd, QByteArray& list) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        list.resize(size);
        const ssize_t got = ::flistxattr(fd, list.data(), size_t(list.size()));
        if (got < 0)
            return false;
        list.truncate(got);
        return true;
    };
    QByteArray wanted, present;
    if (!names(from, wanted) || !names(to, present))
        return false;
    const QList<QByteArray> wantedNames = wanted.split('\0');
    for (const QByteArray& name : present.split('\0')) {
        if (!name.isEmpty() && !wantedNames.contains(name) &&
            ::fremovexattr(to, name.constData()) != 0)
            return false;
    }
    for (const QByteArray& name : wantedNames) {
        if (name.isEmpty())
            continue;
        const ssize_t size = ::fgetxattr(from, name.constData(), nullptr, 0);
        if (size < 0)
            return false;
        QByteArray value(size, Qt::Uninitialized);
        const ssize_t got = ::fgetxattr(from, name.constData(), value.data(), size_t(size));
        if (got < 0 || ::fsetxattr(to, name.constData(), value.constData(), size_t(got), 0) != 0)
            return false;
    }
    return true;
}

// Whether the file lies on a share: a file system served over the network (the
// kernel's SMB or NFS client) or by a program through FUSE, as smbnetfs and the
// desktop's own mounts serve a school's share. A FUSE file system on a disk
// (fuseblk) has the disk's device number, not an anonymous one, and is local.
bool onShare(int fd, const struct stat& info) {
    struct statfs system {};
    if (::fstatfs(fd, &system) != 0)
        return false;
    switch (static_cast<unsigned long>(system.f_type) & 0xFFFFFFFFul) {
    case 0xFE534D42ul: // SMB 2 and 3
    case 0xFF534D42ul: // CIFS
    case 0x517Bul:     // SMB 1
    case 0x6969ul:     // NFS
        return true;
    case 0x65735546ul: // FUSE
        return major(info.st_dev) == 0;
    default:
        return false;
    }
}

// Replaces the file by rename when the new file can be made exactly like the old
// one: same owner, group, permissions and attributes. Answers false when it
// cannot (the folder takes no new file, the owner cannot be given away, the
// rename is refused); the file is then as it was, and no new file is left.
// On a share the server decides what a new file is like, and may refuse or
// fail any question beyond that: smbnetfs answers EIO to listing attributes
// and then to everything in the folder for seconds. There the new file keeps
// what the share lets it keep, and the rename, still the only way to replace
// the file in one step, goes ahead.
bool replaceKeepingIdentity(const QByteArray& target, Descriptor& original, const struct stat& was,
                            const QByteArray& bytes) {
    const bool share = onShare(original.get(), was);
    const QByteArray base = target.mid(target.lastIndexOf('/') + 1);
    QByteArray tempName;
    Descriptor temp;
    for (int attempt = 0; attempt < 20 && !temp.valid(); ++attempt) {
        tempName = folderOf(target) + "/." + base + ".new" +
                   QByteArray::number(QRandomGenerator::global()->generate(), 16);
        temp.reset(::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!temp.valid() && errno != EEXIST)
            return false;
    }
    if (!temp.valid())
        return false;
    struct stat made {};
    if (::fstat(temp.get(), &made) == 0)
        removeAbandonedTemporaries(QFile::decodeName(folderOf(target)),
                                   QDateTime::fromSecsSinceEpoch(made.st_mtime));
    bool alike = false;
    if (share) {
        // Best effort: what the share cannot keep, it cannot keep for anyone.
        static_cast<void>(::fchown(temp.get(), was.st_uid, was.st_gid) == 0);
        static_cast<void>(::fchmod(temp.get(), was.st_mode & 07777) == 0);
        alike = true;
    } else {
        // The owner first: giving a file away clears its set-id bits.
        alike = (::fchown(temp.get(), was.st_uid, was.st_gid) == 0 ||
                 (::fstat(temp.get(), &made) == 0 && made.st_uid == was.st_uid &&
                  made.st_gid == was.st_gid)) &&
                copyAttributes(original.get(), temp.get()) &&
                ::fchmod(temp.get(), was.st_mode & 07777) == 0 && ::fstat(temp.get(), &made) == 0 &&
                made.st_uid == was.st_uid && made.st_gid == was.st_gid &&
                (made.st_mode & 07777) == (was.st_mode & 07777);
    }
    const bool written = alike && writeAllAt(temp.get(), bytes) && ::fsync(temp.get()) == 0;
    // A share may refuse to rename over a file that is open, even by us.
    original.close();
    if (!temp.close() || !written || ::rename(tempName.constData(), target.constData()) != 0) {
        removePath(pathFromSystem(tempName));
        return false;
    }
    // The new name must reach the disk too.
    Descriptor folder(::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
    return true;
}

} // namespace

FileError rewriteKeepingIdentity(const QString& path, const QByteArray& bytes) {
    // Past the file-size limit a write must fail with an error the rewrite can
    // undo, not end the program half-way through it.
    std::signal(SIGXFSZ, SIG_IGN);

    const QByteArray target = followLinks(pathToSystem(path));
    // Opening for writing, without changing anything, tells whether the file
    // may be written at all (a rename would replace a protected file too).
    Descriptor original(::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!original.valid()) {
        if (errno == ENOENT)
            return replaceFileAtomically(pathFromSystem(target), bytes);
        return describeFailure(path, lastSystemErrorText());
    }
    struct stat was {};
    if (::fstat(original.get(), &was) != 0)
        return describeFailure(path, lastSystemErrorText());
    if (!S_ISREG(was.st_mode))
        return describeFailure(path, qt_error_string(EINVAL));
    // Like careful editors: rename only when that changes nothing but the bytes;
    // other names of the file would keep the old ones.
    if (was.st_nlink == 1 && replaceKeepingIdentity(target, original, was, bytes))
        return FileError::ok();
    return rewriteInPlace(path, target, bytes);
}
#endif

} // namespace dexlan
