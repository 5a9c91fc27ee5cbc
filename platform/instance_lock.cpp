// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instance_lock.h"

#include "platform/file_names.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QDir>

#include <qt_windows.h>

#include <string>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace dexlan {

InstanceLock::InstanceLock() = default;

#ifndef Q_OS_WIN

namespace {

// Locks that belong to the open file, not to the process: two objects in one
// process see each other as two processes do, and changing a shared lock into
// an exclusive one either succeeds or leaves the shared lock in place. Where
// the system lacks them, the process's own locks behave alike between
// processes.
#ifdef F_OFD_SETLK
constexpr int kTryLock = F_OFD_SETLK;
constexpr int kWaitLock = F_OFD_SETLKW;
#else
constexpr int kTryLock = F_SETLK;
constexpr int kWaitLock = F_SETLKW;
#endif

int setLock(int fd, int command, short type) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    int result;
    do
        result = ::fcntl(fd, command, &lock);
    while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

InstanceLock::~InstanceLock() {
    if (m_fd >= 0)
        ::close(m_fd); // the kernel drops the lock with the last descriptor
}

InstanceLock::Result InstanceLock::join(const QString& path) {
    if (m_fd < 0) {
        const QByteArray name = pathToSystem(path);
        int fd;
        do
            fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return Result::Unavailable;
        m_fd = fd;
    }
    // The lock to itself means no other copy holds a share. Turning it back
    // into a share leaves no moment in which another copy could find the
    // file unlocked.
    if (setLock(m_fd, kTryLock, F_WRLCK) == 0) {
        if (setLock(m_fd, kTryLock, F_RDLCK) == 0)
            return Result::Alone;
    } else if (errno == EAGAIN || errno == EACCES) {
        // Others hold shares, or one of them has the lock to itself for the
        // moment of its own test: wait for that moment to pass.
        if (setLock(m_fd, kWaitLock, F_RDLCK) == 0)
            return Result::OthersRunning;
    }
    ::close(m_fd);
    m_fd = -1;
    return Result::Unavailable;
}

bool InstanceLock::held() const {
    return m_fd >= 0;
}

#else

namespace {

// Byte 0 is a gate that one starting copy at a time passes; byte 1 is shared
// by every running copy. Windows cannot turn a shared lock into an exclusive
// one, so the test for other copies (an exclusive lock on byte 1) happens
// behind the gate, where no other copy can be testing at the same moment.
constexpr DWORD kGate = 0;
constexpr DWORD kShare = 1;

bool lockByte(HANDLE file, DWORD offset, DWORD flags) {
    OVERLAPPED at = {};
    at.Offset = offset;
    return ::LockFileEx(file, flags, 0, 1, 0, &at) != 0;
}

void unlockByte(HANDLE file, DWORD offset) {
    OVERLAPPED at = {};
    at.Offset = offset;
    ::UnlockFileEx(file, 0, 1, 0, &at);
}

} // namespace

InstanceLock::~InstanceLock() {
    if (m_handle)
        ::CloseHandle(m_handle); // the system drops the locks with the handle
}

InstanceLock::Result InstanceLock::join(const QString& path) {
    const bool hadShare = m_handle != nullptr;
    if (!m_handle) {
        const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
        const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return Result::Unavailable;
        m_handle = file;
    }
    const HANDLE file = static_cast<HANDLE>(m_handle);
    if (!lockByte(file, kGate, LOCKFILE_EXCLUSIVE_LOCK)) { // held only for a moment
        ::CloseHandle(file);
        m_handle = nullptr;
        return Result::Unavailable;
    }
    if (hadShare)
        unlockByte(file, kShare); // this copy's own share would fail the test
    const bool alone = lockByte(file, kShare, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY);
    if (alone)
        unlockByte(file, kShare);
    const bool shared = lockByte(file, kShare, LOCKFILE_FAIL_IMMEDIATELY);
    unlockByte(file, kGate);
    if (!shared) {
        ::CloseHandle(file);
        m_handle = nullptr;
        return Result::Unavailable;
    }
    return alone ? Result::Alone : Result::OthersRunning;
}

bool InstanceLock::held() const {
    return m_handle != nullptr;
}

#endif

} // namespace dexlan
