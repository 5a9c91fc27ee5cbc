// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_fixture.h"
#include "app/closing_rules.h"
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "options_window/options_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

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
    QLineEdit& box() { return *mainWindow().options().locationEdit(); }
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
    MsgButtons::OkCancel, MsgIcon::Question, MsgAnswer::Cancel,
    "History file location not specified..."};

TEST_F(ClosingTest, WarningCancelKeepsEverythingOpenAndAsksNothingMore) {
    start("network", "hist auto");
    state().optionLines[EntrySounds] = "sfx none";
    const QByteArray before = onDisk();
    dialogs.expectBox(kWarning, MsgAnswer::Cancel);
    EXPECT_FALSE(mainWindow().close());
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(mainWindow().exitCheck(), MsgAnswer::Cancel);
    EXPECT_EQ(dialogs.boxesShown.size(), 1) << "no save question after Cancel";
    EXPECT_EQ(onDisk(), before);

    // OK goes on to the save question, and Yes writes and closes.
    dialogs.expectBox(kWarning, MsgAnswer::Ok);
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
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
    dialogs.answerNextBox(MsgAnswer::No); // the save question: the location is a change
    EXPECT_TRUE(mainWindow().close());
    EXPECT_EQ(mainWindow().exitCheck(), MsgAnswer::Ok);
    ASSERT_EQ(dialogs.boxesShown.size(), 1);
    EXPECT_EQ(dialogs.boxesShown.front().title, "Corvantis Dexlan Program options...");
}

TEST_F(ClosingTest, OtherInstallationsCloseAndRewriteWithoutQuestions) {
    start("single computer", "hist auto");
    EXPECT_TRUE(mainWindow().close());
    EXPECT_FALSE(mainWindow().exitCheck());
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    EXPECT_EQ(onDisk(), optionsFile("single computer", "hist auto"));
}

TEST_F(ClosingTest, NoToTheSaveQuestionClosesWithoutWriting) {
    start("individual", "hist none");
    state().optionLines[EntryManualAdvance] = "f2 off";
    const QByteArray before = onDisk();
    dialogs.expectBox(updateQuestion(), MsgAnswer::No);
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
    dialogs.expectBox(kWarning, MsgAnswer::Cancel);
    EXPECT_TRUE(mainWindow().sessionEnding(true));
    EXPECT_TRUE(mainWindow().isVisible());

    // The user lets it go on without saving, then another program cancels it.
    dialogs.expectBox(kWarning, MsgAnswer::Ok);
    dialogs.expectBox(updateQuestion(), MsgAnswer::No);
    EXPECT_FALSE(mainWindow().sessionEnding(true));
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(onDisk(), before);

    // The next Exit asks all over again.
    dialogs.expectBox(kWarning, MsgAnswer::Cancel);
    EXPECT_FALSE(mainWindow().close());
    EXPECT_TRUE(mainWindow().isVisible());
    dialogs.expectBox(kWarning, MsgAnswer::Ok);
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    EXPECT_TRUE(mainWindow().close());
    EXPECT_TRUE(onDisk().contains("\r\nsfx none\r\n"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ClosingTest, LogOutThatGoesOnAsksOnce) {
    start("network", "hist auto");
    state().optionLines[EntrySounds] = "sfx none";
    dialogs.expectBox(kWarning, MsgAnswer::Ok);
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
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
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
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

// The keys as a user presses them on the real window, focused and active.
class WindowKeysTest : public ClosingTest {
  protected:
    void SetUp() override {
        ClosingTest::SetUp();
        start("single computer", "hist auto");
        // Help was shown and hidden at start-up; the platform hears of that
        // after the fact, so the main window is made active once it has.
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(&mainWindow());
        ASSERT_TRUE(QTest::qWaitFor([this] {
            return QGuiApplication::focusWindow() == mainWindow().windowHandle() &&
                   QApplication::activeWindow() == &mainWindow();
        }));
        dialogs.modalsShown.clear();
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
    }
    QAction* action(const char* name) { return mainWindow().findChild<QAction*>(name); }
};

TEST_F(WindowKeysTest, F1AndCtrlQStandBesideTheirItems) {
    EXPECT_EQ(action("Moptions")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(action("Mexit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
}

TEST_F(WindowKeysTest, F1ShowsHelpOnceFromTheOptionsWindow) {
    mainWindow().findChild<QPushButton*>("Command4")->setFocus();
    press(Qt::Key_F1);
    EXPECT_EQ(dialogs.modalsShown, QStringList{"Help"});
}

TEST_F(WindowKeysTest, F1WorksRightAfterAMenuClosedWithEscape) {
    auto* file = mainWindow().findChild<QMenu*>("Mfile");
    press(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(file->isVisible());
    QTest::keyClick(file, Qt::Key_Escape);
    ASSERT_FALSE(file->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), mainWindow().menuBar()) << "the menu bar keeps the keys";
    press(Qt::Key_F1);
    EXPECT_EQ(dialogs.modalsShown, QStringList{"Help"});
}

TEST_F(WindowKeysTest, CtrlQRunsTheClosingSequence) {
    state().optionLines[EntrySounds] = "sfx beep";
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_TRUE(onDisk().contains("\r\nsfx beep\r\n"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(WindowKeysTest, PageKeysGoBackAndForthThroughTheTabs) {
    auto* tabs = mainWindow().findChild<QTabBar*>("tbsOptions");
    tabs->setFocus();
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int tab; // 0 to 4, after the key
    } steps[] = {
        {Qt::Key_PageDown, Qt::ControlModifier, 1},
        {Qt::Key_Tab, Qt::ControlModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 4}, // round to the last
        {Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, 3},
        {Qt::Key_PageDown, Qt::ControlModifier, 4},
        {Qt::Key_PageDown, Qt::ControlModifier, 0}, // round to the first
        {Qt::Key_PageUp, Qt::NoModifier, 0},
        {Qt::Key_PageDown, Qt::ShiftModifier, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(QKeySequence(step.key | step.modifiers).toString().toStdString());
        press(step.key, step.modifiers);
        EXPECT_EQ(tabs->currentIndex(), step.tab);
    }
}

TEST(ProgramIcon, FromTheIconThemeElseBuiltIn) {
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    testing::TestFolder theme;
    QIcon::setThemeName("hicolor");

    // No theme has it: the built-in drawing, in the sizes title bars use.
    QIcon::setThemeSearchPaths({theme.path()});
    const QIcon builtIn = smallProgramIcon();
    EXPECT_EQ(builtIn.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
    EXPECT_EQ(builtIn.pixmap(48).toImage().convertToFormat(premultiplied),
              QImage(":/resources/icon-48.png").convertToFormat(premultiplied));

    // The installed theme's drawing comes first, still in small sizes only.
    QDir(theme.path()).mkpath("hicolor/256x256/apps");
    theme.write("hicolor/index.theme", "[Icon Theme]\nName=hicolor\nDirectories=256x256/apps\n\n"
                                       "[256x256/apps]\nSize=256\nType=Fixed\n");
    QImage red(256, 256, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(theme.file("hicolor/256x256/apps/io.github.corvantis.dexlan_options.png")));
    QIcon::setThemeSearchPaths({theme.path()});
    const QIcon themed = smallProgramIcon();
    EXPECT_EQ(themed.pixmap(48).toImage().pixelColor(24, 24), QColor(Qt::red));
    EXPECT_EQ(themed.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));

    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(themeName);
}

} // namespace
} // namespace dexlan
