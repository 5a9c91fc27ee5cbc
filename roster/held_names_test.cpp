// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/held_names.h"

#include "roster/history_file.h"
#include "roster/history_folder.h"
#include "roster/roster_test_files.h"
#include "testing/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace dexlan {
namespace {

using testing::TestFolder;

const QDateTime kNow = QDateTime(QDate(2026, 12, 10), QTime(11, 42), QTimeZone::utc());

QByteArray userFile(const QByteArray& name) {
    return newHistoryFileBytes(name, {201, 302, 403, 504, 605, 706, 807, 908});
}

HeldName holdOne(const TestFolder& folder, const QString& fileName, int number, const char* name,
                 const QDateTime& at = kNow) {
    const HoldResult held =
        holdUserFile(folder.file(fileName), number, QString::fromLatin1(name), at);
    EXPECT_EQ(held.outcome, HoldResult::Held) << held.error.text.toStdString();
    return held.held;
}

TEST(HeldNames, DeletedNameIsHeldOutOfTheTrainersSightAndRestoredByteForByte) {
    TestFolder folder;
    const QByteArray ann = userFile("Ann");
    folder.write("12HIST.DX", ann);
    folder.write("3HIST.DX", userFile("Bob"));

    const HeldName held = holdOne(folder, "12HIST.DX", 12, "Ann");
    EXPECT_FALSE(QFileInfo::exists(folder.file("12HIST.DX")));
    ASSERT_EQ(listUsers(folder.path()).users.size(), 1u) << "the listing sees Bob alone";
    EXPECT_TRUE(held.heldPath.startsWith(folder.file(".deleted") + folder.path().back()))
        << "in the history folder's own separator";

    const std::vector<HeldName> listed = listHeldNames(folder.path());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "Ann");
    EXPECT_EQ(listed[0].number, 12);
    EXPECT_EQ(listed[0].deletedAt, kNow);

    const RestoreResult restored = restoreHeldName(folder.path(), listed[0]);
    ASSERT_EQ(restored.outcome, RestoreResult::Restored);
    EXPECT_EQ(restored.number, 12);
    EXPECT_FALSE(restored.numberChanged);
    EXPECT_EQ(folder.read("12HIST.DX"), ann);
    EXPECT_TRUE(listHeldNames(folder.path()).empty());
    EXPECT_EQ(testing::allNamesUnder(folder.path()),
              QStringList({".deleted", "12HIST.DX", "3HIST.DX"}))
        << "neither the note nor the claimed file stays behind";
}

TEST(HeldNames, RestoreTakesTheSmallestFreeNumberWhenItsOwnIsTaken) {
    TestFolder folder;
    folder.write("1HIST.DX", userFile("Ann"));
    folder.write("2HIST.DX", userFile("Bob"));
    const HeldName held = holdOne(folder, "2HIST.DX", 2, "Bob");
    folder.write("2hist.dx", userFile("Cyd")); // the number given away meanwhile
    folder.write("3HIST.DX", userFile("\""));  // an empty-name file is never replaced

    const RestoreResult restored = restoreHeldName(folder.path(), held);
    ASSERT_EQ(restored.outcome, RestoreResult::Restored);
    EXPECT_EQ(restored.number, 4);
    EXPECT_TRUE(restored.numberChanged);
    EXPECT_EQ(readFirstLineOfFile(folder.file("4HIST.DX")).bytes, "\"Bob\"");
    EXPECT_EQ(readFirstLineOfFile(folder.file("2hist.dx")).bytes, "\"Cyd\"");
}

TEST(HeldNames, RestoreRefusesANameOnTheListAgainAndKeepsItHeld) {
    TestFolder folder;
    folder.write("1HIST.DX", userFile("Ann"));
    const HeldName held = holdOne(folder, "1HIST.DX", 1, "Ann");
    folder.write("1HIST.DX", userFile("Ann"));

    EXPECT_EQ(restoreHeldName(folder.path(), held).outcome, RestoreResult::NameOnList);
    EXPECT_EQ(listHeldNames(folder.path()).size(), 1u);
}

TEST(HeldNames, TwoCopiesRestoringAtOnceNeverShareAFile) {
    TestFolder folder;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        folder.write("5HIST.DX", userFile("Ann"));
        const HeldName held = holdOne(folder, "5HIST.DX", 5, "Ann");
        std::atomic<int> ready{0};
        RestoreResult results[2];
        auto restore = [&](int copy) {
            ++ready;
            while (ready < 2) {
            }
            results[copy] = restoreHeldName(folder.path(), held);
        };
        std::thread first(restore, 0), second(restore, 1);
        first.join();
        second.join();
        const int restoredCount = (results[0].outcome == RestoreResult::Restored) +
                                  (results[1].outcome == RestoreResult::Restored);
        ASSERT_EQ(restoredCount, 1);
        const RestoreResult& loser =
            results[0].outcome == RestoreResult::Restored ? results[1] : results[0];
        // The loser either found it claimed, or found Ann back on the list.
        EXPECT_TRUE(loser.outcome == RestoreResult::Gone ||
                    loser.outcome == RestoreResult::NameOnList);
        ASSERT_EQ(listUsers(folder.path()).users.size(), 1u);
        EXPECT_TRUE(listHeldNames(folder.path()).empty());
        QFile::remove(folder.file("5HIST.DX"));
    }
}

TEST(HeldNames, TwoCopiesDeletingTheSameUserHoldOneFile) {
    TestFolder folder;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        folder.write("5HIST.DX", userFile("Ann"));
        std::atomic<int> ready{0};
        HoldResult results[2];
        auto hold = [&](int copy) {
            ++ready;
            while (ready < 2) {
            }
            results[copy] = holdUserFile(folder.file("5HIST.DX"), 5, "Ann", kNow);
        };
        std::thread first(hold, 0), second(hold, 1);
        first.join();
        second.join();
        EXPECT_EQ(
            (results[0].outcome == HoldResult::Held) + (results[1].outcome == HoldResult::Held), 1);
        const std::vector<HeldName> held = listHeldNames(folder.path());
        ASSERT_EQ(held.size(), 1u);
        EXPECT_FALSE(eraseHeldName(held[0]).failed());
    }
}

TEST(HeldNames, NothingIsMovedWhenTheFileCannotBeHeld) {
    struct Case {
        const char* what;
        std::function<void(const TestFolder&)> arrange;
        HoldResult::Outcome outcome;
    };
    const Case cases[] = {
        {"holding folder is a file",
         [](const TestFolder& f) { f.write(".deleted", "not a folder"); }, HoldResult::CannotHold},
        {"holding folder is a link",
         [](const TestFolder& f) {
             QDir().mkdir(f.file("elsewhere"));
             QFile::link(f.file("elsewhere"), f.file(".deleted"));
         },
         HoldResult::CannotHold},
        {"file gone", [](const TestFolder& f) { QFile::remove(f.file("7HIST.DX")); },
         HoldResult::Failed},
        {"number given to somebody else",
         [](const TestFolder& f) { f.write("7HIST.DX", userFile("Zed")); }, HoldResult::Replaced},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        folder.write("7HIST.DX", userFile("Ann"));
        c.arrange(folder);
        const QStringList before = testing::allNamesUnder(folder.path());
        const HoldResult held = holdUserFile(folder.file("7HIST.DX"), 7, "Ann", kNow);
        EXPECT_EQ(held.outcome, c.outcome);
        EXPECT_EQ(testing::allNamesUnder(folder.path()), before);
        if (c.outcome != HoldResult::Replaced)
            EXPECT_FALSE(held.error.text.isEmpty());
    }
}

TEST(HeldNames, HoldingFolderThatCannotBeWrittenLeavesTheUserInPlace) {
    TestFolder folder;
    folder.write("7HIST.DX", userFile("Ann"));
    QDir().mkdir(folder.file(".deleted"));
    testing::ImmutableFolder frozen(folder.file(".deleted"));
    if (!frozen.ok())
        GTEST_SKIP() << "no immutable attribute here";
    const HoldResult held = holdUserFile(folder.file("7HIST.DX"), 7, "Ann", kNow);
    EXPECT_EQ(held.outcome, HoldResult::CannotHold);
    EXPECT_TRUE(QFileInfo::exists(folder.file("7HIST.DX")));
}

TEST(HeldNames, KeptThirtyDaysThenErasedAtTheNextStart) {
    TestFolder folder;
    folder.write("1HIST.DX", userFile("Old"));
    folder.write("2HIST.DX", userFile("New"));
    holdOne(folder, "1HIST.DX", 1, "Old", kNow.addDays(-kHeldDays));
    holdOne(folder, "2HIST.DX", 2, "New", kNow.addDays(-kHeldDays).addSecs(1));

    const std::vector<HeldName> erased = eraseExpiredHeldNames(folder.path(), kNow);
    ASSERT_EQ(erased.size(), 1u);
    EXPECT_EQ(erased[0].name, "Old");
    const std::vector<HeldName> left = listHeldNames(folder.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "New");
    EXPECT_EQ(QDir(folder.file(".deleted")).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "Old's file and note are both gone";
}

TEST(HeldNames, EraseNowRemovesFileAndNoteAndASecondEraseIsNoError) {
    TestFolder folder;
    folder.write("1HIST.DX", userFile("Ann"));
    const HeldName held = holdOne(folder, "1HIST.DX", 1, "Ann");
    EXPECT_FALSE(eraseHeldName(held).failed());
    EXPECT_FALSE(eraseHeldName(held).failed());
    EXPECT_EQ(testing::allNamesUnder(folder.path()), QStringList({".deleted"}));
    EXPECT_EQ(restoreHeldName(folder.path(), held).outcome, RestoreResult::Gone);
}

TEST(HeldNames, ListingPassesOverHalfPairsAndNewestComesFirst) {
    TestFolder folder;
    folder.write("1HIST.DX", userFile("Ann"));
    folder.write("2HIST.DX", userFile("Bob"));
    holdOne(folder, "1HIST.DX", 1, "Ann", kNow.addDays(-2));
    holdOne(folder, "2HIST.DX", 2, "Bob", kNow.addDays(-1));
    folder.write(".deleted/9-x.when", "deleted 2026-12-01T00:00:00Z\nnumber 9\n"); // no file
    folder.write(".deleted/8-x.dx", userFile("Lone"));                             // no note
    folder.write(".deleted/7-x.when", "garbage");
    folder.write(".deleted/7-x.dx", userFile("Bad"));

    const std::vector<HeldName> listed = listHeldNames(folder.path());
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, "Bob");
    EXPECT_EQ(listed[1].name, "Ann");
}

} // namespace
} // namespace dexlan
