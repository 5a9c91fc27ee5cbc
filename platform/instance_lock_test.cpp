#include "platform/instance_lock.h"
#include "platform/test_files.h"

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dexlan {
namespace {

using Result = InstanceLock::Result;
using testing::TestFolder;

TEST(InstanceLock, OneHolderAtATimeAndFreedWhenTheHolderGoes) {
    TestFolder folder;
    const QString path = folder.file("app.lock");
    auto first = std::make_unique<InstanceLock>();
    EXPECT_EQ(first->tryAcquire(path), Result::Acquired);
    EXPECT_TRUE(first->held());
    EXPECT_EQ(first->tryAcquire(path), Result::Acquired); // asking again keeps it

    InstanceLock second;
    EXPECT_EQ(second.tryAcquire(path), Result::HeldElsewhere);
    EXPECT_FALSE(second.held());

    first.reset();
    EXPECT_EQ(second.tryAcquire(path), Result::Acquired);
}

TEST(InstanceLock, LeftoverLockFileOfAnEndedCopyDoesNotCount) {
    TestFolder folder;
    folder.write("app.lock", "12345\nsomething an earlier copy left\n");
    InstanceLock lock;
    EXPECT_EQ(lock.tryAcquire(folder.file("app.lock")), Result::Acquired);
}

TEST(InstanceLock, UnmakeableLockIsNeitherHeldNorBusy) {
    TestFolder folder;
    folder.write("plain", "a file, not a folder");
    for (const QString& name :
         {QStringLiteral("missing/app.lock"), QStringLiteral("plain/app.lock")}) {
        InstanceLock lock;
        EXPECT_EQ(lock.tryAcquire(folder.file(name)), Result::Unavailable) << name.toStdString();
        EXPECT_FALSE(lock.held());
    }
}

#ifdef Q_OS_UNIX
// A copy that is killed cannot clean up; its lock must go with it all the same.
TEST(InstanceLock, KilledHolderReleasesTheLock) {
    TestFolder folder;
    const QString path = folder.file("app.lock");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        InstanceLock lock;
        const char held = lock.tryAcquire(path) == Result::Acquired ? 'y' : 'n';
        (void)!write(ready[1], &held, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    close(ready[0]);
    ASSERT_EQ(held, 'y');

    InstanceLock mine;
    EXPECT_EQ(mine.tryAcquire(path), Result::HeldElsewhere);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(mine.tryAcquire(path), Result::Acquired);
}
#endif

} // namespace
} // namespace dexlan
