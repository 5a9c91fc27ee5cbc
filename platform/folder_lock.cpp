// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_lock.h"

#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>

#include <QElapsedTimer>

#include <cerrno>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <csignal>
#endif

namespace dexlan {

namespace {

QByteArray thisOwner() {
    return "pid " + QByteArray::number(QCoreApplication::applicationPid()) + "\nhost " +
           QSysInfo::machineHostName().toUtf8() + '\n';
}

struct Owner {
    qint64 pid = 0;
    QByteArray host;
};

Owner ownerOf(const QByteArray& bytes) {
    Owner owner;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.startsWith("pid "))
            owner.pid = line.mid(4).toLongLong();
        else if (line.startsWith("host "))
            owner.host = line.mid(5);
    }
    return owner;
}

QString randomTag() {
    return QString::number(QRandomGenerator::global()->generate64(), 16);
}

// Whether the lock whose file holds bytes, last written at written, was left
// by a holder that is gone.
bool isStale(const QByteArray& bytes, const QDateTime& written, const QString& folder) {
    const Owner owner = ownerOf(bytes);
    if (owner.host == QSysInfo::machineHostName().toUtf8() && owner.pid > 0)
        return owner.pid != QCoreApplication::applicationPid() && !processRunning(owner.pid);
    const int staleAfter = owner.pid == 0 && owner.host.isEmpty()
                               ? FolderLock::kOwnerlessStaleAfterSeconds
                               : FolderLock::kStaleAfterSeconds;
    const QDateTime now = fileSystemNow(folder);
    return written.isValid() && now.isValid() && written.secsTo(now) > staleAfter;
}

// The lock is a folder holding a file that names its holder: making a folder
// is one step on every file system, while an exclusive create is not on
// every share (two computers can each create the same file "exclusively"
// through some SMB clients). A lock that is a file was left by an older copy.
QString ownerFileIn(const QString& lockPath) {
    return lockPath + QLatin1String("/owner");
}

// What the lock at path holds: its holder's words and when they were written
// (for a folder with no words yet, when the folder was made). False when
// nothing is there, or nothing that can be a lock.
bool readLock(const QString& path, QByteArray* bytes, QDateTime* written, bool* present) {
    const PathStatus there(path);
    *present = there.exists() || there.isSymLink();
    QFile file;
    const QString ownerPath = there.isDir() ? ownerFileIn(path) : path;
    if (there.isDir() || there.isFile()) {
        if (openPath(file, ownerPath, QIODevice::ReadOnly)) {
            *bytes = file.read(4096);
            *written = file.fileTime(QFileDevice::FileModificationTime);
            return true;
        }
        if (there.isDir()) {
            // Made a moment ago, or its maker ended before writing: its age decides.
            bytes->clear();
            *written = QFileInfo(path).lastModified();
            return true;
        }
    }
    return false;
}

// Removes the lock at path (a folder with its owner file, or an older copy's
// file).
void removeLock(const QString& path) {
    if (PathStatus(path).isDir()) {
        removePath(ownerFileIn(path));
        QDir().rmdir(path);
    } else {
        removePath(path);
    }
}

// Removes the stale lock at path, which held bytes, unless another copy took
// it over first: the lock is moved aside under a name of this call's own
// (only one copy can), and removed only if it is still the stale one.
void removeStale(const QString& path, const QByteArray& bytes) {
    const QString aside = path + QLatin1String(".stale-") + randomTag();
    if (!renamePath(path, aside))
        return;
    QByteArray now;
    QDateTime written;
    bool present = false;
    const bool same = readLock(aside, &now, &written, &present) && now == bytes;
    if (same)
        removeLock(aside);
    else
        renamePath(aside, path); // another copy's fresh lock: back where it was
}

} // namespace

QDateTime fileSystemNow(const QString& folder) {
    const QString path = folder + QLatin1String(".clock-probe-") + randomTag();
    QFile probe;
    if (!openPath(probe, path, QIODevice::WriteOnly | QIODevice::NewOnly))
        return {};
    const QDateTime now = probe.fileTime(QFileDevice::FileModificationTime).toUTC();
    probe.close();
    removePath(path);
    return now;
}

bool processRunning(qint64 pid) {
#ifdef Q_OS_WIN
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
#else
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#endif
}

FolderLock::~FolderLock() {
    release();
}

FolderLock::Result FolderLock::take(const QString& folder, const QString& fileName, int waitMs) {
    release();
    m_error = FileError::ok();
    const QString path = folder + fileName;
    if (path.contains(QChar(0))) {
        // The system would take the path as ending there and make another file.
        m_error = {FileError::Other, posixErrorText(EINVAL)};
        return Result::Failed;
    }
    const QByteArray owner = thisOwner();
    QElapsedTimer waited;
    waited.start();
    int vanished = 0;
    for (;;) {
        const MadeFolder made = makeFolder(path);
        if (made.made) {
            QFile lock;
            QString openError;
            FileError written = FileError::ok();
            if (openPath(lock, ownerFileIn(path), QIODevice::WriteOnly | QIODevice::NewOnly,
                         &openError)) {
                written = writeAll(lock, owner);
                lock.close();
            } else {
                written = describeFailure(ownerFileIn(path), openError);
            }
            if (written.failed()) {
                removeLock(path);
                m_error = written;
                return Result::Failed;
            }
            m_path = path;
            m_owner = owner;
            return Result::Taken;
        }
        QByteArray bytes;
        QDateTime written;
        bool present = false;
        if (!readLock(path, &bytes, &written, &present)) {
            // Let go of a moment ago, or never there: the folder refuses it.
            if (!present) {
                if (++vanished <= 3)
                    continue;
                m_error = describeFailure(path, made.errorText);
                return Result::Failed;
            }
            m_error = describeFailure(path, made.errorText);
            return Result::Failed;
        }
        if (isStale(bytes, written, folder)) {
            removeStale(path, bytes);
            continue;
        }
        if (waited.elapsed() >= waitMs)
            return Result::Busy;
        QThread::msleep(50);
    }
}

void FolderLock::release() {
    if (m_path.isEmpty())
        return;
    // Only this copy's own lock: one taken over as stale belongs to another now.
    QByteArray bytes;
    QDateTime written;
    bool present = false;
    if (readLock(m_path, &bytes, &written, &present) && bytes == m_owner)
        removeLock(m_path);
    m_path.clear();
    m_owner.clear();
}

} // namespace dexlan
