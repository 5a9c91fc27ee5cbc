// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/history_explanation.h"
#include "options_window/options_window_fixture.h"

namespace dexlan {
namespace {

class HistoryPageTest : public OptionsWindowTest {
  protected:
    // The page after the user opens the History Files tab.
    OptionsWindow& openOnHistoryPage(const char* installation, const char* mode) {
        state.optionLines[EntryInstallation] = installation;
        state.optionLines[EntryHistoryMode] = mode;
        OptionsWindow& window = open();
        chooseTab(2);
        return window;
    }

    QWidget* focused() const { return window->focusWidget(); }
};

TEST_F(HistoryPageTest, PageFollowsTheDecisionTableInEveryCase) {
    const char* installations[] = {"single computer", "network", "individual"};
    for (const char* installation : installations) {
        for (const char* mode : {"hist auto", "hist login", "hist roster open",
                                 "hist roster protected", "hist drive a:", "hist none"}) {
            SCOPED_TRACE(std::string(installation) + " / " + mode);
            OptionsWindow& window = openOnHistoryPage(installation, mode);
            const InstallationGroup group = *installationGroup(installation);
            const HistoryModeCase& row = *historyModeCase(group, mode);
            const InstallationTexts& texts = installationTexts(group);

            for (const char* button :
                 {"Option10", "Option1", "Option23", "Option24", "Option25", "Option4"})
                EXPECT_EQ(option(button)->isChecked(), QByteArray(button) == optionButton(row.button).designName)
                    << button;
            EXPECT_EQ(state.optionLines[EntryHistoryMode], mode);
            EXPECT_EQ(option("Option10")->text(), texts.automaticCaption);
            EXPECT_EQ(label("Label19")->text(),
                      texts.pageHeading ? texts.pageHeading : "History file options");
            EXPECT_EQ(label("Label21")->text(), texts.installationText);

            EXPECT_EQ(frame("Frame10")->isVisibleTo(&window), row.userListCaption != nullptr);
            if (row.userListCaption)
                EXPECT_EQ(frame("Frame10")->title(), row.userListCaption);
            EXPECT_EQ(frame("Frame9")->isVisibleTo(&window), row.locationShown);
            EXPECT_EQ(frame("Frame9")->title(), row.locationShown ? "History file location" : "");
            EXPECT_EQ(label("Label23")->isVisibleTo(&window), row.locationShown);
            EXPECT_EQ(label("Label23")->text(), locationPrompt());

            EXPECT_EQ(label("Label22")->text(), row.heading);
            EXPECT_EQ(label("Label3")->width(), row.explanationWidthTwips / 15);
            EXPECT_EQ(label("Label3")->text(), historyExplanation(row.explanationKey));
            // Never cut short, whichever sans font stands in for the classic one.
            for (const char* explanation : {"Label3", "Label21", "Label23"}) {
                QLabel* text = label(explanation);
                EXPECT_LE(text->heightForWidth(text->width()), text->height()) << explanation;
                EXPECT_GE(text->height(), text->property("designHeight").toInt()) << explanation;
            }
            EXPECT_LT(label("Label3")->geometry().bottom(), label("Label23")->y());
            EXPECT_FALSE(deleteNameEnabled());
            EXPECT_TRUE(label("Label20")->isHidden());
        }
    }
}

TEST_F(HistoryPageTest, StatusLineAndItsCopyOnTheSummary) {
    {
        OptionsWindow& window = openOnHistoryPage("individual", "hist auto");
        EXPECT_EQ(label("Label20")->text(), "single computer, stored with program");
        EXPECT_EQ(window.summaryValue(1)->text(), "single computer, stored with program");
        // The rest of the page reads as a network.
        EXPECT_EQ(option("Option10")->text(), "History files stored automatically on server");
        EXPECT_TRUE(label("Label3")->text().startsWith("In this configuration, individual"));
    }
    {
        OptionsWindow& window = openOnHistoryPage("network", "hist auto");
        EXPECT_EQ(label("Label20")->text(), "No location for history file location is selected.");
        window.locationEdit()->setText("/srv/dexlan");
        window.refreshPage(2);
        EXPECT_EQ(label("Label20")->text(),
                  "Location selected: " + state.pathPolicy.locationCase("/srv/dexlan"));
        EXPECT_EQ(window.summaryValue(1)->text(), "");
    }
    {
        // "hist login" keeps what an earlier call wrote.
        openOnHistoryPage("network", "hist drive a:");
        EXPECT_EQ(label("Label20")->text(), "drive a....");
        QTest::mouseClick(option("Option1"), Qt::LeftButton);
        EXPECT_EQ(label("Label20")->text(), "drive a....");
        QTest::mouseClick(option("Option4"), Qt::LeftButton);
        EXPECT_EQ(label("Label20")->text(), "no saver at all");
        QTest::mouseClick(option("Option23"), Qt::LeftButton);
        EXPECT_EQ(label("Label20")->text(), "");
    }
}

TEST_F(HistoryPageTest, SwitchingModesHidesTheListAndWidensTheExplanation) {
    openOnHistoryPage("single computer", "hist roster open");
    EXPECT_TRUE(frame("Frame10")->isVisible() || frame("Frame10")->isVisibleTo(window.get()));
    EXPECT_EQ(label("Label3")->width(), 218);
    QTest::mouseClick(option("Option10"), Qt::LeftButton);
    EXPECT_FALSE(frame("Frame10")->isVisibleTo(window.get()));
    EXPECT_EQ(label("Label3")->width(), 295);
    EXPECT_EQ(state.optionLines[EntryHistoryMode], "hist auto");
}

TEST_F(HistoryPageTest, EmptyLocationBoxTakesTheFocusOnlyWhileThePageIsOnView) {
    struct Case {
        const char* installation;
        const char* mode;
        const char* box;
        bool historyTabSelected;
        bool focusInBox;
    };
    const Case cases[] = {
        {"network", "hist auto", "", true, true},
        {"individual", "hist roster open", "", true, true},
        {"network", "hist roster protected", "", true, true},
        {"network", "hist login", "", true, true},
        {"network", "hist login", "/srv/dexlan", true, false},
        {"network", "hist roster protected", "", false, false},
        {"network", "hist drive a:", "", true, false},
        {"network", "hist none", "", true, false},
        {"single computer", "hist roster open", "", true, false},
        {"single computer", "hist auto", "", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.installation) + " / " + c.mode + " / " + c.box);
        state.optionLines[EntryInstallation] = c.installation;
        state.optionLines[EntryHistoryMode] = "hist none"; // the tab change must not decide it
        OptionsWindow& window = open();
        showActive();
        window.locationEdit()->setText(c.box);
        if (c.historyTabSelected)
            chooseTab(2);
        QWidget* before = QApplication::focusWidget();
        state.optionLines[EntryHistoryMode] = c.mode;
        window.showHistoryExplanation();
        if (c.focusInBox)
            EXPECT_EQ(QApplication::focusWidget(), window.locationEdit());
        else
            EXPECT_EQ(QApplication::focusWidget(), before);
    }
}

TEST_F(HistoryPageTest, UserListIsRebuiltInTheNetworkListAndAutomaticCasesOnly) {
    testing::TestFolder history;
    history.write("1hist.dx", "\"Ann\"\r\n");
    struct Case {
        const char* installation;
        const char* mode;
        bool listed;
    };
    const Case cases[] = {
        {"network", "hist auto", true},
        {"network", "hist roster open", true},
        {"individual", "hist roster protected", true},
        {"network", "hist login", false},
        {"network", "hist drive a:", false},
        {"network", "hist none", false},
        {"single computer", "hist auto", false},
        {"single computer", "hist roster open", false},
        {"single computer", "hist roster protected", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.installation) + " / " + c.mode);
        state.optionLines[EntryInstallation] = c.installation;
        state.optionLines[EntryHistoryMode] = c.mode;
        OptionsWindow& window = open();
        // The first refresh selects the mode's button, whose handler may rebuild
        // the list itself ("hist login" does); the second shows the routine alone.
        window.refreshPage(2);
        window.locationEdit()->setText(history.path());
        window.refreshPage(2);
        EXPECT_EQ(userCount(), c.listed ? 1 : 0);
    }
}

TEST_F(HistoryPageTest, UserListIsRebuiltBeforeOrAfterTheLocationFrameIsShown) {
    // Once start-up is over a missing folder makes the roster ask; the question
    // shows which controls were on the page when the list was rebuilt.
    testing::TestFolder parent;
    const QString missing = parent.path() + "missing";
    struct Case {
        const char* mode;
        bool locationShownWhenAsked;
        bool userListShownWhenAsked;
    };
    const Case cases[] = {
        {"hist auto", false, false},
        {"hist roster open", true, true},
        {"hist roster protected", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        state.optionLines[EntryHistoryMode] = c.mode;
        WatchingDialogs watching;
        OptionsWindow& window = open(watching);
        window.locationEdit()->setText(missing);
        window.refreshPage(2); // selects the mode's button, with its nested run
        state.startupDone = true;
        QList<std::pair<bool, bool>> seen;
        watching.onBox = [&](const MsgBoxRequest&) {
            seen.push_back(
                {frame("Frame9")->isVisibleTo(&window), frame("Frame10")->isVisibleTo(&window)});
            return MsgAnswer::No;
        };
        window.refreshPage(2);
        ASSERT_EQ(seen.size(), 1);
        EXPECT_EQ(seen.front().first, c.locationShownWhenAsked);
        EXPECT_EQ(seen.front().second, c.userListShownWhenAsked);
        state.startupDone = false;
    }
}

} // namespace
} // namespace dexlan
