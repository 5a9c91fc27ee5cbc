#include "platform/instance_lock.h"

#ifdef Q_OS_UNIX
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

namespace dexlan {

InstanceLock::InstanceLock() = default;

#ifdef Q_OS_UNIX

InstanceLock::~InstanceLock() {
    if (m_fd >= 0)
        ::close(m_fd); // the kernel drops the lock with the last descriptor
}

InstanceLock::Result InstanceLock::tryAcquire(const QString& path) {
    if (m_fd >= 0)
        return Result::Acquired;
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return Result::Unavailable;
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? Result::HeldElsewhere : Result::Unavailable;
    }
    m_fd = fd;
    return Result::Acquired;
}

bool InstanceLock::held() const {
    return m_fd >= 0;
}

#else

InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::tryAcquire(const QString& path) {
    if (held())
        return Result::Acquired;
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0); // only a live process's lock counts
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return Result::Acquired;
    }
    return lock->error() == QLockFile::LockFailedError ? Result::HeldElsewhere
                                                       : Result::Unavailable;
}

bool InstanceLock::held() const {
    return m_lock && m_lock->isLocked();
}

#endif

} // namespace dexlan
