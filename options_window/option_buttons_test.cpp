// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/option_buttons.h"
#include "options_window/options_window_fixture.h"

#include <QSignalSpy>
#include <QStyle>

#include <functional>

namespace dexlan {
namespace {

using OptionButtonsTest = OptionsWindowTest;

TEST_F(OptionButtonsTest, CreationSelectsTheDesignDefaultsAndRunsNothing) {
    state.optionLines[EntryManualAdvance] = "f2 off";
    state.optionLines[EntrySounds] = "sfx none";
    state.optionLines[EntryDocuments] = "documents off";
    const OptionLines before = state.optionLines;
    open();
    for (const char* selected : {"Option18", "Option21", "Option13"})
        EXPECT_TRUE(option(selected)->isChecked()) << selected;
    for (const char* cleared : {"Option10", "Option1", "Option23", "Option24", "Option25",
                                "Option4", "Option17", "Option20", "Option19", "Option14"})
        EXPECT_FALSE(option(cleared)->isChecked()) << cleared;
    // No handler ran: the entries and the explanations are as they were.
    EXPECT_EQ(state.optionLines, before);
    EXPECT_EQ(label("Label12")->text(), "Details about F2 button");
}

TEST_F(OptionButtonsTest, EachButtonStoresItsValueAndRefreshesItsPage) {
    state.optionLines[EntryInstallation] = "single computer";
    state.optionLines[EntryHistoryMode] = "hist none";
    state.optionLines[EntryManualAdvance] = "f2 off";
    state.optionLines[EntrySounds] = "sfx none";
    state.optionLines[EntryDocuments] = "documents off";
    open();
    struct Case {
        int tab;
        const char* button;
        int entry;
        const char* value;
        const char* label;      // the page's explanation
        const char* startsWith; // of its new text
    };
    const Case cases[] = {
        {2, "Option10", 4, "hist auto", "Label3", "If you are the only person"},
        {2, "Option1", 4, "hist login", "Label3", "A password is required"},
        {2, "Option23", 4, "hist roster open", "Label3", "An open roster"},
        {2, "Option24", 4, "hist roster protected", "Label3", "A protected roster"},
        {2, "Option25", 4, "hist drive a:", "Label3", "You can save history files"},
        {2, "Option4", 4, "hist none", "Label3", "In a testing and evaluation"},
        {3, "Option18", 10, "f2 on", "Label12", "In the default mode"},
        {3, "Option17", 10, "f2 off", "Label12", "In the classroom, disabling"},
        {4, "Option21", 11, "sfx all", "Label14", "In the default mode"},
        {4, "Option20", 11, "sfx beep", "Label14", "In the classroom, sound effect"},
        {4, "Option19", 11, "sfx none", "Label14", "In the classroom, turning off"},
        {5, "Option13", 12, "documents on", "Label26", "The complete program"},
        {5, "Option14", 12, "documents off", "Label26", "The documents options"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        chooseTab(c.tab);
        QTest::mouseClick(option(c.button), Qt::LeftButton);
        EXPECT_TRUE(option(c.button)->isChecked());
        EXPECT_EQ(state.optionLines[c.entry], c.value);
        EXPECT_TRUE(label(c.label)->text().startsWith(c.startsWith))
            << label(c.label)->text().toStdString();
        // Every line on view, and the button's whole caption and indicator.
        EXPECT_LE(label(c.label)->heightForWidth(label(c.label)->width()),
                  label(c.label)->height());
        EXPECT_LE(option(c.button)->sizeHint().width(), option(c.button)->width());
        EXPECT_GE(option(c.button)->height(),
                  option(c.button)->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight,
                                                         nullptr, option(c.button)));
    }
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
}

TEST_F(OptionButtonsTest, SelectionByARefreshRunsTheHandlerOnceAndTheNestingEnds) {
    state.optionLines[EntryManualAdvance] = "f2 off";
    OptionsWindow& window = open();
    QSignalSpy removed(option("Option17"), &QRadioButton::toggled);
    QSignalSpy included(option("Option18"), &QRadioButton::toggled);

    window.refreshPage(3);
    // Option17 became selected once; its handler stored the same value and ran
    // the explanation again, which selected nothing new.
    ASSERT_EQ(removed.count(), 1);
    EXPECT_TRUE(removed.at(0).at(0).toBool());
    EXPECT_EQ(included.count(), 1); // cleared
    EXPECT_EQ(state.optionLines[EntryManualAdvance], "f2 off");
    EXPECT_TRUE(label("Label12")->text().startsWith("In the classroom"));

    // A second refresh and a click on the selected button change nothing.
    window.refreshPage(3);
    chooseTab(3);
    QTest::mouseClick(option("Option17"), Qt::LeftButton);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(included.count(), 1);
}

TEST_F(OptionButtonsTest, HistoryRefreshSelectsTheModeOnceWithoutChangingIt) {
    state.optionLines[EntryHistoryMode] = "hist roster protected";
    OptionsWindow& window = open();
    QSignalSpy selected(option("Option24"), &QRadioButton::toggled);
    window.refreshPage(2);
    window.refreshPage(2);
    EXPECT_EQ(selected.count(), 1);
    EXPECT_EQ(state.optionLines[EntryHistoryMode], "hist roster protected");
    EXPECT_EQ(frame("Frame10")->title(), "User list: Protected ");
}

// Records the Documentation page at the moment the refusal is shown.
struct RefusalSeen {
    bool includeSelected = true;
    bool excludeSelected = false;
    QByteArray entry12;
    QString explanation;
};

TEST_F(OptionButtonsTest, IncludingMissingDocumentationIsRefusedAfterThePageIsUpdated) {
    state.docsInstalled = false;
    state.optionLines[EntryDocuments] = "documents off";
    WatchingDialogs watching;
    open(watching);
    chooseTab(5);
    ASSERT_TRUE(option("Option14")->isChecked());

    RefusalSeen seen;
    watching.onBox = [&](const MsgBoxRequest&) {
        seen = {option("Option13")->isChecked(), option("Option14")->isChecked(),
                state.optionLines[EntryDocuments], label("Label26")->text()};
        return MsgAnswer::Ok;
    };
    QTest::mouseClick(option("Option13"), Qt::LeftButton);

    ASSERT_EQ(watching.boxesShown.size(), 1);
    EXPECT_EQ(watching.boxesShown.front(), documentsNotInstalledMessage());
    EXPECT_FALSE(seen.includeSelected);
    EXPECT_TRUE(seen.excludeSelected);
    EXPECT_EQ(seen.entry12, "documents off");
    EXPECT_EQ(seen.explanation, "The documents options are not included in the program menu.");
    EXPECT_FALSE(option("Option13")->isChecked());
    EXPECT_TRUE(option("Option14")->isChecked());
    EXPECT_EQ(state.optionLines[EntryDocuments], "documents off");
}

TEST_F(OptionButtonsTest, IncludingMissingDocumentationFromADocumentsOnFileIsRefusedToo) {
    // The file asks for documents the installation lacks: the button is already
    // selected, so opening the page shows it without a message.
    state.docsInstalled = false;
    OptionsWindow& window = open();
    chooseTab(5);
    EXPECT_TRUE(option("Option13")->isChecked());
    EXPECT_EQ(state.optionLines[EntryDocuments], "documents on");
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());

    // Leaving the choice and coming back to it is refused.
    QTest::mouseClick(option("Option14"), Qt::LeftButton);
    dialogs.expectBox(documentsNotInstalledMessage(), MsgAnswer::Ok);
    QTest::mouseClick(option("Option13"), Qt::LeftButton);
    EXPECT_TRUE(option("Option14")->isChecked());
    EXPECT_EQ(state.optionLines[EntryDocuments], "documents off");
    window.refreshPage(1);
    EXPECT_EQ(window.summaryValue(10)->text(), "The documents are not selected.  ");
}

TEST_F(OptionButtonsTest, HistLoginRebuildsTheUserList) {
    // A history file in the location; single-computer pages never list it
    // themselves, but choosing "hist login" does.
    state.optionLines[EntryInstallation] = "single computer";
    state.optionLines[EntryHistoryMode] = "hist none";
    testing::TestFolder history;
    history.write("1hist.dx", "\"Ann\"\r\n");
    OptionsWindow& window = open();
    window.locationEdit()->setText(history.path());
    chooseTab(2);
    EXPECT_EQ(userCount(), 0);
    QTest::mouseClick(option("Option1"), Qt::LeftButton);
    ASSERT_EQ(userCount(), 1);
    EXPECT_EQ(userText(0), "Ann");
}

TEST_F(OptionButtonsTest, EachActionReadsTheFolderOnceAndShowsItAsItIsNow) {
    // The page's routine, the option button's handler and the refresh may each
    // ask for a fresh list; one reading serves them all, and it is fresh: a
    // user added just before the action is on the list after it.
    testing::TestFolder history;
    OptionsWindow& window = open();
    window.locationEdit()->setText(history.path());
    const struct {
        const char* action;
        std::function<void()> run;
        int reads;
    } actions[] = {
        // The first refresh selects the mode's button, whose handler refreshes
        // the page once more, nested.
        {"the first refresh", [&window] { window.refreshPage(2); }, 1},
        {"choosing the History Files tab", [this] { chooseTab(2); }, 1},
        {"choosing hist login", [this] { QTest::mouseClick(option("Option1"), Qt::LeftButton); },
         1},
        {"choosing the open list",
         [this] { QTest::mouseClick(option("Option23"), Qt::LeftButton); }, 1},
        {"choosing automatic operation",
         [this] { QTest::mouseClick(option("Option10"), Qt::LeftButton); }, 1},
        {"choosing the Current Options tab", [this] { chooseTab(1); }, 0},
        {"refreshing the page", [&window] { window.refreshPage(2); }, 1},
        {"Enter in the location box",
         [&window] { QTest::keyClick(window.locationEdit(), Qt::Key_Return); }, 1},
    };
    int user = 0;
    for (const auto& a : actions) {
        SCOPED_TRACE(a.action);
        if (a.reads > 0)
            ++user;
        history.write(QString::number(user) + QStringLiteral("hist.dx"),
                      "\"User " + QByteArray::number(user) + "\"\r\n");
        const int readsBefore = window.roster().folderReads();
        a.run();
        EXPECT_EQ(window.roster().folderReads(), readsBefore + a.reads);
        ASSERT_EQ(userCount(), user);
        EXPECT_EQ(userText(user - 1), QStringLiteral("User %1").arg(user));
    }
}

} // namespace
} // namespace dexlan
