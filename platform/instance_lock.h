// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dexlan {

// Tells whether other copies of the program are running, and counts this copy
// among them for as long as it runs.
//
// Every copy holds a shared lock on one file; a copy that can, for a moment,
// have the lock to itself is alone. The locks are the kernel's (POSIX open
// file description locks; LockFileEx on Windows): they go with the process
// however it ends, so no stale lock is ever guessed at, and taking them writes
// and syncs nothing.
class InstanceLock {
  public:
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result { Alone, OthersRunning, Unavailable };
    // Takes this copy's share of the lock at path (or keeps it, when asked
    // again) and tells whether any other copy holds one. Unavailable: the
    // lock file cannot be made (no folder, no right to write); nothing can be
    // told about other copies then, and nothing is held.
    Result join(const QString& path);
    bool held() const;

  private:
#ifdef Q_OS_WIN
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

} // namespace dexlan
