// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instance_lock.h"
#include "testing/test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dexlan {

void PrintTo(InstanceLock::Result result, std::ostream* out) {
    const char* names[] = {"Alone", "OthersRunning", "Unavailable"};
    *out << names[int(result)];
}

namespace {

using Result = InstanceLock::Result;
using testing::TestFolder;

TEST(InstanceLock, EachCopyHoldsItsShareAndIsToldOfTheOthers) {
    TestFolder folder;
    const QString path = folder.file("app.lock");
    auto first = std::make_unique<InstanceLock>();
    EXPECT_EQ(first->join(path), Result::Alone);
    EXPECT_TRUE(first->held());
    EXPECT_EQ(first->join(path), Result::Alone); // asking again: its own share does not count

    InstanceLock second;
    EXPECT_EQ(second.join(path), Result::OthersRunning);
    EXPECT_TRUE(second.held());
    EXPECT_EQ(first->join(path), Result::OthersRunning);

    first.reset();
    EXPECT_EQ(second.join(path), Result::Alone);
}

TEST(InstanceLock, LeftoverLockFileOfAnEndedCopyDoesNotCount) {
    TestFolder folder;
    folder.write("app.lock", "12345\nsomething an earlier copy left\n");
    InstanceLock lock;
    EXPECT_EQ(lock.join(folder.file("app.lock")), Result::Alone);
}

TEST(InstanceLock, UnmakeableLockIsNeitherHeldNorBusy) {
    TestFolder folder;
    folder.write("plain", "a file, not a folder");
    for (const QString& name :
         {QStringLiteral("missing/app.lock"), QStringLiteral("plain/app.lock")}) {
        InstanceLock lock;
        EXPECT_EQ(lock.join(folder.file(name)), Result::Unavailable) << name.toStdString();
        EXPECT_FALSE(lock.held());
    }
}

// Linux-only: the other copies are fork()ed children; the tests above run the
// Windows lock with two handles in one process.
#ifdef Q_OS_UNIX
// Another copy of the program: a child process that takes its part of the
// lock at the given moment, reports what it found, and runs until it is ended.
class Copy {
  public:
    // go: a pipe the copy waits on before it starts; -1 to start at once.
    explicit Copy(const QString& path, int go = -1) {
        int report[2];
        if (pipe(report) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            // Only what this copy needs: no lock or pipe end of another copy.
            for (int fd = 3; fd < 1024; ++fd) {
                if (fd != report[1] && fd != go)
                    close(fd);
            }
            char started;
            if (go >= 0)
                (void)!read(go, &started, 1);
            InstanceLock lock;
            const char found = char('0' + int(lock.join(path)));
            (void)!write(report[1], &found, 1);
            for (;;)
                pause();
        }
        close(report[1]);
        m_report = report[0];
    }
    ~Copy() { end(); }
    Copy(const Copy&) = delete;
    Copy& operator=(const Copy&) = delete;

    Result found() {
        char found = 0;
        if (read(m_report, &found, 1) != 1)
            ADD_FAILURE() << "the copy reported nothing";
        return Result(found - '0');
    }
    void end() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
        if (m_report >= 0)
            close(m_report);
        m_report = -1;
    }

  private:
    pid_t m_pid = -1;
    int m_report = -1;
};

// A copy that is killed cannot clean up; its share must go with it all the same.
TEST(InstanceLock, KilledCopyIsNoLongerCounted) {
    TestFolder folder;
    const QString path = folder.file("app.lock");
    Copy killed(path);
    ASSERT_EQ(killed.found(), Result::Alone);
    InstanceLock mine;
    EXPECT_EQ(mine.join(path), Result::OthersRunning);
    killed.end();
    EXPECT_EQ(mine.join(path), Result::Alone);
}

// A copy started by answering Yes to the another-copy question counts as
// much as the first: after the first ends, a third copy is still asked.
TEST(InstanceLock, EveryRunningCopyIsCounted) {
    TestFolder folder;
    const QString path = folder.file("app.lock");
    Copy first(path);
    ASSERT_EQ(first.found(), Result::Alone);
    Copy second(path);
    ASSERT_EQ(second.found(), Result::OthersRunning);
    first.end();
    Copy third(path);
    EXPECT_EQ(third.found(), Result::OthersRunning);
    second.end();
    third.end();
    Copy fourth(path);
    EXPECT_EQ(fourth.found(), Result::Alone);
}

// Copies started at the same moment: exactly one of them finds itself alone.
TEST(InstanceLock, CopiesStartedTogetherFindOneAnother) {
    TestFolder folder;
    const QString path = folder.file("app.lock");
    for (int round = 0; round < 5; ++round) {
        int go[2];
        ASSERT_EQ(pipe(go), 0);
        std::vector<std::unique_ptr<Copy>> copies;
        for (int i = 0; i < 6; ++i)
            copies.push_back(std::make_unique<Copy>(path, go[0]));
        close(go[0]);
        close(go[1]); // all start now
        int alone = 0;
        for (auto& copy : copies)
            alone += copy->found() == Result::Alone ? 1 : 0;
        EXPECT_EQ(alone, 1) << "round " << round;
    }
}
#endif

} // namespace
} // namespace dexlan
