// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/history_folder.h"
#include "roster/core/name_rules.h"

#include "options_file/options_file.h"
#include "platform/folder_reading.h"
#include "roster/core/background_listing.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_test_files.h"
#include "roster/core/user_list_model.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <functional>
#include <set>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace dexlan {

void PrintTo(const UnreadableFile& file, std::ostream* out) {
    *out << file.fileName.toStdString() << ": " << file.errorText.toStdString();
}

namespace {

using testing::TestFolder;

const PathPolicy kPosix = PathPolicy::posix();
const PathPolicy kWindows = PathPolicy::windows();

TEST(NormalisedLocation, TableForBothPolicies) {
    struct Case {
        const char* typed;
        PathPolicy policy;
        const char* expected;
    };
    const Case cases[] = {
        {"", kPosix, ""},
        {"/data/hist", kPosix, "/data/hist/"},
        {"/data/hist/", kPosix, "/data/hist/"},
        {"Hist/Users", kPosix, "Hist/Users/"}, // case kept: upper case would be another folder
        {"hist home", kPosix, ""},             // the marker for the trainer's own folder
        {"c:\\hist", kPosix, "c:\\hist"},      // Windows-only: kept for the options file
        {"", kWindows, ""},
        {"c:\\hist", kWindows, "C:\\HIST\\"},
        {"C:\\HIST\\", kWindows, "C:\\HIST\\"},
        {"c:\\Hist\\", kWindows, "C:\\HIST\\"},
        {"c:/hist/users/", kWindows, "C:\\HIST\\USERS\\"}, // one separator throughout
        {"Users", kWindows, "USERS\\"},
        {"hist home", kWindows, ""},
        // A school's share by its UNC name, typed either way.
        {"\\\\server\\school\\Hist", kWindows, "\\\\SERVER\\SCHOOL\\HIST\\"},
        {"//server/school/hist/", kWindows, "\\\\SERVER\\SCHOOL\\HIST\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(normalisedLocation(QString::fromLatin1(c.typed), c.policy),
                  QString::fromLatin1(c.expected))
            << c.typed;
}

TEST(IsWindowsOnlyLocation, DriveLettersAndBackslashes) {
    struct Case {
        const char* location;
        PathPolicy policy;
        bool windowsOnly;
    };
    const Case cases[] = {
        {"C:\\HIST\\", kPosix, true},    {"c:", kPosix, true},
        {"d:hist", kPosix, true},        {"\\\\server\\share\\", kPosix, true},
        {"hist\\users/", kPosix, true},  {"/data/hist/", kPosix, false},
        {"hist/", kPosix, false},        {"", kPosix, false},
        {"/mnt/a:b/", kPosix, false},    {"1:/x/", kPosix, false},
        {"C:\\HIST\\", kWindows, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isWindowsOnlyLocation(QString::fromLatin1(c.location), c.policy), c.windowsOnly)
            << c.location;
}

TEST(ResolvedHistoryFolder, EmptyAndRelativeLocationsLieInTheTrainersFolder) {
    struct Case {
        const char* historyFolder;
        const char* programFolder;
        PathPolicy policy;
        const char* expected;
    };
    const Case cases[] = {
        {"", "/opt/trainer/", kPosix, "/opt/trainer/"},
        {"", "/opt/trainer", kPosix, "/opt/trainer/"},
        {"hist/", "/opt/trainer/", kPosix, "/opt/trainer/hist/"},
        {"/data/hist/", "/opt/trainer/", kPosix, "/data/hist/"},
        {":hist/", "/opt/trainer/", kPosix, "/opt/trainer/:hist/"}, // never a Qt resource
        {"", "C:\\TRAINER\\", kWindows, "C:\\TRAINER\\"},
        {"HIST\\", "C:\\TRAINER\\", kWindows, "C:\\TRAINER\\HIST\\"},
        {"D:\\HIST\\", "C:\\TRAINER\\", kWindows, "D:\\HIST\\"},
        {"\\\\SRV\\HIST\\", "C:\\TRAINER\\", kWindows, "\\\\SRV\\HIST\\"},
        // The trainer itself on a share, reached by its UNC name.
        {"", "\\\\SRV\\SCHOOL\\TRAINER", kWindows, "\\\\SRV\\SCHOOL\\TRAINER\\"},
        {"HIST\\", "\\\\SRV\\SCHOOL\\TRAINER\\", kWindows, "\\\\SRV\\SCHOOL\\TRAINER\\HIST\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolvedHistoryFolder(QString::fromLatin1(c.historyFolder),
                                        QString::fromLatin1(c.programFolder), c.policy),
                  QString::fromLatin1(c.expected))
            << c.historyFolder;
}

TEST(ProbeFolder, LeavesAUsersFileNamedXxxxAsItWas) {
    TestFolder folder;
    folder.write("xxxx", "a user's own notes");
    const QStringList before = testing::allNamesUnder(folder.path());
    EXPECT_FALSE(probeFolder(folder.path()).failed());
    EXPECT_EQ(folder.read("xxxx"), "a user's own notes");
    EXPECT_EQ(testing::allNamesUnder(folder.path()), before); // no probe left behind
}

TEST(ProbeFolder, TellsAMissingFolderFromOtherFailures) {
    TestFolder folder;
    folder.write("plain", "a file, not a folder");

    const FileError missing = probeFolder(folder.file("nowhere/"));
    EXPECT_EQ(missing.kind, FileError::FolderMissing);
    EXPECT_EQ(missing.text, testing::missingFolderText());

    const FileError throughFile = probeFolder(folder.file("plain/"));
    EXPECT_EQ(throughFile.kind, FileError::Other);
    EXPECT_EQ(throughFile.text, testing::notAFolderText());

    QDir().mkdir(folder.file("locked"));
    testing::ImmutableFolder locked(folder.file("locked"));
    if (locked.ok()) {
        const FileError refused = probeFolder(folder.file("locked/"));
        EXPECT_EQ(refused.kind, FileError::Other);
        EXPECT_EQ(refused.text, qt_error_string(EPERM));
    }
}

TEST(CreateHistoryFolder, MakesWhatThisSystemCallsAFolderAndSaysWhyNot) {
    TestFolder folder;
    folder.write("plain", "x");
    struct Case {
        QString folder;
        QString error; // empty: made
    };
#ifdef Q_OS_WIN
    // A colon cannot be in a name, and a backslash separates folders.
    const QString colonMade = colonInFolderNameText();
    const QString backslashMade = testing::missingFolderText();
    const QStringList made{QStringLiteral("plain"), QStringLiteral("users")};
#else
    // Both are ordinary characters in a name.
    const QString colonMade;
    const QString backslashMade;
    const QStringList made{QStringLiteral("class:7b"), QStringLiteral("plain"),
                           QStringLiteral("users"), QStringLiteral("x\\y")};
#endif
    const Case cases[] = {
        {folder.file("users/"), {}},
        {folder.file("class:7b/"), colonMade},
        {folder.file("x\\y/"), backslashMade},
        {folder.file("users/"), testing::alreadyExistsText()},
        {folder.file("a/b/"), testing::missingFolderText()}, // one level only
        {folder.file("plain/sub/"), testing::notAFolderText()},
        {folder.path() + QStringLiteral("a") + QChar(0) + QStringLiteral("b/"),
         controlCharacterInLocationText()},
        {folder.path() + QStringLiteral("a\r\nb/"), controlCharacterInLocationText()},
        {folder.path() + QStringLiteral("a\x7f/"), controlCharacterInLocationText()},
    };
    for (const Case& c : cases) {
        const FileError error = createHistoryFolder(c.folder);
        EXPECT_EQ(error.text, c.error) << c.folder.toStdString();
        if (c.error.isEmpty())
            EXPECT_TRUE(QFileInfo(c.folder).isDir()) << c.folder.toStdString();
    }
    EXPECT_EQ(testing::allNamesUnder(folder.path()), made);

    testing::ImmutableFolder locked(folder.file("users"));
    if (locked.ok())
        EXPECT_EQ(createHistoryFolder(folder.file("users/sub/")).text, qt_error_string(EPERM));
}

struct ListedCase {
    const char* fileName;
    QByteArray bytes;
    std::optional<std::pair<QByteArray, int>> listedAs;
};

TEST(ListUsers, FindsUsersInAnyLetterCaseAndNothingElse) {
    const ListedCase cases[] = {
        {"1hist.dx", "\"Ann\"\r\n 0\r\n", std::pair{QByteArray("Ann"), 1}},
        {"2HIST.DX", "\"bob\"\r\n", std::pair{QByteArray("bob"), 2}},
        {"3Hist.Dx", "\"Carl\"\r\n", std::pair{QByteArray("Carl"), 3}},
        {"10hist.dx", "\"Ten\"\r\n", std::pair{QByteArray("Ten"), 10}},
        {"007hist.dx", "\"Seven\"\r\n", std::pair{QByteArray("Seven"), 7}},
        {"-5hist.dx", "\"Minus\"\r\n", std::pair{QByteArray("Minus"), -5}},
        {"20hist.dx", "\"\xc9mile\"\r\n", std::pair{QByteArray("\xc9mile"), 20}},
        {"hist.dx", "\"Nobody\"\r\n", std::nullopt},
        {"4hist.dx", "\"\"\r\n", std::nullopt},            // the empty name
        {"5hist.dx", "x\r\n", std::nullopt},               // too short to hold a name
        {"6hist.dx", QByteArray(9000, 'x'), std::nullopt}, // no line a name could be
        {"99999999999hist.dx", "\"Huge\"\r\n", std::nullopt},
        {".8hist.dx", "\"Hidden\"\r\n", std::nullopt},
        {"9hist.txt", "\"Other\"\r\n", std::nullopt},
    };
    TestFolder folder;
    std::set<std::pair<QByteArray, int>> expected;
    for (const ListedCase& c : cases) {
        folder.write(QString::fromLatin1(c.fileName), c.bytes);
        if (c.listedAs)
            expected.insert(*c.listedAs);
    }
    QDir().mkdir(folder.file("11hist.dx")); // a folder is never a user
    // Linux-only: Windows folders hold no pipes.
#ifdef Q_OS_UNIX
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.file("12hist.dx")).constData(), 0600), 0)
        << "a pipe would block the listing if it were read";
#endif

    const UserListing listing = listUsers(folder.path());
    EXPECT_FALSE(listing.error.failed()) << listing.error.text.toStdString();
    std::set<std::pair<QByteArray, int>> found;
    for (const ListedUser& user : listing.users) {
        found.insert({user.name, user.number});
        EXPECT_TRUE(QFileInfo(user.path).isFile());
        EXPECT_EQ(userNumberFromFileName(QFileInfo(user.path).fileName()), user.number);
    }
    EXPECT_EQ(found, expected);
}

TEST(ListUsers, AFolderThatCannotBeListedIsAFailure) {
    TestFolder folder;
    folder.write("plain", "x");
    const UserListing missing = listUsers(folder.file("nowhere/"));
    EXPECT_EQ(missing.error.kind, FileError::FolderMissing);
    EXPECT_EQ(missing.error.text, testing::missingFolderText());

    const UserListing notAFolder = listUsers(folder.file("plain/"));
    EXPECT_EQ(notAFolder.error.kind, FileError::Other);
    EXPECT_EQ(notAFolder.error.text, testing::notAFolderText());
}

TEST(ListUsers, AFileThatCannotBeReadHidesNoOtherUser) {
    DEXLAN_LINUX_ONLY("a file made unreadable with chmod and a file-system uid");
    TestFolder folder;
    folder.write("1hist.dx", "\"Ann\"\r\n");
    folder.write("2hist.dx", "");
    folder.write("3hist.dx", "\"Bob\"\r\n");
    folder.write("4hist.dx", "\"Secret\"\r\n");
    folder.write("5hist.dx", "\"Cy\"\r\n");
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder.file("4hist.dx")).constData(), 0), 0);

    bool unprivileged = false; // else root reads the file like any other
    const UserListing listing = [&] {
        testing::UnprivilegedFileAccess access;
        unprivileged = access.ok();
        return listUsers(folder.path());
    }();
    EXPECT_FALSE(listing.error.failed());
    std::set<QByteArray> names;
    for (const ListedUser& user : listing.users)
        names.insert(user.name);
    std::vector<UnreadableFile> expected{{QStringLiteral("2hist.dx"), {}}};
    if (unprivileged)
        expected.push_back({QStringLiteral("4hist.dx"), qt_error_string(EACCES)});
    else
        names.erase("Secret");
    EXPECT_EQ(names, (std::set<QByteArray>{"Ann", "Bob", "Cy"}));
    EXPECT_EQ(listing.unreadable, expected);
}

void PrintTo(const ListedUser& user, std::ostream* out) {
    *out << user.name.toStdString() << '=' << user.number << " in " << user.path.toStdString();
}

// The same users in the same order, the same unreadable files and texts,
// the same digest and error.
void expectSameListing(const UserListing& listing, const UserListing& plain) {
    EXPECT_EQ(listing.users, plain.users);
    EXPECT_EQ(listing.unreadable, plain.unreadable);
    EXPECT_EQ(listing.digest, plain.digest);
    EXPECT_EQ(listing.error.kind, plain.error.kind);
    EXPECT_EQ(listing.error.text, plain.error.text);
}

// The listing read on several threads, whatever the batches and however the
// threads interleave, is the one read file by file: the same users in the
// same order, the same unreadable files and texts, the same digest and error.
void expectSameListingOnThreads(const QString& folder, const std::string& what) {
    const UserListing plain = listUsers(folder, {1, 1, {}});
    struct Way {
        int threads;
        int batch;
        bool progress;
    };
    for (const Way way : {Way{2, 1, false}, Way{3, 1, true}, Way{2, 3, true}, Way{0, 256, true}}) {
        SCOPED_TRACE(what + ", " + std::to_string(way.threads) + " threads, batches of " +
                     std::to_string(way.batch));
        qsizetype lastRead = -1;
        qsizetype lastTotal = -1;
        ListingOptions options{way.threads, way.batch, {}};
        if (way.progress)
            options.progress = [&](qsizetype read, qsizetype total) {
                EXPECT_GE(read, lastRead) << "the progress never goes back";
                EXPECT_LE(read, total);
                lastRead = read;
                lastTotal = total;
            };
        expectSameListing(listUsers(folder, options), plain);
        if (way.progress && !plain.error.failed())
            EXPECT_EQ(lastRead, lastTotal) << "the progress ends with every file read";
    }

    // Without a digest each file is only opened, read and closed: the same
    // users and unreadable files, and no digest.
    for (const int threads : {1, 2}) {
        SCOPED_TRACE(what + ", no digest, " + std::to_string(threads) + " threads");
        ListingOptions options{threads, 1, {}};
        options.digest = false;
        UserListing withoutDigest = listUsers(folder, options);
        EXPECT_FALSE(withoutDigest.digest.has_value());
        withoutDigest.digest = plain.digest;
        expectSameListing(withoutDigest, plain);
    }

    // And on a thread of its own, as start-up reads the folder: its stamps
    // left for the first check, as a plain listing would leave them.
    SCOPED_TRACE(what + ", in the background");
    ListingOptions plainLater{1, 1, {}};
    plainLater.stampsLater = true;
    const UserListing unstamped = listUsers(folder, plainLater);
    std::atomic<int> finished{0};
    BackgroundListing background(folder, BackgroundListing::Made::Listing,
                                 [&finished] { ++finished; });
    background.waitUntilFinished();
    EXPECT_TRUE(background.isFinished());
    EXPECT_EQ(finished, 1);
    const UserListing fromBackground = background.take();
    EXPECT_EQ(fromBackground.unstampedSinceNs.has_value(), unstamped.unstampedSinceNs.has_value());
    expectSameListing(fromBackground, unstamped);
    if (!plain.error.failed())
        EXPECT_EQ(background.filesRead(), background.filesInAll());

    // A reading the user waits for takes the stamps as it reads: the plain listing.
    BackgroundListing stamped(folder, BackgroundListing::Made::ListingWithStamps, {});
    expectSameListing(stamped.take(), plain);

    // With the list's rows made there too: the rows the listing makes.
    BackgroundListing withRows(folder, BackgroundListing::Made::ListRows, {});
    UserListModel fromThread;
    fromThread.show(withRows.takeRows());
    EXPECT_TRUE(withRows.take().users.empty()) << "the users' copies are let go";
    UserListModel fromPlain;
    fromPlain.showListing(plain);
    ASSERT_EQ(fromThread.rowCount(), fromPlain.rowCount());
    for (int row = 0; row < fromPlain.rowCount(); ++row) {
        EXPECT_EQ(fromThread.text(row), fromPlain.text(row));
        EXPECT_EQ(fromThread.number(row), fromPlain.number(row));
        EXPECT_EQ(fromThread.path(row), fromPlain.path(row));
    }
}

TEST(ListUsers, OnSeveralThreadsAsFileByFile) {
    // The folders of the listing tests above, and a large one whose batches
    // really run side by side.
    TestFolder folder;
    folder.write("1hist.dx", "\"Ann\"\r\n");
    folder.write("2HIST.DX", "\"bob\"\r\n 0\r\n");
    folder.write("3hist.dx", "\"\"\r\n");
    folder.write("4Hist.Dx", "");
    folder.write("-5hist.dx", "\"Minus\"\r\n");
    folder.write("0hist.dx", "\"Zero\"\r\n");
    folder.write("6hist.dx", "\"No end");
    folder.write("7hist.dx", QByteArray(5000, 'x'));
    folder.write("8hist.dx", "\"Ann\nBob\"\r\n");
    folder.write("hist.dx", "\"Nobody\"\r\n");
    folder.write(".9hist.dx", "\"Hidden\"\r\n");
    folder.write("notes.txt", "\"Not a user\"\r\n");
    QDir().mkdir(folder.file("11hist.dx"));
#ifdef Q_OS_UNIX // Linux-only: a pipe and symbolic links
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.file("12hist.dx")).constData(), 0600), 0);
    ASSERT_EQ(symlink("1hist.dx", QFile::encodeName(folder.file("13hist.dx")).constData()), 0);
    ASSERT_EQ(symlink("gone", QFile::encodeName(folder.file("14hist.dx")).constData()), 0);
#endif
    expectSameListingOnThreads(folder.path(), "the odd cases");

    for (int n = 20; n < 1500; ++n)
        folder.write(QString::number(n) +
                         (n % 3 ? QStringLiteral("hist.dx") : QStringLiteral("HIST.DX")),
                     n % 97 ? "\"User " + QByteArray::number(n * 7 % 1500) + "\"\r\n" : "");
    expectSameListingOnThreads(folder.path(), "1,500 files");

    expectSameListingOnThreads(folder.file("nowhere/"), "a missing folder");
    expectSameListingOnThreads(folder.file("notes.txt/"), "a file for a folder");
    TestFolder empty;
    expectSameListingOnThreads(empty.path(), "an empty folder");
}

TEST(ListUsers, OnSeveralThreadsAsFileByFileInRandomFolders) {
    // Folders made from random names and first lines, as the listing's fuzzer
    // makes them, with a fixed seed so that a failure can be run again.
    QRandomGenerator random(20261210);
    const QByteArray nameParts[] = {"1", "2",           "12",      "007",     "-3",
                                    "0", "99999999999", "hist.dx", "HIST.DX", "Hist.dX",
                                    ".", "x",           "\xe9",    " "};
    const QByteArray lineParts[] = {
        "\"", "Ann", "\r\n", "\n", "\r", "", "\"\"", "\x80\xff", QByteArray(300, 'y'), "\0"};
    for (int round = 0; round < 60; ++round) {
        TestFolder folder;
        const int files = int(random.bounded(1, 40));
        for (int f = 0; f < files; ++f) {
            QByteArray name;
            for (int part = int(random.bounded(1, 4)); part > 0; --part)
                name += nameParts[random.bounded(int(std::size(nameParts)))];
            name += random.bounded(4) ? "hist.dx" : "";
            QByteArray bytes;
            for (int part = int(random.bounded(0, 6)); part > 0; --part)
                bytes += lineParts[random.bounded(int(std::size(lineParts)))];
            const QString path = folder.path() + QFile::decodeName(name);
            if (name == "." || name == ".." || QFileInfo::exists(path))
                continue;
            if (random.bounded(20) == 0)
                QDir().mkdir(path);
            else
                folder.write(QFile::decodeName(name), bytes);
        }
        expectSameListingOnThreads(folder.path(), "random folder " + std::to_string(round));
    }
}

TEST(ListUsers, AReadingStoppedListsNobody) {
    // A listing no longer wanted (the program quitting) ends early; what it
    // read must not pass for the folder's users.
    TestFolder folder;
    for (int n = 1; n <= 600; ++n)
        folder.write(QString::number(n) + QStringLiteral("hist.dx"),
                     "\"User " + QByteArray::number(n) + "\"\r\n");
    std::atomic<bool> stop{true};
    ListingOptions stoppedAtOnce;
    stoppedAtOnce.stop = &stop;
    std::atomic<bool> stopHalfWay{false};
    ListingOptions stoppedHalfWay{2, 10, [&stopHalfWay](qsizetype read, qsizetype) {
                                      if (read > 0)
                                          stopHalfWay = true;
                                  }};
    stoppedHalfWay.stop = &stopHalfWay;
    for (const ListingOptions& options : {stoppedAtOnce, stoppedHalfWay}) {
        const UserListing listing = listUsers(folder.path(), options);
        EXPECT_TRUE(listing.error.failed());
        EXPECT_TRUE(listing.users.empty());
        EXPECT_FALSE(listing.digest);
    }
    // Let go while reading: stopped and waited for, nothing left running.
    for (int round = 0; round < 20; ++round)
        BackgroundListing(folder.path(), BackgroundListing::Made::ListRows, {}).start();
}

TEST(UnreadableFilesText, NamesEachFileAndHowManyMore) {
    const QString empty = QStringLiteral("The history file 2hist.dx is empty.");
    const QString denied = QStringLiteral("The history file 4hist.dx cannot be read: ") +
                           qt_error_string(EACCES) + QLatin1Char('.');
    EXPECT_EQ(unreadableFilesText({{QStringLiteral("2hist.dx"), {}}}), empty);
    EXPECT_EQ(unreadableFilesText({{QStringLiteral("2hist.dx"), {}},
                                   {QStringLiteral("4hist.dx"), qt_error_string(EACCES)}}),
              empty + QStringLiteral("\r\n") + denied);

    std::vector<UnreadableFile> many;
    for (int n = 1; n <= 25; ++n)
        many.push_back({QString::number(n) + QStringLiteral("hist.dx"), {}});
    const QStringList lines = unreadableFilesText(many).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[9], QStringLiteral("The history file 10hist.dx is empty."));
    EXPECT_EQ(lines[10], QStringLiteral("15 more history files cannot be read."));
}

TEST(HistoryFilesDigest, FollowsTheHistoryFilesAndNothingElse) {
    TestFolder folder;
    folder.write("1hist.dx", "\"Ann\"\r\n");
    const auto digest = [&folder] { return historyFilesDigest(folder.path()); };
    const std::optional<quint64> first = digest();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(listUsers(folder.path()).digest, first) << "the listing sees the same";

    // Other names leave it as it was.
    folder.write("notes.txt", "x");
    folder.write(".2HIST.DX.new1234", "\"Half");
    folder.write("hist.dx", "\"Nobody\"\r\n");
    EXPECT_EQ(digest(), first);

    // A new history file changes it, by its own part, which is how a change the
    // program makes itself is counted in.
    folder.write("2HIST.DX", "\"Bob\"\r\n");
    const std::optional<quint64> second = digest();
    EXPECT_NE(second, first);
    EXPECT_EQ(*second, *first ^ historyFileDigest(folder.file("2HIST.DX")));

    // So does a file put in the place of another; removing it goes back.
    folder.write("3hist.dx", "\"Zedekiah\"\r\n");
#ifdef Q_OS_WIN
    ASSERT_TRUE(MoveFileExW(reinterpret_cast<const wchar_t*>(folder.file("3hist.dx").utf16()),
                            reinterpret_cast<const wchar_t*>(folder.file("2HIST.DX").utf16()),
                            MOVEFILE_REPLACE_EXISTING));
#else
    ASSERT_EQ(std::rename(QFile::encodeName(folder.file("3hist.dx")).constData(),
                          QFile::encodeName(folder.file("2HIST.DX")).constData()),
              0);
#endif
    EXPECT_NE(digest(), second);
    ASSERT_TRUE(QFile::remove(folder.file("2HIST.DX")));
    EXPECT_EQ(digest(), first);
    EXPECT_EQ(historyFileDigest(folder.file("2HIST.DX")), 0u);

    EXPECT_FALSE(historyFilesDigest(folder.file("nowhere/")).has_value());
}

// A file whose name and inode stay while its bytes change: the trainer
// rewriting it in place, or a new file given the number of one just erased,
// which a file system hands out again at once.
TEST(HistoryFilesDigest, ChangesWhenAFileIsRewrittenUnderTheSameIdentity) {
    TestFolder folder;
    folder.write("1hist.dx", "\"Ann\"\r\n");
    folder.write("2hist.dx", "\"Bob\"\r\n");
    const std::optional<quint64> first = historyFilesDigest(folder.path());
    ASSERT_TRUE(first.has_value());

    QFile file(folder.file("2hist.dx"));
    const QDateTime modified = QFileInfo(file).lastModified();
    ASSERT_TRUE(file.open(QIODevice::ReadWrite)); // the same file, not a new one
    ASSERT_EQ(file.write("\"Bo\"\r\n\r\n"), 8);   // another name, the same size
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(modified.addSecs(1), QFileDevice::FileModificationTime));
    file.close();

    const std::optional<quint64> rewritten = historyFilesDigest(folder.path());
    EXPECT_NE(rewritten, first);
    EXPECT_EQ(listUsers(folder.path()).digest, rewritten) << "the listing sees the same";
    EXPECT_EQ(listUsers(folder.path(), {1, 1, {}}).digest, rewritten);

    // Grown in place, at the very same time: still another file.
    ASSERT_TRUE(file.open(QIODevice::Append));
    ASSERT_EQ(file.write("more"), 4);
    ASSERT_TRUE(file.setFileTime(modified.addSecs(1), QFileDevice::FileModificationTime));
    file.close();
    EXPECT_NE(historyFilesDigest(folder.path()), rewritten);
}

// A listing that leaves its stamps for later is settled by the first check:
// then the folder's whole digest, unless a file changed after the listing
// began, even one rewritten in place or put under a freed inode number.
TEST(HistoryFilesUnchanged, SettlesAListingsStampsOrSeesEveryChange) {
    if (!stampsCanWait(TestFolder().path()))
        GTEST_SKIP() << "this file system's listing gives the stamps with the names";
    struct Case {
        const char* what;
        std::function<void(TestFolder&)> change; // empty: nothing changes
    };
    const Case cases[] = {
        {"nothing changed", {}},
        {"rewritten in place, same size",
         [](TestFolder& folder) {
             QFile file(folder.file("2hist.dx"));
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_EQ(file.write("\"Bo\"\r\n\r\n"), 8);
         }},
        {"erased, and another put in its place",
         [](TestFolder& folder) {
             ASSERT_TRUE(QFile::remove(folder.file("2hist.dx")));
             folder.write("2hist.dx", "\"Cy\"\r\n");
         }},
        {"one more", [](TestFolder& folder) { folder.write("3hist.dx", "\"Di\"\r\n"); }},
        {"one less", [](TestFolder& folder) { ASSERT_TRUE(QFile::remove(folder.file("1hist.dx"))); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        folder.write("1hist.dx", "\"Ann\"\r\n");
        folder.write("2hist.dx", "\"Bob\"\r\n");
        const qint64 before = entryChangeClockNs();
        ListingOptions options{1, 1, {}};
        options.stampsLater = true;
        UserListing listing = listUsers(folder.path(), options);
        ASSERT_TRUE(listing.digest && listing.unstampedSinceNs);
        // The files were written before the listing began: no slack needed here.
        listing.unstampedSinceNs = before;
        if (c.change)
            c.change(folder);
        quint64 digest = *listing.digest;
        std::optional<qint64> since = listing.unstampedSinceNs;
        if (!c.change) {
            ASSERT_TRUE(historyFilesUnchanged(folder.path(), digest, since));
            EXPECT_FALSE(since.has_value());
            EXPECT_EQ(digest, historyFilesDigest(folder.path())) << "the whole digest now";
            EXPECT_EQ(digest, listUsers(folder.path()).digest);
            EXPECT_TRUE(historyFilesUnchanged(folder.path(), digest, since));
        } else {
            EXPECT_FALSE(historyFilesUnchanged(folder.path(), digest, since));
            EXPECT_EQ(digest, *listing.digest) << "nothing settled";
            EXPECT_TRUE(since.has_value());
        }
    }
    // A file changed a moment before the listing counts as changed since.
    TestFolder folder;
    folder.write("1hist.dx", "\"Ann\"\r\n");
    ListingOptions options{1, 1, {}};
    options.stampsLater = true;
    const UserListing listing = listUsers(folder.path(), options);
    quint64 digest = *listing.digest;
    std::optional<qint64> since = listing.unstampedSinceNs;
    EXPECT_FALSE(historyFilesUnchanged(folder.path(), digest, since));
}

TEST(ShownName, CodePageCharactersAndAVisibleLineFeed) {
    struct Case {
        QByteArray name;
        const char* shown; // UTF-8
    };
    const Case cases[] = {
        {"Ann", "Ann"},
        {"\xc9mile \x80", "Émile €"},
        {"Ann\nBob", "Ann↵Bob"},
        {"\n\xe9\n", "↵é↵"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shownName(c.name), QString::fromUtf8(c.shown)) << c.shown;
}

TEST(ListOrder, IgnoresLetterCaseWhateverTheLocale) {
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English), QLocale(QLocale::Polish),
                                  QLocale(QLocale::Turkish)}) {
        const ListOrder order(locale);
        QStringList names{QStringLiteral("bob"), QStringLiteral("Carl"), QStringLiteral("Ann"),
                          QStringLiteral("adam"), QStringLiteral("ann")};
        std::sort(names.begin(), names.end(),
                  [&order](const QString& a, const QString& b) { return order.before(a, b); });
        EXPECT_EQ(names.join(QLatin1Char(' ')), QStringLiteral("adam Ann ann bob Carl"))
            << locale.name().toStdString();
    }
}

TEST(SmallestFreeNumber, TableOfLists) {
    struct Case {
        std::vector<int> list;
        std::set<int> takenInFolder;
        int expected;
    };
    const Case cases[] = {
        {{}, {}, 1},
        {{1, 2, 4}, {}, 3},
        {{2}, {}, 1},
        {{1, 2, 3}, {}, 4},
        {{1, 1, 2}, {}, 3},
        {{-5, 0, 1}, {}, 2},
        {{5, 1, 2, 3, 4}, {}, 6},
        {{1000, 1, 2}, {}, 3},
        {{INT_MAX}, {}, 1},
        {{1, 2, 4}, {3}, 5}, // a file holds a name the list does not show
        {{1, 2, 4}, {3, 5, 6}, 7},
        {{1, 2}, {3, 4, 5, 6, 7, 8, 9, 10}, 11}, // beyond the numbers the list covers
        {{1, 2, 9}, {3, 4, 5, 6, 7, 8}, 10},
    };
    for (const Case& c : cases) {
        const auto taken = [&c](int n) { return c.takenInFolder.count(n) > 0; };
        EXPECT_EQ(smallestFreeNumber(c.list, taken), c.expected)
            << ::testing::PrintToString(c.list);
    }
}

TEST(SmallestFreeNumber, SameAnswerAsRescanningTheList) {
    // The trainer's own way: try 1, scan every entry, on a hit take the next
    // number and scan again from the first.
    auto rescan = [](const std::vector<int>& list) {
        int candidate = 1;
        for (bool found = true; found;) {
            found = false;
            for (int n : list) {
                if (n == candidate) {
                    ++candidate;
                    found = true;
                    break;
                }
            }
        }
        return candidate;
    };
    QRandomGenerator random(4);
    for (int round = 0; round < 500; ++round) {
        std::vector<int> list(size_t(random.bounded(40)));
        for (int& n : list)
            n = random.bounded(-3, 45);
        EXPECT_EQ(smallestFreeNumber(list, {}), rescan(list)) << ::testing::PrintToString(list);
    }
}

TEST(InspectNumber, OnlyAnEmptyNameMayBeReused) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, QByteArray>> files;
        bool taken;
        const char* reusable;
    };
    const Case cases[] = {
        {"absent", {}, false, ""},
        {"empty name", {{"3hist.dx", "\"\"\r\n 0\r\n"}}, false, "3hist.dx"},
        {"a name, in capitals", {{"3HIST.DX", "\"Zed\"\r\n"}}, true, ""},
        {"a name in mixed case", {{"3hIsT.dX", "\"Zed\"\r\n"}}, true, ""},
        {"an empty file", {{"3hist.dx", ""}}, true, ""},
        {"a first line without quotes", {{"3hist.dx", "Zed\r\n"}}, true, ""},
        {"empty name beside a name",
         {{"3hist.dx", "\"\"\r\n"}, {"3HIST.DX", "\"Zed\"\r\n"}},
         true,
         ""},
        {"another number's file",
         {{"03hist.dx", "\"Zed\"\r\n"}, {"13hist.dx", "\"Y\"\r\n"}},
         false,
         ""},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        for (const auto& [name, bytes] : c.files)
            folder.write(QString::fromLatin1(name), bytes);
        const NumberInFolder found = inspectNumber(folder.path(), 3);
        EXPECT_EQ(found.taken, c.taken) << c.what;
        EXPECT_EQ(testing::comparablePath(found.emptyNameFile),
                  testing::comparablePath(*c.reusable ? folder.file(QString::fromLatin1(c.reusable))
                                                      : QString()))
            << c.what;
    }
    TestFolder withFolder;
    QDir().mkdir(withFolder.file("3HIST.DX"));
    EXPECT_TRUE(inspectNumber(withFolder.path(), 3).taken);
}

// A device that takes limit bytes and then reports the disk full.
class FailDevice : public QIODevice {
  public:
    explicit FailDevice(qint64 limit) : m_limit(limit) { open(WriteOnly); }
    QByteArray written;

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        const qint64 room = m_limit - written.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 n = std::min(room, size);
        written.append(data, n);
        return n;
    }

  private:
    qint64 m_limit;
};

TEST(WriteAll, AShortWriteIsAFailure) {
    const QByteArray bytes(2000, 'x');
    for (qint64 limit : {0, 1, 1999}) {
        FailDevice device(limit);
        const FileError error = writeAll(device, bytes);
        EXPECT_TRUE(error.failed()) << limit;
        EXPECT_EQ(error.text, QStringLiteral("No space left on device"));
    }
    FailDevice roomy(2000);
    EXPECT_FALSE(writeAll(roomy, bytes).failed());
    EXPECT_EQ(roomy.written, bytes);
}

TEST(CreateFileExclusively, NeverReplacesAndNeverLeavesAPartialFile) {
    TestFolder folder;
    folder.write("1HIST.DX", "\"Ann\"\r\n");
    const CreateResult exists = createFileExclusively(folder.file("1HIST.DX"), "\"Bob\"\r\n");
    EXPECT_EQ(exists.outcome, CreateResult::AlreadyExists);
    EXPECT_EQ(folder.read("1HIST.DX"), "\"Ann\"\r\n");

    const CreateResult created = createFileExclusively(folder.file("2HIST.DX"), "\"Bob\"\r\n");
    EXPECT_EQ(created.outcome, CreateResult::Created);
    EXPECT_EQ(folder.read("2HIST.DX"), "\"Bob\"\r\n");

    const CreateResult missing = createFileExclusively(folder.file("no/3HIST.DX"), "x");
    EXPECT_EQ(missing.outcome, CreateResult::Failed);
    EXPECT_EQ(missing.error.kind, FileError::FolderMissing);

    if (testing::FileSizeLimit limit(100); limit.ok()) { // Linux-only: a file-size limit
        const CreateResult full =
            createFileExclusively(folder.file("4HIST.DX"), QByteArray(2000, 'x'));
        EXPECT_EQ(full.outcome, CreateResult::Failed);
        EXPECT_EQ(full.error.kind, FileError::Other);
        EXPECT_EQ(full.error.text, qt_error_string(EFBIG));
    }
    EXPECT_FALSE(QFileInfo::exists(folder.file("4HIST.DX")));
}

// Whatever a writer leaves behind: no name the listing takes for a user's file.
void expectNoTraceOfAUser(const QString& folder, const char* what) {
    for (const QString& name : testing::allNamesUnder(folder)) {
        EXPECT_TRUE(name.startsWith(QLatin1Char('.'))) << what << ": " << name.toStdString();
        EXPECT_FALSE(hasHistorySuffix(name)) << what << ": " << name.toStdString();
    }
    const UserListing listing = listUsers(folder);
    EXPECT_TRUE(listing.users.empty()) << what;
    EXPECT_TRUE(listing.unreadable.empty()) << what;
}

// Linux-only: the copy is a fork()ed child killed by its file-size limit.
#ifdef Q_OS_UNIX
TEST(CreateFileExclusively, ACopyKilledWhileWritingLeavesNoHalfFile) {
    const std::array<int, kRandomsPerFile> randoms{201, 302, 403, 504, 605, 706, 807, 908};
    const QByteArray bytes = newHistoryFileBytes("Ann", randoms);
    for (rlim_t limit : {rlim_t(0), rlim_t(1000)}) {
        TestFolder folder;
        const QString path = folder.file("4HIST.DX");
        // The child is killed by the file-size limit in the middle of its write,
        // with no chance to clean up, as a copy ended from outside would be.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_DFL);
            const rlimit lowered{limit, limit};
            setrlimit(RLIMIT_FSIZE, &lowered);
            createFileExclusively(path, bytes);
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << limit;

        EXPECT_FALSE(QFileInfo::exists(path)) << limit;
        expectNoTraceOfAUser(folder.path(), "killed");
        // The number is free for the next add.
        EXPECT_EQ(createFileExclusively(path, bytes).outcome, CreateResult::Created);
        EXPECT_TRUE(folder.read("4HIST.DX") == bytes);
    }
}

#endif

TEST(ReplaceEmptyNameFile, ReplacesTheEntryAndNothingBeyondIt) {
    DEXLAN_LINUX_ONLY("the first file is a symbolic link, which QFile::link makes only there");
    TestFolder folder;
    TestFolder outside;
    const QByteArray emptyName = "\"\"\r\n 0\r\n";
    outside.write("template.dx", emptyName);
    ASSERT_TRUE(QFile::link(outside.file("template.dx"), folder.file("1hist.dx")));
    folder.write("2hist.dx", emptyName);

    // A link is replaced by the new file; what it pointed to stays as it was.
    EXPECT_EQ(replaceEmptyNameFile(folder.file("1hist.dx"), "\"Ann\"\r\n").outcome,
              CreateResult::Created);
    EXPECT_FALSE(QFileInfo(folder.file("1hist.dx")).isSymLink());
    EXPECT_EQ(folder.read("1hist.dx"), "\"Ann\"\r\n");
    EXPECT_EQ(outside.read("template.dx"), emptyName);

    // A file that holds a name by now is somebody's: passed over.
    folder.write("3hist.dx", "\"Zed\"\r\n");
    EXPECT_EQ(replaceEmptyNameFile(folder.file("3hist.dx"), "\"Bob\"\r\n").outcome,
              CreateResult::Skipped);
    EXPECT_EQ(folder.read("3hist.dx"), "\"Zed\"\r\n");

    // One that cannot be replaced is passed over too.
    testing::ImmutableFolder locked(folder.file("2hist.dx"));
    if (locked.ok()) {
        EXPECT_EQ(replaceEmptyNameFile(folder.file("2hist.dx"), "\"Bob\"\r\n").outcome,
                  CreateResult::Skipped);
        EXPECT_EQ(folder.read("2hist.dx"), emptyName);
    }
    EXPECT_EQ(testing::allNamesUnder(folder.path()),
              (QStringList{QStringLiteral("1hist.dx"), QStringLiteral("2hist.dx"),
                           QStringLiteral("3hist.dx")}))
        << "no temporary file stays";
}

TEST(HistoryFileOfANumber, FoundInAnyCaseAndDeleted) {
    for (const char* spelling : {"12hist.dx", "12HIST.DX", "12Hist.dX"}) {
        TestFolder folder;
        folder.write(QString::fromLatin1(spelling), "\"Ann\"\r\n");
        folder.write("012hist.dx", "\"Other\"\r\n");
        folder.write("112hist.dx", "\"Other\"\r\n");
        const QString path = existingHistoryFile(folder.path(), 12);
        EXPECT_EQ(testing::comparablePath(path),
                  testing::comparablePath(folder.file(QString::fromLatin1(spelling))));
        EXPECT_FALSE(deleteHistoryFile(path).failed());
        EXPECT_EQ(testing::allNamesUnder(folder.path()),
                  (QStringList{QStringLiteral("012hist.dx"), QStringLiteral("112hist.dx")}));
        EXPECT_TRUE(existingHistoryFile(folder.path(), 12).isEmpty());
    }
}

TEST(DeleteHistoryFile, ReportsThePlatformsText) {
    TestFolder folder;
    const FileError missing = deleteHistoryFile(folder.file("12hist.dx"));
    EXPECT_TRUE(missing.failed());
    EXPECT_EQ(missing.text, notFoundText());

    QDir().mkdir(folder.file("13hist.dx"));
    EXPECT_TRUE(deleteHistoryFile(folder.file("13hist.dx")).failed());
    EXPECT_TRUE(QFileInfo(folder.file("13hist.dx")).isDir());
}

} // namespace
} // namespace dexlan
