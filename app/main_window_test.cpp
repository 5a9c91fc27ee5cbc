#include "app/app_fixture.h"
#include "app/closing_rules.h"
#include "options_file/options_file.h"
#include "options_window/frm_options.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <sys/stat.h>

namespace dexlan {
namespace {

using testing::optionsFile;
using testing::ProgramTest;

class ClosingTest : public ProgramTest {
  protected:
    void start(const QByteArray& installation, const QByteArray& mode,
               const QByteArray& location = "hist home") {
        layTrainer(optionsFile(installation, mode, location));
        ASSERT_TRUE(startUp());
        dialogs.boxesShown.clear();
    }
    QByteArray onDisk() const { return trainer.read("Dexlan4.ini"); }
    QLineEdit& box() { return *mainWindow().options().locationBox(); }
};

const MsgBoxRequest kWarning{
    "You have selected:\r\n\r\n"
    "        Network server\r\n\r\n"
    "        History files stored automatically on server\r\n\r\n"
    "        Drive letter or location for history files (none)\r\n\r\n"
    "You did not specify a drive letter or location for the history files.  Please select the "
    "History Files tab above, specify a location for storing these files on the server, and then "
    "exit the program.\r\n\r\n"
    "If you do not specify a location, a single history file will be saved in the same location "
    "as the program.\r\n\r\n"
    "Do you wish to exit now?\r\n\r\n",
    MsgButtons::OkCancel, MsgIcon::Question, AnswerCancel,
    "History file location not specified..."};

TEST_F(ClosingTest, WarningCancelKeepsEverythingOpenAndAsksNothingMore) {
    start("network", "hist auto");
    state().optionLines[EntrySounds] = "sfx none";
    const QByteArray before = onDisk();
    dialogs.expectBox(kWarning, AnswerCancel);
    EXPECT_FALSE(mainWindow().close());
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(mainWindow().exitCheck(), AnswerCancel);
    EXPECT_EQ(dialogs.boxesShown.size(), 1) << "no save question after Cancel";
    EXPECT_EQ(onDisk(), before);

    // OK goes on to the save question, and Yes writes and closes.
    dialogs.expectBox(kWarning, AnswerOk);
    dialogs.expectBox(updateQuestion(), AnswerYes);
    EXPECT_TRUE(mainWindow().close());
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_TRUE(onDisk().contains("\r\nsfx none\r\n"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ClosingTest, ClosingUnchangedKeepsWhatAnotherCopySaved) {
    start("individual", "hist roster open");
    const QByteArray theirs = optionsFile("individual", "hist none");
    trainer.write("Dexlan4.ini", theirs);
    EXPECT_TRUE(mainWindow().close());
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    EXPECT_EQ(onDisk(), theirs);
}

TEST_F(ClosingTest, WarningOnlyForNetworkWithAutomaticHistoryAndNoLocation) {
    struct Case {
        QByteArray installation, mode, location;
        bool warns;
    } cases[] = {
        {"network", "hist auto", "hist home", true},
        {"network", "hist auto", "/srv/dexlan", false},
        {"network", "hist roster open", "hist home", false},
        {"individual", "hist auto", "hist home", false},
        {"single computer", "hist auto", "hist home", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installation.constData());
        OptionLines lines;
        lines[EntryInstallation] = c.installation;
        lines[EntryHistoryMode] = c.mode;
        lines[EntryHistoryLocation] = c.location;
        EXPECT_EQ(networkLocationWarning(lines).has_value(), c.warns);
    }
}

TEST_F(ClosingTest, TypedLocationClosesWithoutTheWarning) {
    start("network", "hist auto");
    QDir(trainer.path()).mkdir("history");
    box().setText(trainer.path() + "history");
    dialogs.answerNextBox(AnswerNo); // the save question: the location is a change
    EXPECT_TRUE(mainWindow().close());
    EXPECT_EQ(mainWindow().exitCheck(), AnswerOk);
    ASSERT_EQ(dialogs.boxesShown.size(), 1);
    EXPECT_EQ(dialogs.boxesShown.front().title, "Corvantis Dexlan Program options...");
}

TEST_F(ClosingTest, OtherInstallationsCloseAndRewriteWithoutQuestions) {
    start("single computer", "hist auto");
    EXPECT_TRUE(mainWindow().close());
    EXPECT_EQ(mainWindow().exitCheck(), 0);
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    EXPECT_EQ(onDisk(), optionsFile("single computer", "hist auto"));
}

TEST_F(ClosingTest, NoToTheSaveQuestionClosesWithoutWriting) {
    start("individual", "hist none");
    state().optionLines[EntryManualAdvance] = "f2 off";
    const QByteArray before = onDisk();
    dialogs.expectBox(updateQuestion(), AnswerNo);
    EXPECT_TRUE(mainWindow().close());
    EXPECT_EQ(onDisk(), before);
}

ino_t inode(const QString& path) {
    struct stat status = {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    return status.st_ino;
}

// The session's own end of the program, once the log-out goes on.
void endSession() {
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
}

TEST_F(ClosingTest, LogOutCancelledElsewhereLeavesEverythingAsBefore) {
    start("network", "hist auto");
    state().optionLines[EntrySounds] = "sfx none";
    const QByteArray before = onDisk();

    // Cancel at our own question cancels the log-out.
    dialogs.expectBox(kWarning, AnswerCancel);
    EXPECT_TRUE(mainWindow().sessionEnding(true));
    EXPECT_TRUE(mainWindow().isVisible());

    // The user lets it go on without saving, then another program cancels it.
    dialogs.expectBox(kWarning, AnswerOk);
    dialogs.expectBox(updateQuestion(), AnswerNo);
    EXPECT_FALSE(mainWindow().sessionEnding(true));
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(onDisk(), before);

    // The next Exit asks all over again.
    dialogs.expectBox(kWarning, AnswerCancel);
    EXPECT_FALSE(mainWindow().close());
    EXPECT_TRUE(mainWindow().isVisible());
    dialogs.expectBox(kWarning, AnswerOk);
    dialogs.expectBox(updateQuestion(), AnswerYes);
    EXPECT_TRUE(mainWindow().close());
    EXPECT_TRUE(onDisk().contains("\r\nsfx none\r\n"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ClosingTest, LogOutThatGoesOnAsksOnce) {
    start("network", "hist auto");
    state().optionLines[EntrySounds] = "sfx none";
    dialogs.expectBox(kWarning, AnswerOk);
    dialogs.expectBox(updateQuestion(), AnswerYes);
    EXPECT_FALSE(mainWindow().sessionEnding(true));
    EXPECT_TRUE(onDisk().contains("\r\nsfx none\r\n"));
    endSession();
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_EQ(dialogs.boxesShown.size(), 2);
}

// With no one to answer, nothing is asked and nothing is written: the file
// stays the very file it was, changes or not.
TEST_F(ClosingTest, LogOutWithoutInteractionWritesNothing) {
    for (const bool changed : {true, false}) {
        SCOPED_TRACE(changed ? "changed" : "unchanged");
        start("single computer", "hist auto");
        if (changed)
            state().optionLines[EntrySounds] = "sfx none";
        const QByteArray before = onDisk();
        const ino_t identity = inode(trainer.file("Dexlan4.ini"));

        EXPECT_FALSE(mainWindow().sessionEnding(false));
        endSession();
        EXPECT_FALSE(mainWindow().isVisible());
        EXPECT_TRUE(dialogs.boxesShown.isEmpty());
        EXPECT_EQ(onDisk(), before);
        EXPECT_EQ(inode(trainer.file("Dexlan4.ini")), identity) << "the file was replaced";
    }
}

TEST_F(ClosingTest, SaveAloneNeverWarns) {
    start("network", "hist auto");
    state().optionLines[EntrySounds] = "sfx beep";
    dialogs.expectBox(updateQuestion(), AnswerYes);
    auto* save = mainWindow().findChild<QAction*>("Msave");
    ASSERT_TRUE(save);
    EXPECT_EQ(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    save->trigger();
    EXPECT_TRUE(onDisk().contains("\r\nsfx beep\r\n"));
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ClosingTest, MenusCarryTheirCaptions) {
    start("single computer", "hist auto");
    EXPECT_EQ(mainWindow().windowTitle(), "Corvantis Dexlan Options 4");
    EXPECT_FALSE(mainWindow().windowIcon().isNull());
    const std::pair<const char*, const char*> items[] = {
        {"Msave", "&Save"},
        {"Mexit", "E&xit"},
        {"Moptions", "&Options Help"},
        {"Mabout", "&About Corvantis"},
    };
    for (const auto& [name, caption] : items) {
        auto* action = mainWindow().findChild<QAction*>(name);
        ASSERT_TRUE(action) << name;
        EXPECT_EQ(action->text(), caption);
    }
    EXPECT_EQ(mainWindow().findChild<QMenu*>("Mfile")->title(), "&File");
    EXPECT_EQ(mainWindow().findChild<QMenu*>("Mhelp")->title(), "&Help");

    mainWindow().findChild<QAction*>("Moptions")->trigger();
    mainWindow().findChild<QAction*>("Mabout")->trigger();
    EXPECT_EQ(dialogs.modalsShown, (QStringList{"Help", "Help", "About"}));
    mainWindow().findChild<QAction*>("Mexit")->trigger();
    EXPECT_FALSE(mainWindow().isVisible());
}

} // namespace
} // namespace dexlan
