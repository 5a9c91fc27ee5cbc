// SPDX-License-Identifier: GPL-3.0-or-later
// History files and folders whose names are not UTF-8 (a Latin-1 folder, a
// stray byte in a file name) are users like any other: listed, added,
// deleted, held and restored by the bytes they have on disk.
#include "platform/file_names.h"
#include "roster/core/held_names.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_test_files.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::TestFolder;

const QDateTime kNow = QDateTime(QDate(2026, 12, 10), QTime(11, 42), QTimeZone::utc());

using testing::userFile;

struct ByteNamedCase {
    const char* what;
    QByteArray folder; // below the test folder, ending in '/'; empty for the test folder itself
    QByteArray eveFile;
};

const ByteNamedCase kCases[] = {
    {"a stray byte in the file name", "", "5\xffHIST.DX"},
    {"a Latin-1 history folder", "tr\xe9/", "5HIST.DX"},
    {"both", "tr\xe9/", "5\xe9hist.dx"},
};

TEST(ByteNamedFiles, UserIsListedDeletedHeldAndRestoredByTheBytesOfItsName) {
    DEXLAN_LINUX_ONLY("file names that are not UTF-8 are made only there");
    for (const ByteNamedCase& named : kCases) {
        SCOPED_TRACE(named.what);
        TestFolder test;
        const QByteArray folderBytes = testing::systemPath(test, named.folder);
        if (!named.folder.isEmpty())
            testing::makeFolderBytesNamed(folderBytes);
        const QByteArray eve = userFile("Eve");
        testing::writeBytesNamed(folderBytes + "1HIST.DX", userFile("Ann"));
        testing::writeBytesNamed(folderBytes + named.eveFile, eve);
        const QString folder = pathFromSystem(folderBytes);

        EXPECT_EQ(checkFolder(folder, {}).state, HistoryFolderState::Usable);
        EXPECT_FALSE(probeFolder(folder).failed());
        EXPECT_TRUE(historyFilesDigest(folder).has_value());

        // One file after another and on threads: the same users, none unreadable.
        for (const int threads : {1, 4}) {
            SCOPED_TRACE(threads);
            UserListing listing = listUsers(folder, {threads, 1, {}, nullptr});
            ASSERT_FALSE(listing.error.failed()) << listing.error.text.toStdString();
            EXPECT_TRUE(listing.unreadable.empty());
            ASSERT_EQ(listing.users.size(), 2u);
            std::sort(listing.users.begin(), listing.users.end(),
                      [](const ListedUser& a, const ListedUser& b) { return a.number < b.number; });
            EXPECT_EQ(listing.users[0].name, "Ann");
            EXPECT_EQ(listing.users[1].name, "Eve");
            EXPECT_EQ(listing.users[1].number, 5);
            EXPECT_EQ(pathToSystem(listing.users[1].path), folderBytes + named.eveFile);
        }

        // Added beside them.
        const NewUserFile added = createUserFile(
            folder, {1, 5}, "Cyd", [] { return std::array<int, kRandomsPerFile>{}; }, {});
        ASSERT_EQ(added.outcome, NewUserFile::Created) << added.error.text.toStdString();
        EXPECT_EQ(added.number, 2);
        EXPECT_TRUE(testing::existsBytesNamed(folderBytes + "2HIST.DX"));

        // Deleted: held in the hidden folder, then restored under its number.
        const QString evePath = folder + pathFromSystem(named.eveFile);
        const Deletion deleted = deleteHoldingFirst(evePath, 5, QStringLiteral("Eve"), kNow, {});
        ASSERT_EQ(deleted.outcome, Deletion::Held) << deleted.error.text.toStdString();
        EXPECT_FALSE(testing::existsBytesNamed(folderBytes + named.eveFile));
        EXPECT_EQ(listUsers(folder).users.size(), 2u) << "Ann and Cyd";

        const std::vector<HeldName> held = listHeldNames(folder);
        ASSERT_EQ(held.size(), 1u);
        EXPECT_EQ(held[0].name, "Eve");
        EXPECT_EQ(held[0].number, 5);
        const RestoreResult restored = restoreHeldName(folder, held[0]);
        ASSERT_EQ(restored.outcome, RestoreResult::Restored) << restored.error.text.toStdString();
        EXPECT_EQ(restored.number, 5);
        EXPECT_EQ(testing::readBytesNamed(folderBytes + "5HIST.DX"), eve);
        EXPECT_TRUE(listHeldNames(folder).empty());

        // Deleted for good.
        const DeletedUser gone = deleteUserFile(added.path, QStringLiteral("Cyd"));
        EXPECT_EQ(gone.outcome, DeletedUser::Deleted) << gone.error.text.toStdString();
        EXPECT_FALSE(testing::existsBytesNamed(folderBytes + "2HIST.DX"));
    }
}

} // namespace
} // namespace dexlan
