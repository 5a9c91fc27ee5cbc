// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_lock.h"

#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
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

// Removes the stale lock file at path, which held bytes, unless another copy
// took it over first: the file is moved aside under a name of this call's own
// (only one copy can), and removed only if it is still the stale one.
void removeStale(const QString& path, const QByteArray& bytes) {
    const QString aside = path + QLatin1String(".stale-") + randomTag();
    if (!renamePath(path, aside))
        return;
    QFile moved;
    const bool same = openPath(moved, aside, QIODevice::ReadOnly) && moved.read(4096) == bytes;
    moved.close();
    if (same)
        removePath(aside);
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
        QFile lock;
        QString openError;
        if (openPath(lock, path, QIODevice::WriteOnly | QIODevice::NewOnly, &openError)) {
            const FileError written = writeAll(lock, owner);
            lock.close();
            if (written.failed()) {
                removePath(path);
                m_error = written;
                return Result::Failed;
            }
            m_path = path;
            m_owner = owner;
            return Result::Taken;
        }
        QFile existing;
        if (!openPath(existing, path, QIODevice::ReadOnly)) {
            // Let go of a moment ago, or never there: the folder refuses it.
            const PathStatus there(path);
            if (!there.exists() && !there.isSymLink()) {
                if (++vanished <= 3)
                    continue;
                m_error = describeFailure(path, openError);
                return Result::Failed;
            }
            if (!there.isFile()) {
                m_error = describeFailure(path, openError);
                return Result::Failed;
            }
        } else {
            const QByteArray bytes = existing.read(4096);
            const QDateTime written = existing.fileTime(QFileDevice::FileModificationTime);
            existing.close();
            if (isStale(bytes, written, folder)) {
                removeStale(path, bytes);
                continue;
            }
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
    QFile lock;
    if (openPath(lock, m_path, QIODevice::ReadOnly) && lock.read(4096) == m_owner) {
        lock.close();
        removePath(m_path);
    }
    m_path.clear();
    m_owner.clear();
}

} // namespace dexlan
