// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/roster_decisions.h"

#include "roster/core/history_folder.h"
#include "roster/core/roster_test_files.h"
#include "testing/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::fixedRandoms;
using testing::TestFolder;

TEST(CheckFolder, VerdictAndWhetherTheUserWasAsked) {
    TestFolder folder;
    int asked = 0;
    auto answer = [&asked](bool yes) {
        return [&asked, yes](const QString&) {
            ++asked;
            return yes;
        };
    };

    EXPECT_EQ(checkFolder(folder.path(), answer(true)).state, HistoryFolderState::Usable);
    EXPECT_EQ(asked, 0) << "an existing folder is never asked about";

    const QString missing = folder.file("missing/");
    const FolderCheck declined = checkFolder(missing, answer(false));
    EXPECT_EQ(declined.state, HistoryFolderState::MissingNotCreated);
    EXPECT_TRUE(declined.errorText.isEmpty()) << "declining is no error to report";
    EXPECT_FALSE(QFileInfo::exists(missing));

    const FolderCheck made = checkFolder(missing, answer(true));
    EXPECT_EQ(made.state, HistoryFolderState::Usable);
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_EQ(asked, 2);

    const FolderCheck unreachable = checkFolder(QString(), answer(true));
    EXPECT_EQ(unreachable.state, HistoryFolderState::Unusable);
    EXPECT_EQ(unreachable.errorText, windowsOnlyLocationText());
    EXPECT_EQ(asked, 2);
}

TEST(CreateUserFile, TakesTheSmallestNumberFreeInListAndFolder) {
    TestFolder folder;
    folder.write("2hist.dx", "\"Zed\"\r\n");    // a name the stale list does not show
    folder.write("3hist.dx", "\"\"\r\n 0\r\n"); // the empty name: reused in place
    const NewUserFile first = createUserFile(folder.path(), {1}, "Ann", fixedRandoms, {});
    ASSERT_EQ(first.outcome, NewUserFile::Created);
    EXPECT_EQ(first.number, 3);
    EXPECT_EQ(testing::comparablePath(first.path),
              testing::comparablePath(folder.file("3hist.dx")));
    EXPECT_NE(first.digestBefore, 0u) << "the replaced file was part of the folder's digest";
    EXPECT_TRUE(folder.read("3hist.dx").startsWith("\"Ann\"\r\n"));

    const NewUserFile second = createUserFile(folder.path(), {1, 3}, "Bob", fixedRandoms, {});
    ASSERT_EQ(second.outcome, NewUserFile::Created);
    EXPECT_EQ(second.number, 4);
    EXPECT_EQ(second.digestBefore, 0u);
    EXPECT_TRUE(folder.read("4HIST.DX").startsWith("\"Bob\"\r\n"));
}

TEST(CreateUserFile, AMissingFolderIsMadeOnlyWhenTheUserSaysSo) {
    TestFolder folder;
    const QString missing = folder.file("gone/");
    int asked = 0;
    const NewUserFile declined =
        createUserFile(missing, {}, "Ann", fixedRandoms, [&asked] { return ++asked, false; });
    EXPECT_EQ(declined.outcome, NewUserFile::FolderDeclined);
    EXPECT_FALSE(QFileInfo::exists(missing));

    const NewUserFile made =
        createUserFile(missing, {}, "Ann", fixedRandoms, [&asked] { return ++asked, true; });
    ASSERT_EQ(made.outcome, NewUserFile::Created);
    EXPECT_EQ(made.path, missing + newHistoryFileName(1));
    EXPECT_EQ(asked, 2);
}

TEST(DeleteTargetFor, ListedFileFirstThenTheNumbersFile) {
    TestFolder folder;
    folder.write("7HIST.DX", "\"Ann\"\r\n");
    EXPECT_EQ(deleteTargetFor("/elsewhere/7hist.dx", folder.path(), "", 7).path,
              "/elsewhere/7hist.dx");
    EXPECT_EQ(testing::comparablePath(deleteTargetFor({}, folder.path(), "", 7).path),
              testing::comparablePath(folder.file("7HIST.DX")));
    EXPECT_EQ(deleteTargetFor({}, folder.path(), "", 8).path, folder.file("8hist.dx"))
        << "a file that is not there is looked for under the name the trainer reads";
    const DeleteTarget unreachable = deleteTargetFor({}, {}, "d:\\hist\\", 7);
    EXPECT_EQ(unreachable.path, "d:\\hist\\7hist.dx");
    EXPECT_TRUE(unreachable.error.failed());
}

TEST(DeleteUserFile, OnlyTheListedUsersFileIsDeleted) {
    TestFolder folder;
    folder.write("1hist.dx", "\"Zed\"\r\n");
    const DeletedUser replaced = deleteUserFile(folder.file("1hist.dx"), "Ann");
    EXPECT_EQ(replaced.outcome, DeletedUser::Replaced);
    EXPECT_EQ(replaced.nameNow, "Zed");
    EXPECT_TRUE(QFileInfo::exists(folder.file("1hist.dx")));

    EXPECT_EQ(deleteUserFile(folder.file("1hist.dx"), "Zed").outcome, DeletedUser::Deleted);
    EXPECT_FALSE(QFileInfo::exists(folder.file("1hist.dx")));
}

} // namespace
} // namespace dexlan
