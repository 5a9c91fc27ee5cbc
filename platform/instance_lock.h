#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace dexlan {

// Tells whether another running copy holds a lock file, and holds it while
// this copy runs.
//
// On POSIX systems the lock is the kernel's (flock on an open file): it goes
// with the process however the process ends, so no stale lock is ever guessed
// at, and taking it writes and syncs nothing (a sync is most of the cost of a
// classic lock file at start-up). Elsewhere it is a QLockFile.
class InstanceLock {
  public:
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Result { Acquired, HeldElsewhere, Unavailable };
    // Takes the lock at path unless this object holds it already.
    // Unavailable: the lock file cannot be made (no folder, no right to
    // write); nothing can be told about other copies then.
    Result tryAcquire(const QString& path);
    bool held() const;

  private:
#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    std::unique_ptr<QLockFile> m_lock;
#endif
};

} // namespace dexlan
