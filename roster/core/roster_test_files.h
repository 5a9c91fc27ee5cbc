// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fixtures shared by the roster's tests: ways to make the file system refuse a
// write even to root, who ignores permission bits.

#include "platform/file_error.h"

#include "roster/core/history_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <ostream>

// Readable QStrings in the tests' failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace dexlan::testing {

#ifdef Q_OS_UNIX
// Files larger than limit cannot be written while this lives (SIGXFSZ is
// ignored, so the write fails with "File too large" instead).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return true; }

  private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

// A folder in which nothing can be created or removed (or a file that cannot
// be changed, renamed over or removed), for as long as this lives. ok() is
// false where the file system has no immutable attribute.
class ImmutableFolder {
  public:
    explicit ImmutableFolder(const QString& path) : m_path(path) {
        m_ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
    }
    ~ImmutableFolder() {
        if (m_ok)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    bool ok() const { return m_ok; }

  private:
    QString m_path;
    bool m_ok = false;
};

// File access as an unprivileged user, on this thread, for as long as this
// lives: root's right to open any file goes with its file-system uid. ok() is
// false when not running as root.
class UnprivilegedFileAccess {
  public:
    UnprivilegedFileAccess() {
        if (geteuid() != 0)
            return;
        setfsuid(kNobody);
        m_ok = setfsuid(uid_t(-1)) == kNobody;
    }
    ~UnprivilegedFileAccess() {
        if (m_ok)
            setfsuid(0);
    }
    UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
    UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;
    bool ok() const { return m_ok; }

  private:
    static constexpr uid_t kNobody = 65534;
    bool m_ok = false;
};

#else
// Windows has none of these: no file-size limit, no immutable attribute for
// folders, no file-system uid. Each answers ok() false, and the tests that need
// them skip what they cannot make happen there.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(qint64) {}
    bool ok() const { return false; }
};

class ImmutableFolder {
  public:
    explicit ImmutableFolder(const QString&) {}
    bool ok() const { return false; }
};

class UnprivilegedFileAccess {
  public:
    bool ok() const { return false; }
};

#endif

// The system's own text for a failure: Windows has its own error codes and
// words, where Qt would read a POSIX number as one of them.
inline QString systemErrorText([[maybe_unused]] int posixError,
                               [[maybe_unused]] unsigned long windowsError) {
#ifdef Q_OS_WIN
    return windowsErrorText(windowsError);
#else
    return qt_error_string(posixError);
#endif
}

// Makes a FIFO at path; false where the system has none (Windows), for the
// test to leave that case out.
inline bool makeFifo([[maybe_unused]] const QString& path) {
#ifdef Q_OS_UNIX
    return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    return false;
#endif
}

// A device that gives bytes for ever; empty where there is none to name.
inline QString endlessDevice() {
#ifdef Q_OS_UNIX
    return QStringLiteral("/dev/zero");
#else
    return {};
#endif
}

// A folder on the way is missing (ERROR_PATH_NOT_FOUND).
inline QString missingFolderText() {
    return systemErrorText(ENOENT, 3);
}

// The path goes through a regular file: Windows calls that a missing path too.
inline QString notAFolderText() {
    return systemErrorText(ENOTDIR, 3);
}

// The folder to be made is there already (ERROR_ALREADY_EXISTS).
inline QString alreadyExistsText() {
    return systemErrorText(EEXIST, 183);
}

// A path as this system compares file names: Windows ignores letter case.
inline QString comparablePath(const QString& path) {
#ifdef Q_OS_WIN
    return path.toUpper();
#else
    return path;
#endif
}

// A whole history file for name, with random numbers fixed once for all the
// tests, so that its bytes are known.
inline QByteArray userFile(const QByteArray& name) {
    return newHistoryFileBytes(name, {201, 302, 403, 504, 605, 706, 807, 908});
}

// Makes the file system's record of when a note (a held name's) was written
// say days ago, as if the name had been held that long.
inline void heldDaysAgo(const QString& notePath, double days) {
    QFile note(notePath);
    ASSERT_TRUE(note.open(QIODevice::Append));
    ASSERT_TRUE(note.setFileTime(QDateTime::currentDateTimeUtc().addSecs(qint64(-days * 24 * 3600)),
                                 QFileDevice::FileModificationTime));
}

// The smallest random numbers, so that a new history file's bytes are known.
inline std::array<int, kRandomsPerFile> fixedRandoms() {
    std::array<int, kRandomsPerFile> randoms;
    randoms.fill(kRandomBottom);
    return randoms;
}

// Every name in a folder, hidden ones included, recursively, sorted.
inline QStringList allNamesUnder(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(QDir(folder).relativeFilePath(it.next()));
    names.sort();
    return names;
}

} // namespace dexlan::testing
