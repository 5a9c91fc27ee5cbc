// SPDX-License-Identifier: GPL-3.0-or-later
// A save cut short by the system (a size limit, a full disk, a kill) leaves
// the old file or the new one, whole.
#include "platform/atomic_file.h"
#include "testing/test_files.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dexlan {
namespace {

using testing::TestFolder;

using testing::kElevenLineOptions;

// Linux-only: a save cut short needs fork(), ulimit -f, a small tmpfs and SIGKILL.
#ifdef Q_OS_UNIX
// Runs body in a child process and answers its exit status.
template <typename Body> int inChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(AtomicSave, FileSizeLimitCancelsTheSave) {
    const QByteArray old = kElevenLineOptions;
    QByteArray large = kElevenLineOptions;
    large.replace("6\r\n", QByteArray(4000, '6') + "\r\n");
    for (ReplaceStrategy strategy : {ReplaceStrategy::SaveFile, ReplaceStrategy::NamedTemporary}) {
        TestFolder folder;
        folder.write("Dexlan4.ini", old);
        const QString path = folder.file("Dexlan4.ini");
        const int status = inChild([&] {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{1024, 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
            const FileError error = replaceFileAtomically(path, large, strategy);
            if (!error.failed())
                return 1;
            return error.text == QLatin1String("File too large") ? 0 : 2;
        });
        EXPECT_EQ(status, 0) << "the save must fail with the system's text";
        EXPECT_EQ(folder.read("Dexlan4.ini"), old);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST(AtomicSave, FullDiskCancelsTheSave) {
    TestFolder folder;
    const QByteArray mountPoint = QFile::encodeName(folder.file("small"));
    QDir().mkpath(folder.file("small"));
    if (mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    const QString path = folder.file("small/Dexlan4.ini");
    testing::writeFile(path, kElevenLineOptions);
    // Fill what is left of the file system.
    {
        QFile filler(folder.file("small/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
    QByteArray large = kElevenLineOptions;
    large.replace("6\r\n", QByteArray(8000, '6') + "\r\n");
    for (ReplaceStrategy strategy : {ReplaceStrategy::SaveFile, ReplaceStrategy::NamedTemporary}) {
        const FileError error = replaceFileAtomically(path, large, strategy);
        EXPECT_TRUE(error.failed());
        EXPECT_EQ(error.text, "No space left on device");
        EXPECT_EQ(testing::readFile(path), kElevenLineOptions);
    }
    umount(mountPoint.constData());
}

// Kills a child in the middle of saving, again and again: the file on disk is
// always the old contents or the new, never a mix or a part.
TEST(AtomicSave, KilledWhileSavingLeavesAWholeFile) {
    TestFolder folder;
    const QString path = folder.file("Dexlan4.ini");
    const QByteArray first = kElevenLineOptions + "documents on\r\n";
    QByteArray second = first;
    second.replace("6\r\n", QByteArray(200 * 1024, 's') + "\r\n"); // long enough to be cut
    testing::writeFile(path, first);
    for (int round = 0; round < 200; ++round) {
        const pid_t pid = fork();
        if (pid == 0) {
            for (int i = 0;; ++i) {
                const QByteArray& bytes = i % 2 ? first : second;
                if (i % 3 == 2)
                    rewriteKeepingIdentity(path, bytes);
                else
                    replaceFileAtomically(path, bytes,
                                          i % 3 ? ReplaceStrategy::SaveFile
                                                : ReplaceStrategy::NamedTemporary);
            }
        }
        usleep(QRandomGenerator::global()->bounded(200, 20000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const QByteArray now = testing::readFile(path);
        ASSERT_TRUE(now == first || now == second)
            << "round " << round << ": " << now.size() << " bytes";
    }
}
#endif

} // namespace
} // namespace dexlan
