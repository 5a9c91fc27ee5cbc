// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_fixture.h"
#include "app/startup_messages.h"
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "options_window/options_window.h"
#include "roster/core/bulk_add.h"
#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/user_list_model.h"
#include "roster/widgets/user_roster.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QThread>

#include <functional>

namespace dexlan {
namespace {

using testing::optionsFile;
using testing::ProgramTest;
using testing::TestFolder;

const QString kExe = QStringLiteral("Corvantis Dexlan Trainer 4.exe");

// A shared history folder as each platform writes one.
#ifdef Q_OS_WIN
const QByteArray kSharedFolder = "\\\\SERVER\\Dexlan";
#else
const QByteArray kSharedFolder = "/srv/dexlan";
#endif

TEST_F(ProgramTest, TrainerBesideTheProgramStartsWithoutAsking) {
    layTrainer(optionsFile("network", "hist roster open", kSharedFolder));
    environment.widthTwips = 28800;
    dialogs.onNextModal([this](QDialog& help) {
        EXPECT_EQ(help.objectName(), "Help");
        EXPECT_FALSE(state().startupDone) << "start-up is done only when Help closes";
        help.hide();
    });
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(state().startupDone);
    EXPECT_TRUE(dialogs.filesAsked.isEmpty());
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    EXPECT_EQ(state().programFolder, trainer.path()) << "one trailing separator";
    EXPECT_FLOAT_EQ(float(state().screenScale), 3.0f);
    EXPECT_TRUE(state().docsInstalled);
    const QString shown =
        policy.locationCase(policy.withTrailingSeparator(QString::fromLatin1(kSharedFolder)));
    EXPECT_EQ(state().historyFolder, shown);
    // The user list's check shows the location as a folder, with its separator,
    // and the summary's refresh takes it from there into the working copy.
    OptionsWindow& options = mainWindow().options();
    EXPECT_EQ(options.locationEdit()->text(), shown);
    EXPECT_EQ(state().fileOptionLines[EntryHistoryLocation], kSharedFolder);
    EXPECT_EQ(state().optionLines[EntryHistoryLocation], shown.toLatin1());
    EXPECT_EQ(options.summaryHeading(0)->text(), "Network Installation");
    EXPECT_FALSE(options.summaryHeading(10)->isHidden());
    EXPECT_FALSE(options.summaryValue(10)->isHidden());
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_TRUE(options.isVisible());
    EXPECT_EQ(dialogs.modalsShown, QStringList{"Help"});
}

// Held names kept their time are erased before anyone looks, and the user is
// told which, once; one held a day less stays.
TEST_F(ProgramTest, StartUpSaysWhichDeletedNamesItErased) {
    layTrainer(optionsFile("network", "hist roster open", "hist home"));
    std::vector<HeldName> held;
    for (const auto& [number, name] : {std::pair(1, "Ann"), std::pair(2, "Bob")}) {
        trainer.write(newHistoryFileName(number),
                      newHistoryFileBytes(name, {1, 2, 3, 4, 5, 6, 7, 8}));
        const HoldResult result = holdUserFile(trainer.file(newHistoryFileName(number)), number,
                                               QString::fromLatin1(name),
                                               QDateTime::currentDateTimeUtc());
        ASSERT_EQ(result.outcome, HoldResult::Held);
        held.push_back(result.held);
        QFile note(result.held.notePath);
        ASSERT_TRUE(note.open(QIODevice::Append));
        ASSERT_TRUE(note.setFileTime(
            QDateTime::currentDateTimeUtc().addDays(number == 1 ? -kHeldDays : 1 - kHeldDays),
            QFileDevice::FileModificationTime));
    }
    dialogs.expectBox(erasedAtStartReport({held[0]}), MsgAnswer::Ok);
    dialogs.onNextModal([](QDialog& help) { help.hide(); });
    ASSERT_TRUE(startUp());
    const std::vector<HeldName> left = listHeldNames(trainer.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "Bob");
}

TEST_F(ProgramTest, StartUpReadsTheHistoryFolderOnce) {
    // The history page's routine, the mode's option button and start-up
    // itself each ask for the user list; the folder is read once, after the
    // options window is on the screen.
    layTrainer(optionsFile("network", "hist roster open"));
    trainer.write("1hist.dx", "\"Zoe\"\r\n");
    trainer.write("2hist.dx", "\"adam\"\r\n");
    int readsWhenHelpOpened = -1;
    dialogs.onNextModal([&](QDialog& help) {
        readsWhenHelpOpened = mainWindow().options().roster().folderReads();
        help.hide();
    });
    ASSERT_TRUE(startUp());
    EXPECT_EQ(readsWhenHelpOpened, 1);
    const UserListModel& rows = mainWindow().options().roster().model();
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.text(0), "adam");
    EXPECT_EQ(rows.text(1), "Zoe");
}

// Lets the event loop run, as the program's does, until the users read in
// the background are on the list.
void runUntilTheUsersAreListed(UserRoster& roster) {
    QDeadlineTimer deadline(60000);
    while (roster.isReadingInBackground() && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    ASSERT_FALSE(roster.isReadingInBackground());
}

TEST_F(ProgramTest, TheUsersAreReadWhileTheIntroductionIsOnTheScreen) {
    layTrainer(optionsFile("network", "hist roster open"));
    trainer.write("1hist.dx", "\"Zoe\"\r\n");
    trainer.write("2hist.dx", "\"adam\"\r\n");
    trainer.write("3hist.dx", ""); // told only when the user asks for the list
    newProgram();
    UserRoster& roster = mainWindow().options().roster();
    bool readingUnderHelp = false;
    dialogs.onNextModal([&](QDialog& help) {
        readingUnderHelp = roster.isReadingInBackground();
        help.hide();
    });
    ASSERT_TRUE(program->start());
    EXPECT_TRUE(readingUnderHelp) << "Help comes without waiting for the users";
    EXPECT_TRUE(state().startupDone);
    runUntilTheUsersAreListed(roster);
    const UserListModel& rows = roster.model();
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.text(0), "adam");
    EXPECT_EQ(rows.text(1), "Zoe");
    EXPECT_EQ(roster.folderReads(), 1);
    EXPECT_TRUE(dialogs.boxesShown.isEmpty())
        << "start-up's reading tells nothing, even when its list comes after start-up";
}

TEST_F(ProgramTest, WhatTheUserDoesDuringTheReadingWaitsForTheWholeList) {
    struct Action {
        const char* what;
        int users; // on the list after it
        std::function<void(OptionsWindow&)> act;
    };
    const Action actions[] = {
        {"the History Files tab", 300,
         [](OptionsWindow& options) {
             options.findChild<QTabBar*>(QStringLiteral("tbsOptions"))->setCurrentIndex(1);
         }},
        {"Enter in the location box", 300,
         [](OptionsWindow& options) { QTest::keyClick(options.locationEdit(), Qt::Key_Return); }},
        {"a press on the list", 300,
         [](OptionsWindow& options) {
             QTest::mouseClick(options.findChild<QListView*>(QStringLiteral("List1"))->viewport(),
                               Qt::LeftButton, {}, QPoint(4, 4));
         }},
        // Last: it adds a user.
        {"a class list from the File menu", 301, [this](OptionsWindow&) {
             trainer.write("class.txt", "User 1001\r\nNew pupil\r\n");
             dialogs.answerNextFile(trainer.file("class.txt"));
             dialogs.onNextModal([](QDialog& preview) { preview.accept(); });
             // Checked against the whole list: one name of the two is new.
             dialogs.expectBox(bulkAddQuestion(1), MsgAnswer::Yes);
             dialogs.onNextModal([](QDialog& summary) { summary.accept(); });
             mainWindow().findChild<QAction*>(QStringLiteral("Maddfile"))->trigger();
         }}};
    layTrainer(optionsFile("network", "hist roster open"));
    writeUsers(300);
    // Files changed just before a reading are read again by the first check;
    // these are to be as the reading found them.
    QThread::msleep(dexlan::kChangeClockSlackNs / 1000000 + 100);
    for (const Action& action : actions) {
        SCOPED_TRACE(action.what);
        newProgram();
        ASSERT_TRUE(program->start());
        OptionsWindow& options = mainWindow().options();
        ASSERT_TRUE(options.roster().isReadingInBackground());
        action.act(options);
        EXPECT_FALSE(options.roster().isReadingInBackground());
        const UserListModel& rows = options.roster().model();
        ASSERT_EQ(rows.rowCount(), action.users);
        EXPECT_EQ(rows.text(rows.rowCount() - 1), "User 1300");
        EXPECT_EQ(options.roster().folderReads(), 1)
            << "the reading begun at start-up is the action's own";
        // A press aimed at the empty list selects nothing on the whole one.
        EXPECT_FALSE(options.findChild<QListView*>(QStringLiteral("List1"))
                         ->selectionModel()
                         ->hasSelection());
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }
}

TEST_F(ProgramTest, AUserAddedDuringTheReadingIsOnTheList) {
    layTrainer(optionsFile("network", "hist roster open"));
    writeUsers(300);
    newProgram();
    ASSERT_TRUE(program->start());
    // Another copy adds a user while, or just after, the folder is read.
    trainer.write("301hist.dx", "\"Another copy's user\"\r\n");
    mainWindow().options().findChild<QTabBar*>(QStringLiteral("tbsOptions"))->setCurrentIndex(1);
    const UserListModel& rows = mainWindow().options().roster().model();
    ASSERT_EQ(rows.rowCount(), 301);
    EXPECT_EQ(rows.text(0), "Another copy's user");
}

TEST_F(ProgramTest, QuittingDuringTheReadingStopsIt) {
    layTrainer(optionsFile("network", "hist roster open"));
    writeUsers(3000);
    for (int round = 0; round < 5; ++round) {
        newProgram();
        ASSERT_TRUE(program->start());
        program.reset(); // the reading is stopped and waited for, nothing touched after
    }
}

TEST_F(ProgramTest, MissingDocumentationIsNoError) {
    layTrainer(optionsFile("single computer", "hist auto"));
    QFile::remove(trainer.file("defaultdx.html"));
    ASSERT_TRUE(startUp());
    EXPECT_FALSE(state().docsInstalled);
}

TEST_F(ProgramTest, SecondCopy) {
    layTrainer(optionsFile("single computer", "hist auto"));
    environment.anotherRunning = true;
    const MsgBoxRequest question{"The Corvantis Dexlan Options 4 program is already running. \r\n"
                                 "Do you wish to start ANOTHER copy of the program?",
                                 MsgButtons::YesNo, MsgIcon::Critical, MsgAnswer::No, "Sorry..."};

    dialogs.expectBox(question, MsgAnswer::No);
    EXPECT_FALSE(startUp());
    EXPECT_EQ(program->exitStatus(), 0) << "the user's choice";
    EXPECT_EQ(dialogs.boxesShown.size(), 1);
    EXPECT_TRUE(dialogs.modalsShown.isEmpty());

    dialogs.expectBox(question, MsgAnswer::Yes);
    EXPECT_TRUE(startUp());
}

TEST_F(ProgramTest, TrainerLocatedByTheDialog) {
    TestFolder elsewhere;
    environment.folder = elsewhere.path();
    layTrainer(optionsFile("individual", "hist none"));
    dialogs.answerNextFile(trainer.file(kExe));
    dialogs.onNextModal([this](QDialog&) {
        // The documentation row was hidden while the dialog asked and is back.
        EXPECT_FALSE(mainWindow().options().summaryHeading(10)->isHidden());
        EXPECT_FALSE(mainWindow().options().summaryValue(10)->isHidden());
    });
    ASSERT_TRUE(startUp());
    ASSERT_EQ(dialogs.filesAsked.size(), 1);
    const FileOpenRequest& asked = dialogs.filesAsked.front();
    EXPECT_EQ(asked.defaultExtension, ".exe");
    EXPECT_EQ(asked.filter, "Program files (*.exe)|*exe");
    EXPECT_TRUE(asked.title.contains(kExe));
    EXPECT_EQ(state().programFolder, trainer.path());
    EXPECT_EQ(state().fileOptionLines[EntryInstallation], "individual");
}

TEST_F(ProgramTest, TheDialogsSlashesBecomeTheFoldersOwnSeparators) {
    // The file dialog answers with '/' on every platform; on Windows the folder
    // must still match the location box, which holds backslashes.
    TestFolder elsewhere;
    environment.folder = elsewhere.path();
    layTrainer(optionsFile("network", "hist roster open"));
    policy = PathPolicy::native();
    dialogs.answerNextFile(QDir::fromNativeSeparators(trainer.file(kExe)));
    ASSERT_TRUE(startUp());
    EXPECT_EQ(state().programFolder, trainer.path());
    const std::optional<SavedLocation> saved =
        locationForSaving(policy.locationCase(trainer.path()), state().programFolder, policy);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->entry5, "hist home") << "the trainer's own folder is saved as its marker";
}

TEST_F(ProgramTest, WrongCaseIsRefusedAndRetryStartsAgain) {
    TestFolder elsewhere;
    environment.folder = elsewhere.path();
    environment.anotherRunning = true;
    layTrainer(optionsFile("network", "hist auto"));
    trainer.write("corvantis dexlan trainer 4.exe", "other case");

    dialogs.answerNextBox(MsgAnswer::Yes); // another copy: yes
    dialogs.answerNextFile(trainer.file("corvantis dexlan trainer 4.exe"));
    dialogs.expectBox(locateTrainerRefusal(), MsgAnswer::Retry);
    dialogs.answerNextBox(MsgAnswer::Yes); // asked again: start-up starts from the beginning
    dialogs.answerNextFile(trainer.file(kExe));
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(dialogs.boxesShown.size(), 3);
    EXPECT_EQ(dialogs.filesAsked.at(1).fileName, trainer.file("corvantis dexlan trainer 4.exe"))
        << "the dialog opens on the name chosen before";
    EXPECT_EQ(locateTrainerRefusal().prompt,
              "You must select the correct location of the Corvantis Dexlan Training 4 program "
              "before you can view or modify the program options.");
}

TEST_F(ProgramTest, CancelledDialogThenCancelEnds) {
    TestFolder elsewhere;
    environment.folder = elsewhere.path();
    dialogs.answerNextFile(QString()); // cancelled
    dialogs.expectBox(locateTrainerRefusal(), MsgAnswer::Cancel);
    EXPECT_FALSE(startUp());
    EXPECT_EQ(program->exitStatus(), 0) << "the user's choice";
    EXPECT_TRUE(dialogs.modalsShown.isEmpty());
}

TEST_F(ProgramTest, MissingOptionsFileEndsTheProgram) {
    layTrainer(optionsFile("network", "hist auto"));
    QFile::remove(trainer.file("Dexlan4.ini"));
    dialogs.expectBox(missingFileReport(), MsgAnswer::Ok);
    EXPECT_FALSE(startUp());
    EXPECT_EQ(program->exitStatus(), 1) << "an error ended the program";
    EXPECT_TRUE(dialogs.modalsShown.isEmpty()) << "no Help after a failed load";
}

TEST_F(ProgramTest, InvalidOptionsFileEndsWithStatusOne) {
    layTrainer(optionsFile("two computers", "hist auto"));
    dialogs.answerNextBox(MsgAnswer::Cancel); // the report of the line that is wrong
    EXPECT_FALSE(startUp());
    EXPECT_EQ(program->exitStatus(), 1);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

class NamedTrainerTest : public ProgramTest {
  protected:
    void SetUp() override {
        // The program itself lies elsewhere, in a folder without the trainer.
        environment.folder = elsewhere.path().chopped(1);
        layTrainer(optionsFile("single computer", "hist auto"));
    }
    TestFolder elsewhere;
};

TEST_F(NamedTrainerTest, StartsThereWithoutAsking) {
    for (const QString& named : {trainer.path(), trainer.path().chopped(1), trainer.file(kExe)}) {
        SCOPED_TRACE(named.toStdString());
        ASSERT_TRUE(startUp(named));
        EXPECT_EQ(state().programFolder, trainer.path());
        EXPECT_EQ(state().fileOptionLines[EntryInstallation], "single computer");
        EXPECT_TRUE(dialogs.filesAsked.isEmpty());
        EXPECT_TRUE(dialogs.boxesShown.isEmpty());
        EXPECT_TRUE(environment.rememberedFolder.isEmpty()) << "only the dialog's choice is kept";
        EXPECT_FALSE(mainWindow().options().summaryHeading(10)->isHidden());
    }
}

TEST_F(NamedTrainerTest, AWrongPlaceIsRefusedLikeAWrongChoiceInTheDialog) {
    TestFolder empty;
    trainer.write("corvantis dexlan trainer 4.exe", "other case");
    const QString wrong[] = {empty.path(), trainer.file("Dexlan4.ini"),
                             trainer.file("corvantis dexlan trainer 4.exe"), empty.file(kExe),
                             "/nonexistent/dexlan"};
    for (const QString& named : wrong) {
        SCOPED_TRACE(named.toStdString());
        dialogs.expectBox(locateTrainerRefusal(), MsgAnswer::Cancel);
        EXPECT_FALSE(startUp(named));
        EXPECT_EQ(program->exitStatus(), 0) << "Cancel is the user's choice";
        EXPECT_TRUE(dialogs.filesAsked.isEmpty());
        EXPECT_TRUE(dialogs.modalsShown.isEmpty());
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }
}

TEST_F(NamedTrainerTest, RetryLooksBesideTheProgramAndThenAsks) {
    TestFolder empty;
    dialogs.expectBox(locateTrainerRefusal(), MsgAnswer::Retry);
    dialogs.answerNextFile(trainer.file(kExe));
    ASSERT_TRUE(startUp(empty.path()));
    EXPECT_EQ(dialogs.filesAsked.size(), 1) << "the name is tried once";
    EXPECT_EQ(state().programFolder, trainer.path());

    // With the trainer beside the program, Retry finds it there.
    environment.folder = trainer.path().chopped(1);
    dialogs.filesAsked.clear();
    dialogs.expectBox(locateTrainerRefusal(), MsgAnswer::Retry);
    ASSERT_TRUE(startUp(empty.path()));
    EXPECT_TRUE(dialogs.filesAsked.isEmpty());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ProgramTest, TheDialogOpensWhereTheTrainerWasFoundLastTime) {
    TestFolder elsewhere;
    environment.folder = elsewhere.path();
    layTrainer(optionsFile("individual", "hist none"));

    // Nothing remembered yet; the folder of the right choice is kept.
    dialogs.answerNextFile(trainer.file(kExe));
    ASSERT_TRUE(startUp());
    ASSERT_EQ(dialogs.filesAsked.size(), 1);
    EXPECT_EQ(dialogs.filesAsked.at(0).folder, "");
    EXPECT_EQ(environment.rememberedFolder, trainer.path().chopped(1));

    // Next time the program starts there without asking.
    ASSERT_TRUE(startUp());
    EXPECT_EQ(dialogs.filesAsked.size(), 1);
    EXPECT_EQ(state().programFolder, trainer.path());

    // Gone from there, it is asked for again, the dialog starting there; a
    // wrong choice or a cancel keeps what was remembered.
    QFile::remove(trainer.file(kExe));
    const QString before = environment.rememberedFolder;
    dialogs.answerNextFile(elsewhere.file("other.exe"));
    dialogs.expectBox(locateTrainerRefusal(), MsgAnswer::Cancel);
    EXPECT_FALSE(startUp());
    ASSERT_EQ(dialogs.filesAsked.size(), 2);
    EXPECT_EQ(dialogs.filesAsked.at(1).folder, trainer.path().chopped(1));
    EXPECT_EQ(environment.rememberedFolder, before);
}

// An administrator sets the trainer once for every account of the computer;
// the user's own choice, where the trainer still is, comes first.
TEST_F(ProgramTest, TheMachineWideTrainerServesEveryAccountThatFoundNoneItself) {
    struct Case {
        const char* what;
        bool remembered;        // the user's remembered folder holds a trainer
        bool machine;           // the computer's setting names one
        const char* startsIn;   // "user", "machine", or "" for the dialog
    };
    const Case cases[] = {
        {"the user's own first", true, true, "user"},
        {"the computer's when the user has none", false, true, "machine"},
        {"asked when neither names one", false, false, ""},
    };
    TestFolder elsewhere;
    environment.folder = elsewhere.path();
    TestFolder machineTrainer;
    machineTrainer.write("Corvantis Dexlan Trainer 4.exe", "stand-in");
    machineTrainer.write("Dexlan4.ini", optionsFile("individual", "hist none"));
    layTrainer(optionsFile("individual", "hist none"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        environment.rememberedFolder = c.remembered ? trainer.path().chopped(1) : elsewhere.path();
        environment.machineFolder = c.machine ? machineTrainer.path() : QString();
        dialogs.filesAsked.clear();
        if (!*c.startsIn)
            dialogs.answerNextFile(trainer.file(kExe));
        ASSERT_TRUE(startUp());
        EXPECT_EQ(dialogs.filesAsked.size(), *c.startsIn ? 0 : 1);
        EXPECT_EQ(state().programFolder,
                  QLatin1String(c.startsIn) == "machine" ? machineTrainer.path() : trainer.path());
    }
}

TEST_F(ProgramTest, RootFolderGetsNoSecondSeparator) {
    EXPECT_EQ(PathPolicy::posix().withTrailingSeparator("/"), "/");
    EXPECT_EQ(PathPolicy::windows().withTrailingSeparator("C:\\"), "C:\\");
    EXPECT_EQ(PathPolicy::windows().withTrailingSeparator("C:\\Trainer"), "C:\\Trainer\\");
}

TEST(fileExists, CountsNormalFilesOnly) {
    TestFolder folder;
    folder.write("plain", "x");
    folder.write(".hidden", "x");
    QDir(folder.path()).mkdir("folder");
    EXPECT_TRUE(fileExists(folder.file("plain")));
    EXPECT_FALSE(fileExists(folder.file(".hidden")));
    EXPECT_FALSE(fileExists(folder.file("folder")));
    EXPECT_FALSE(fileExists(folder.file("absent")));
}

} // namespace
} // namespace dexlan
