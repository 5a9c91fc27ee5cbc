// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a large folder quickly: its entries with what the listing itself
// tells of each, and many small files opened by their names in the folder.
// On Linux the system's own calls (a QFile or a stat() per name costs several
// times as much with 100,000 files); on Windows through Qt.

#include "platform/file_names.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cerrno>
#include <limits>
#include <memory>
#include <optional>
#include <type_traits>

#ifdef Q_OS_WIN
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#else
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace dexlan {

// A file's size and time of last change (in nanoseconds) in one number: a
// file rewritten or replaced since changes it, even where the file system
// gives the new file the number the old one had. Never 0, the mark of an
// unknown stamp.
quint64 fileStamp(qint64 size, qint64 modifiedNs);

// The fileStamp of the regular file at path (through links); 0 for anything
// else. On Windows always 0: there the identity a listing gives an entry
// already holds its size and time.
quint64 regularFileStamp(const QString& path);

// Whether path names a regular file, through links.
bool isRegularFile(const QString& path);

// Whether a listing of folder may leave its stamps for later: taking them
// costs a call for each file here, and the file system stamps each change
// with this computer's clock (a local disk), so that entryChangeClockNs()
// taken before the listing tells which files changed since.
bool stampsCanWait(const QString& folder);
// This computer's clock as the file system stamps a change of a file
// (the changedNs forEachFolderEntry gives), in nanoseconds.
qint64 entryChangeClockNs();

// Whether the identities a listing of folder gives (forEachFolderEntry) say
// which file a name stands for. On a share the inode numbers are the mount's
// own invention, and a listing and a stat() of one file give different ones.
bool entryIdentitiesCount(const QString& folder);

// The identity and stamp of the entry at path, as forEachFolderEntry with
// stamps gives them; nothing when there is no entry there.
struct EntryFacts {
    quint64 identity = 0;
    quint64 stamp = 0;
};
std::optional<EntryFacts> entryFacts(const QString& path);

// What a listing tells of an entry before anything is asked of it.
enum class EntryKind { RegularFile, Other, Unknown };

// Calls visit(name, identity, kind, stamp) for every entry of folder (ending
// in a separator) whose name, in the file system's bytes, wanted(name) takes.
// The identity is the inode number (on Windows the size and time); the stamp
// is the regularFileStamp with withStamps, else 0. With stamps, a visit that
// takes a fifth argument is also given the time the entry last changed in
// any way (its inode's change time, by entryChangeClockNs()), the largest
// qint64 when a file's could not be asked for, 0 for what is no file. Hidden
// files and devices are not listed on Windows. False with errno set when the
// folder cannot be read to its end.
template <bool withStamps, typename Wanted, typename Visit>
bool forEachFolderEntry(const QString& folder, Wanted wanted, Visit visit) {
#ifdef Q_OS_WIN
    // QDirIterator reports no failure: a folder that is not there would pass
    // for an empty one.
    const QString plainFolder = withoutTrailingSeparator(folder);
    const QFileInfo folderInfo(plainFolder);
    if (!folderInfo.isDir()) {
        const PathStatus status(plainFolder);
        errno = status.exists() || status.isSymLink() ? ENOTDIR : ENOENT;
        return false;
    }
    // Without QDir::Hidden and QDir::System: hidden files and devices are never users.
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QByteArray name = QFile::encodeName(it.fileName());
        if (!wanted(QByteArrayView(name)))
            continue;
        const QFileInfo info = it.fileInfo();
        const quint64 identity =
            quint64(info.size()) ^ quint64(info.lastModified().toMSecsSinceEpoch());
        if constexpr (std::is_invocable_v<Visit, QByteArrayView, quint64, EntryKind, quint64,
                                          qint64>)
            visit(QByteArrayView(name), identity, EntryKind::RegularFile, quint64(0),
                  info.lastModified().toMSecsSinceEpoch() * 1000000);
        else
            visit(QByteArrayView(name), identity, EntryKind::RegularFile, quint64(0));
    }
    return true;
#else
    // The inode comes with the name: no stat() for each name.
    DIR* dir = ::opendir(pathToSystem(folder).constData());
    if (!dir)
        return false;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const QByteArrayView name(entry->d_name, qsizetype(std::strlen(entry->d_name)));
        if (!wanted(name))
            continue;
        EntryKind kind = EntryKind::Unknown;
        if (entry->d_type == DT_REG)
            kind = EntryKind::RegularFile;
        else if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
            kind = EntryKind::Other;
        quint64 stamp = 0;
        qint64 changedNs = 0;
        if constexpr (withStamps) {
            struct stat info {};
            if (kind != EntryKind::Other) {
                if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0)
                    changedNs = std::numeric_limits<qint64>::max(); // gone, or unknown
                else if (S_ISREG(info.st_mode))
                    stamp = fileStamp(info.st_size, qint64(info.st_mtim.tv_sec) * 1000000000 +
                                                        info.st_mtim.tv_nsec);
                if (changedNs == 0)
                    changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
            }
        }
        if constexpr (std::is_invocable_v<Visit, QByteArrayView, quint64, EntryKind, quint64,
                                          qint64>)
            visit(name, quint64(entry->d_ino), kind, stamp, changedNs);
        else
            visit(name, quint64(entry->d_ino), kind, stamp);
    }
    const int error = errno;
    ::closedir(dir);
    errno = error;
    return error == 0;
#endif
}

// A folder held open while many of its files are read by name: the system
// then walks one step for each file instead of the whole path. Where it
// cannot be opened (or on Windows), each file is read by its path.
class OpenFolder {
  public:
    explicit OpenFolder(const QString& folder);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    const QString& path() const { return m_path; }
    int handle() const { return m_handle; }

  private:
    QString m_path;
    int m_handle = -1;
};

// One file opened for reading its first bytes. Anything but a regular file is
// refused before a byte is read (a pipe would block the read).
class SmallFileReader {
  public:
    SmallFileReader();
    ~SmallFileReader();
    SmallFileReader(const SmallFileReader&) = delete;
    SmallFileReader& operator=(const SmallFileReader&) = delete;

    // Opens the file at path; its stamp is taken as it is opened.
    bool open(const QString& path);
    // Opens the file named nativeName (the file system's bytes) in folder.
    // With listedAsRegular (the listing said so) and no stamp wanted, nothing
    // is asked of the file beyond open, read and close; a link made in its
    // place since is still followed and checked.
    bool openIn(const OpenFolder& folder, const QByteArray& nativeName, bool listedAsRegular,
                bool withStamp);
    // The bytes read into data (at most size), 0 at the end, -1 on an error.
    qint64 read(char* data, qint64 size);
    // The system's words for the last failure.
    QString errorText() const;
    // The file's fileStamp as it was opened; 0 when not taken.
    quint64 stamp() const { return m_stamp; }

  private:
    bool openedAt(int folder, const char* name, int flags, bool checkType, bool withStamp);

    int m_fd = -1;
    int m_error = 0;
    quint64 m_stamp = 0;
    struct QtFile;
    std::unique_ptr<QtFile> m_qtFile; // on Windows
};

} // namespace dexlan
