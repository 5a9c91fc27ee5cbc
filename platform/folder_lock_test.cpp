// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/folder_lock.h"
#include "testing/test_files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace dexlan {

void PrintTo(FolderLock::Result result, std::ostream* out) {
    const char* names[] = {"Taken", "Busy", "Failed"};
    *out << names[int(result)];
}

namespace {

using Result = FolderLock::Result;
using testing::TestFolder;

const QString kName = QStringLiteral(".test.lock");
// The lock is a folder; the file in it names the holder.
const QString kOwner = kName + QStringLiteral("/owner");

// Lays a lock at kName as a copy left it: a folder naming its holder (none:
// a copy that ended before writing), or the file an older copy made.
void layLock(const TestFolder& folder, const QByteArray& owner, bool asFolder) {
    if (!asFolder) {
        folder.write(kName, owner);
        return;
    }
    ASSERT_TRUE(QDir().mkdir(folder.file(kName)));
    if (!owner.isEmpty())
        folder.write(kOwner, owner);
}

QByteArray ownerText(qint64 pid, const QString& host) {
    return "pid " + QByteArray::number(pid) + "\nhost " + host.toUtf8() + '\n';
}

// A process of this computer that has ended: a pid nobody runs under now.
qint64 endedProcess() {
#ifdef Q_OS_UNIX
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
#else
    return 0x7ffffff0; // beyond every process number Windows gives
#endif
}

void makeOld(const QString& path, int seconds = 3600) {
    if (QFileInfo(path).isDir()) {
#ifdef Q_OS_WIN
        // A folder's times are set through a handle opened for it alone.
        HANDLE folder = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()),
                                    FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(folder, INVALID_HANDLE_VALUE);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
        ticks.QuadPart -= quint64(seconds) * 10000000ULL; // 100 ns a tick
        const FILETIME then{ticks.LowPart, ticks.HighPart};
        const bool set = SetFileTime(folder, nullptr, nullptr, &then);
        CloseHandle(folder);
        ASSERT_TRUE(set);
#else
        namespace fs = std::filesystem;
        std::error_code error;
        fs::last_write_time(fs::path(path.toStdString()),
                            fs::file_time_type::clock::now() - std::chrono::seconds(seconds),
                            error);
        ASSERT_FALSE(error) << error.message();
#endif
        ASSERT_NEAR(QFileInfo(path).lastModified().secsTo(QDateTime::currentDateTime()), seconds, 5)
            << "the folder's time was not set back";
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-seconds),
                                 QFileDevice::FileModificationTime));
}

TEST(FolderLock, OneHolderAtATimeAndReleasedWhole) {
    TestFolder folder;
    {
        FolderLock first;
        ASSERT_EQ(first.take(folder.path(), kName, 0), Result::Taken);
        EXPECT_TRUE(first.held());
        EXPECT_EQ(folder.read(kOwner),
                  ownerText(QCoreApplication::applicationPid(), QSysInfo::machineHostName()));

        FolderLock second; // a live holder, even this very process, is waited for
        EXPECT_EQ(second.take(folder.path(), kName, 120), Result::Busy);
        EXPECT_FALSE(second.held());

        first.release();
        EXPECT_FALSE(QFileInfo::exists(folder.file(kName)));
        EXPECT_EQ(second.take(folder.path(), kName, 0), Result::Taken);
    }
    EXPECT_FALSE(QFileInfo::exists(folder.file(kName))) << "the destructor lets go";
}

TEST(FolderLock, AStaleLockIsTakenOverAndALiveOneIsNot) {
    struct Case {
        const char* what;
        QByteArray owner;
        int ageSeconds;
        Result expected;
    };
    const QString here = QSysInfo::machineHostName();
    const Case cases[] = {
        {"a holder of this computer that has ended", ownerText(endedProcess(), here), 0,
         Result::Taken},
        {"another computer's lock, long untouched", ownerText(42, "elsewhere"), 3600,
         Result::Taken},
        {"another computer's lock, fresh", ownerText(42, "elsewhere"), 0, Result::Busy},
        {"another computer's lock, a minute old", ownerText(42, "elsewhere"), 60, Result::Busy},
        {"a lock of no known holder, fresh", QByteArray(), 0, Result::Busy},
        // A copy that ended between making the file and writing its name.
        {"a lock of no known holder, a minute old", QByteArray(), 60, Result::Taken},
        {"a lock of no known holder, long untouched", QByteArray("garbage"), 3600, Result::Taken},
    };
    for (const Case& c : cases) {
        for (const bool asFolder : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (asFolder ? ", a folder" : ", an older copy's file"));
            TestFolder folder;
            layLock(folder, c.owner, asFolder);
            if (c.ageSeconds > 0)
                makeOld(folder.file(asFolder && !c.owner.isEmpty() ? kOwner : kName),
                        c.ageSeconds);
            FolderLock lock;
            EXPECT_EQ(lock.take(folder.path(), kName, 100), c.expected);
            if (c.expected == Result::Busy && asFolder && c.owner.isEmpty())
                EXPECT_TRUE(QFileInfo(folder.file(kName)).isDir()) << "left alone";
            else if (c.expected == Result::Busy)
                EXPECT_EQ(folder.read(asFolder ? kOwner : kName), c.owner)
                    << "somebody else's lock is left alone";
            else
                EXPECT_EQ(folder.read(kOwner), ownerText(QCoreApplication::applicationPid(), here));
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden |
                                                    QDir::NoDotAndDotDot),
                      QStringList{kName})
                << "no probe or stale file left beside it";
        }
    }
}

TEST(FolderLock, ReleaseLeavesALockTakenOverByAnotherCopy) {
    TestFolder folder;
    FolderLock lock;
    ASSERT_EQ(lock.take(folder.path(), kName, 0), Result::Taken);
    const QByteArray other = ownerText(42, QStringLiteral("elsewhere"));
    folder.write(kOwner, other); // declared stale elsewhere and taken over
    lock.release();
    EXPECT_EQ(folder.read(kOwner), other);
}

TEST(FolderLock, AFolderThatIsNotThereIsAFailureNotAWait) {
    TestFolder folder;
    FolderLock lock;
    EXPECT_EQ(lock.take(folder.file("missing/"), kName, 60000), Result::Failed);
    EXPECT_EQ(lock.error().kind, FileError::FolderMissing);
    EXPECT_FALSE(lock.error().text.isEmpty());
}

} // namespace
} // namespace dexlan
