// SPDX-License-Identifier: GPL-3.0-or-later
// A teacher's journeys through the windows with the trainer on the school's
// share (tools/school-share), while a second teacher's computer reaches the
// same folder: start-up, File, Save, the closing question, a file another
// teacher saved meanwhile, and a deleted name held, restored and erased.
#include "app/app_fixture.h"
#include "options_file/change_log.h"
#include "options_file/options_dialogue.h"
#include "options_window/options_window.h"
#include "roster/core/held_names.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_test_files.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"
#include "testing/school_share.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>

namespace dexlan {
namespace {

using testing::FakeEnvironment;
using testing::optionsFile;
using testing::readFile;
using testing::ShareTest;
using testing::writeFile;

using testing::shownNames;
using testing::userFile;

// The program run on the first teacher's computer, from the trainer's folder on
// the share.
class ShareWindowTest : public ShareTest {
  protected:
    void SetUp() override {
        ShareTest::SetUp();
        if (IsSkipped())
            return;
        environment.folder = folder->a().chopped(1);
        writeFile(folder->a() + "Corvantis Dexlan Trainer 4.exe", "stand-in");
        writeFile(folder->a() + "defaultdx.html", "<html></html>");
        writeFile(folder->a() + "Dexlan4.ini", optionsFile("network", "hist roster open"));
        writeFile(folder->a() + "1HIST.DX", userFile("Ann Carter"));
        writeFile(folder->a() + "2HIST.DX", userFile("Bob Lindqvist"));
        laidOut = folder->names();
    }

    bool startUp() {
        program = std::make_unique<Program>(dialogs, environment);
        program->state().pathPolicy = PathPolicy::native();
        const bool started = program->start();
        if (started)
            program->mainWindow().options().roster().finishReading();
        return started;
    }

    MainWindow& mainWindow() { return program->mainWindow(); }
    SharedState& state() { return program->state(); }
    QListView& userList() {
        mainWindow().options().findChild<QTabBar*>("tbsOptions")->setCurrentIndex(1);
        return *mainWindow().options().findChild<QListView*>("List1");
    }
    // Dexlan4.ini as the server holds it.
    QByteArray onServer() const { return readFile(folder->onServer() + "Dexlan4.ini"); }

    FakeEnvironment environment;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    QStringList laidOut; // the trainer's folder before the program ran
    // The trainer's folder as laid out, and the record of the changes made since.
    QStringList laidOutAndLog() const {
        QStringList names = laidOut;
        names.append(QString::fromLatin1(kChangeLogName));
        names.sort();
        return names;
    }
};

TEST_F(ShareWindowTest, StartsUpAndListsTheUsers) {
    ASSERT_TRUE(startUp());
    EXPECT_EQ(state().fileOptionLines[EntryHistoryMode], "hist roster open");
    EXPECT_EQ(shownNames(userList()), QStringList({"Ann Carter", "Bob Lindqvist"}));
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
}

TEST_F(ShareWindowTest, FileSaveAndTheClosingQuestionSaveOnTheShare) {
    ASSERT_TRUE(startUp());
    state().optionLines[EntrySounds] = "sfx beep";
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    mainWindow().findChild<QAction*>("Msave")->trigger();
    QByteArray expected = optionsFile("network", "hist roster open");
    expected.replace("sfx all", "sfx beep");
    EXPECT_EQ(onServer(), expected);
    EXPECT_EQ(readFile(folder->b() + "Dexlan4.ini"), expected) << "as the other teacher sees it";

    state().optionLines[EntryManualAdvance] = "f2 off";
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    EXPECT_TRUE(mainWindow().close());
    expected.replace("f2 on", "f2 off");
    EXPECT_EQ(onServer(), expected);
    EXPECT_TRUE(dialogs.allAnswersUsed()) << "no error was reported";
    EXPECT_EQ(folder->names(), laidOutAndLog())
        << "nothing but the options file changed, and the changes were recorded";
}

TEST_F(ShareWindowTest, AFileTheOtherTeacherSavedMeanwhileIsReplacedOnlyWhenAsked) {
    ASSERT_TRUE(startUp());
    const QByteArray theirs = optionsFile("network", "hist roster protected");
    writeFile(folder->b() + "Dexlan4.ini", theirs);
    state().optionLines[EntrySounds] = "sfx none";

    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    dialogs.expectBox(changedOnDiskQuestion(), MsgAnswer::No);
    mainWindow().findChild<QAction*>("Msave")->trigger();
    EXPECT_EQ(onServer(), theirs);

    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    dialogs.expectBox(changedOnDiskQuestion(), MsgAnswer::Yes);
    mainWindow().findChild<QAction*>("Msave")->trigger();
    EXPECT_TRUE(onServer().contains("\r\nhist roster open\r\n"));
    EXPECT_TRUE(onServer().contains("\r\nsfx none\r\n"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(folder->names(), laidOutAndLog());
}

TEST_F(ShareWindowTest, ADeletedNameIsHeldRestoredAndErased) {
    const QByteArray bob = readFile(folder->a() + "2HIST.DX");
    ASSERT_TRUE(startUp());
    QListView& list = userList();
    list.setCurrentIndex(list.model()->index(1, 0));
    emit list.clicked(list.model()->index(1, 0));
    dialogs.expectBox(deleteQuestion("Bob Lindqvist"), MsgAnswer::Ok);
    mainWindow().options().findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(shownNames(list), QStringList({"Ann Carter"}));
    EXPECT_FALSE(QFileInfo::exists(folder->onServer() + "2HIST.DX"));

    // Held in .deleted, where the other teacher's computer finds it too.
    std::vector<HeldName> held = listHeldNames(folder->b());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held.front().name, "Bob Lindqvist");

    held = listHeldNames(folder->a());
    ASSERT_EQ(held.size(), 1u);
    const RestoreResult restored = restoreHeldName(folder->a(), held.front());
    EXPECT_EQ(restored.outcome, RestoreResult::Restored);
    EXPECT_EQ(readFile(folder->onServer() + "2HIST.DX"), bob);

    // Deleted again, from the other teacher's computer, then erased for good.
    const Deletion again =
        deleteHoldingFirst(folder->b() + "2HIST.DX", 2, "Bob Lindqvist",
                           QDateTime::currentDateTimeUtc(), [](const QString&) { return false; });
    EXPECT_EQ(again.outcome, Deletion::Held) << again.error.text.toStdString();
    held = listHeldNames(folder->a());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_FALSE(eraseHeldName(held.front()).failed());
    EXPECT_TRUE(listHeldNames(folder->b()).empty());
    QStringList left = laidOutAndLog();
    left.removeOne("2HIST.DX");
    left.append(".deleted");
    left.sort();
    EXPECT_EQ(folder->names(), left);
    EXPECT_TRUE(QDir(folder->onServer() + ".deleted")
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}

// The other teacher deletes a user and makes another under the freed number:
// the window sees it before adding, though on the share the folder's times
// stand in for the files', and refuses a name already there. Its own adds
// then read the folder no more.
TEST_F(ShareWindowTest, AUserTheOtherTeacherPutUnderAFreedNumberIsSeenBeforeAdding) {
    ASSERT_TRUE(startUp());
    QListView& list = userList();
    ASSERT_EQ(shownNames(list), QStringList({"Ann Carter", "Bob Lindqvist"}));
    UserRoster& roster = mainWindow().options().roster();
    const auto addName = [&](const QString& name) {
        dialogs.onNextModal([name](QDialog& window) {
            window.findChild<QLineEdit*>("Text1")->setText(name);
            window.findChild<QPushButton*>("Command1")->click();
        });
        mainWindow().options().userListPanel().addNames();
    };

    ASSERT_TRUE(QFile::remove(folder->b() + "2HIST.DX"));
    writeFile(folder->b() + "2HIST.DX", userFile("Cleo Park"));
    dialogs.expectBox(duplicateNameReport("Cleo Park"), MsgAnswer::Ok);
    addName("Cleo Park");
    EXPECT_EQ(shownNames(list), QStringList({"Ann Carter", "Cleo Park"}));

    const int reads = roster.folderReads();
    addName("Dan Moss");
    addName("Eve Stone");
    EXPECT_EQ(roster.folderReads(), reads) << "an add of its own read the folder again";
    EXPECT_EQ(shownNames(list), QStringList({"Ann Carter", "Cleo Park", "Dan Moss", "Eve Stone"}));
    EXPECT_EQ(readFile(folder->onServer() + "2HIST.DX"), userFile("Cleo Park"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

} // namespace
} // namespace dexlan
