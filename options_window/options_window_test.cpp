// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/options_window_fixture.h"
#include "roster/widgets/add_names_dialog.h"
#include "roster/widgets/user_roster.h"

#include <QDialog>
#include <QFontInfo>

namespace dexlan {
namespace {

// At 96 dpi a pixel is 15 twips; ScreenScale 1 is a screen 640 pixels wide.
constexpr int kParkedLeft = -1333;

void expectOnlyPageOnView(OptionsWindow& window, int tab, int centredLeft) {
    EXPECT_EQ(window.selectedTab(), tab);
    for (int element = 0; element < 5; ++element) {
        QWidget* page = window.page(element);
        SCOPED_TRACE("page element " + std::to_string(element));
        if (element == tab - 1) {
            EXPECT_EQ(page->x(), centredLeft);
            EXPECT_TRUE(page->isEnabled());
        } else {
            EXPECT_EQ(page->x(), kParkedLeft);
            EXPECT_FALSE(page->isEnabled());
        }
    }
}

TEST_F(OptionsWindowTest, TabsCarryTheirCaptionsKeysAndTooltips) {
    open();
    struct Tab {
        const char* caption;
        const char* key;
        const char* toolTip;
    };
    const Tab expected[] = {
        {"Current Options", "Group1", "These options are curretly selected"},
        {"History Files", "", "History file settings"},
        {"Lesson Advance", "Group5", "Dexlan Lessons advance options"},
        {"Sounds", "Group6", "Quorrix! Game sound effects"},
        {"Documentation   ", "", "Current documentation selections"},
    };
    ASSERT_EQ(tabs()->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs()->tabText(i), expected[i].caption);
        EXPECT_EQ(tabs()->tabData(i).toString(), expected[i].key);
        EXPECT_EQ(tabs()->tabToolTip(i), expected[i].toolTip);
    }
}

TEST_F(OptionsWindowTest, LoadingShowsTheFirstPageAndParksTheOthers) {
    state.confirmDelete = false;
    OptionsWindow& window = open();
    EXPECT_EQ(window.objectName(), "frmOptions");
    // On a screen 9600 twips wide a page's left edge is 225 twips, the tab strip's 120.
    expectOnlyPageOnView(window, 1, 15);
    EXPECT_EQ(tabs()->x(), 8);
    EXPECT_EQ(tabs()->y(), 7);
    EXPECT_EQ(window.page(0)->y(), 35);
    EXPECT_EQ(window.page(1)->y(), 42);
    EXPECT_EQ(window.page(1)->height(), 351);
    EXPECT_EQ(window.page(4)->height(), 330);
    EXPECT_EQ(window.page(3)->objectName(), "picOptions3");
    EXPECT_FALSE(deleteNameEnabled());
    EXPECT_TRUE(state.confirmDelete);
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0, 128, 128));
    // Loading writes no entry.
    EXPECT_EQ(state.optionLines, state.fileOptionLines);
}

TEST_F(OptionsWindowTest, PagesAreCentredOnTheScreenByScreenScale) {
    struct Case {
        double screenScale;
        int pageLeft;
        int tabStripLeft;
    };
    const Case cases[] = {
        {1.0, 15, 8},    // 225 and 120 twips
        {2.0, 335, 328}, // 5025 and 4920 twips
        {3.0, 655, 648}, // a 1920 pixel screen
        {1.25, 95, 88},  // 1425 and 1320 twips
    };
    for (const Case& c : cases) {
        state.screenScale = c.screenScale;
        OptionsWindow& window = open();
        SCOPED_TRACE(c.screenScale);
        EXPECT_EQ(tabs()->x(), c.tabStripLeft);
        chooseTab(4);
        expectOnlyPageOnView(window, 4, c.pageLeft);
    }
}

TEST_F(OptionsWindowTest, ChoosingATabShowsAndRefreshesItsPage) {
    state.pathPolicy = PathPolicy::windows();
    state.optionLines[EntrySounds] = "sfx beep";
    OptionsWindow& window = open();
    const struct {
        int tab;
        const char* label; // the page's explanation
        const char* startsWith;
    } cases[] = {
        {4, "Label14", "In the classroom, sound effect options may be limited"},
        {2, "Label22", "Multi-user open list"},
        {3, "Label12", "In the default mode, lessons may be advanced"},
        {5, "Label26", "The complete program documentation"},
        {1, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        addSelectedUser("Ann");
        window.locationEdit()->setText("d:\\hist");
        state.optionLines[EntryHistoryLocation] = "hist home";
        chooseTab(c.tab);
        expectOnlyPageOnView(window, c.tab, 15);
        // Every refresh takes the location box into entry 5, in the platform's case.
        EXPECT_EQ(state.optionLines[EntryHistoryLocation], "D:\\HIST");
        EXPECT_TRUE(!anyUserSelected());
        EXPECT_FALSE(deleteNameEnabled());
        if (c.label)
            EXPECT_TRUE(label(c.label)->text().startsWith(c.startsWith));
    }
    EXPECT_EQ(window.summaryValue(6)->text(), "Sound effect options are limited to 'beep' sounds only.");
    EXPECT_EQ(window.summaryValue(1)->text(),
              "The user name is selected from a list.  Names may be added "
              "or deleted at any time.  \r\nThe location of the history "
              "files is D:\\HIST.");
    EXPECT_EQ(window.summaryValue(7)->text(), state.programFolder);
}

TEST_F(OptionsWindowTest, RefreshKeepsTheTypedCaseWhereFileNamesTellCaseApart) {
    state.pathPolicy = PathPolicy::posix();
    OptionsWindow& window = open();
    window.locationEdit()->setText("/srv/Dexlan");
    window.refreshPage(1);
    EXPECT_EQ(state.optionLines[EntryHistoryLocation], "/srv/Dexlan");
    window.locationEdit()->clear();
    window.refreshPage(3);
    EXPECT_EQ(state.optionLines[EntryHistoryLocation], "hist home");
}

TEST_F(OptionsWindowTest, CtrlTabSelectsTheNextTabAndWrapsAround) {
    OptionsWindow& window = open();
    auto pageOnView = [&] { return window.page(window.selectedTab() - 1); };
    for (int expected : {2, 3, 4, 5}) {
        press(pageOnView(), Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(window.selectedTab(), expected);
    }
    state.optionLines[EntrySounds] = "sfx none";
    press(window.page(4), Qt::Key_Tab, Qt::ControlModifier);
    expectOnlyPageOnView(window, 1, 15);
    // The first page comes back with a fresh summary.
    EXPECT_EQ(window.summaryValue(6)->text(),
              "All sound effect options are all off.  Both the program and the game are silent.");

    // Ctrl with Alt, or Tab alone, leaves the page as it is.
    QWidget* focused = find<QPushButton>("Command4");
    press(focused, Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier);
    press(focused, Qt::Key_Tab);
    EXPECT_EQ(window.selectedTab(), 1);
    // Ctrl+Shift+Tab goes back, round to the last page.
    press(focused, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window.selectedTab(), 5);
}

TEST_F(OptionsWindowTest, KeyboardAloneCyclesThroughAllTabs) {
    // The History Files page puts the focus in the empty location box, and
    // parking that page takes it away again; the keys must still reach the window.
    OptionsWindow& window = open();
    showActive();
    for (int expected : {2, 3, 4, 5, 1, 2, 3}) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "before tab " << expected;
        QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(window.selectedTab(), expected);
        if (expected == 2)
            EXPECT_EQ(QApplication::focusWidget(), window.locationEdit());
    }
}

TEST_F(OptionsWindowTest, KeysReachTheWindowOnceAndThenTheFocusedControl) {
    OptionsWindow& window = open();
    chooseTab(3);
    // A radio button leaves F1 to its frame, page and window: the key travels
    // up through them but Help opens once.
    press(option("Option18"), Qt::Key_F1);
    EXPECT_EQ(helpShown, 1);
    press(option("Option18"), Qt::Key_F1);
    EXPECT_EQ(helpShown, 2);

    // Keys typed in Help while it is open do not make the F1 on its way up new.
    window.setShowHelp([this] {
        ++helpShown;
        QDialog help;
        help.show();
        QTest::keyClick(&help, Qt::Key_Return);
    });
    press(option("Option18"), Qt::Key_F1);
    EXPECT_EQ(helpShown, 3);
    window.setShowHelp([this] { ++helpShown; });

    // The text box still handles the keys the window looks at.
    chooseTab(2);
    window.locationEdit()->setText("abc");
    window.locationEdit()->setCursorPosition(0);
    press(window.locationEdit(), Qt::Key_F1);
    press(window.locationEdit(), Qt::Key_Delete);
    EXPECT_EQ(helpShown, 4);
    EXPECT_EQ(window.locationEdit()->text(), "bc");
}

TEST_F(OptionsWindowTest, EscapeAndExitCloseTheMainWindow) {
    OptionsWindow& window = open();
    chooseTab(2);
    press(window.locationEdit(), Qt::Key_Escape);
    EXPECT_EQ(closeRequests, 1);
    chooseTab(4);
    press(option("Option21"), Qt::Key_Escape);
    EXPECT_EQ(closeRequests, 2);
    chooseTab(1);
    QTest::mouseClick(find<QPushButton>("Command4"), Qt::LeftButton);
    EXPECT_EQ(closeRequests, 3);
    EXPECT_EQ(helpShown, 0);
}

TEST_F(OptionsWindowTest, OtherWindowsKeepTheirKeys) {
    OptionsWindow& window = open();
    QDialog dialog(&window);
    dialog.show();
    press(&dialog, Qt::Key_F1);
    press(&dialog, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(helpShown, 0);
    EXPECT_EQ(window.selectedTab(), 1);
}

TEST_F(OptionsWindowTest, DeleteKeyDeletesTheSelectedName) {
    OptionsWindow& window = open();
    chooseTab(2);
    addSelectedUser("Ann");
    dialogs.answerNextBox(MsgAnswer::Cancel);
    press(userList(), Qt::Key_Delete);
    ASSERT_EQ(dialogs.boxesShown.size(), 1);
    EXPECT_EQ(dialogs.boxesShown.front().title, "Delete name...");
}

// Delete typed into a text box edits the text; the selected user and the file
// stay, and nothing is asked.
TEST_F(OptionsWindowTest, DeleteKeyInATextBoxLeavesTheSelectedUserAlone) {
    OptionsWindow& window = open();
    state.confirmDelete = false; // a deletion would follow without a question
    chooseTab(2);
    AddNamesDialog addNames(&window);
    addNames.show();
    const struct {
        const char* where;
        QLineEdit* box;
    } cases[] = {
        {"location box", window.locationEdit()},
        {"add-names box", addNames.nameEdit()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        programFolder.write("1HIST.DX", "\"Ann\"\r\n");
        addSelectedUser("Ann", programFolder.file("1HIST.DX"));
        c.box->setText("xy");
        c.box->setCursorPosition(0);
        press(c.box, Qt::Key_Delete);
        EXPECT_EQ(c.box->text(), "y");
        EXPECT_EQ(programFolder.read("1HIST.DX"), "\"Ann\"\r\n");
        EXPECT_EQ(userCount(), 1);
        EXPECT_TRUE(dialogs.boxesShown.isEmpty());
        dialogs.boxesShown.clear();
        window.roster().model().clear();
        window.locationEdit()->clear();
    }
}

TEST_F(OptionsWindowTest, EnterInAutomaticModeWritesTheLocationStatus) {
    state.optionLines[EntryHistoryMode] = "hist auto";
    state.pathPolicy = PathPolicy::windows();
    OptionsWindow& window = open();
    QLabel* status = label("Label20");
    struct Case {
        const char* box;
        QByteArray entry5;
        const char* status;
    };
    const Case cases[] = {
        {"d:\\hist", "d:\\hist", "Location selected: d:\\hist"}, // as typed, no case change
        {"", "hist home", "No location for history file location is selected."},
    };
    for (const Case& c : cases) {
        window.locationEdit()->setText(c.box);
        press(window.page(0), Qt::Key_Return);
        EXPECT_EQ(state.optionLines[EntryHistoryLocation], c.entry5);
        EXPECT_EQ(status->text(), c.status);
    }
    press(window.page(0), Qt::Key_Enter);
    EXPECT_EQ(status->text(), "No location for history file location is selected.");

    // In any other mode Enter changes nothing at window level.
    state.optionLines[EntryHistoryMode] = "hist roster open";
    state.optionLines[EntryHistoryLocation] = "X";
    window.locationEdit()->setText("e:\\other");
    press(window.page(0), Qt::Key_Return);
    EXPECT_EQ(state.optionLines[EntryHistoryLocation], "X");
    EXPECT_EQ(status->text(), "No location for history file location is selected.");
    EXPECT_TRUE(status->isHidden());
}

TEST_F(OptionsWindowTest, PressOnAPageBackgroundClearsTheUserList) {
    OptionsWindow& window = open();
    chooseTab(2);
    QWidget* page = window.page(1);

    // A press on a label reaches the page too, but is not on its background.
    addSelectedUser("Ann");
    QLabel* heading = label("Label19");
    QTest::mousePress(heading, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(deleteNameEnabled());

    QTest::mousePress(page, Qt::LeftButton, {}, QPoint(page->width() - 5, page->height() - 5));
    EXPECT_TRUE(!anyUserSelected());
    EXPECT_FALSE(deleteNameEnabled());

    // The Current Options page is covered by its inner container.
    chooseTab(1);
    addSelectedUser("Bob");
    QWidget* txt = find<QWidget>("txt");
    QTest::mousePress(txt, Qt::LeftButton, {}, QPoint(300, 20));
    EXPECT_FALSE(deleteNameEnabled());
    EXPECT_TRUE(!anyUserSelected());
}

TEST_F(OptionsWindowTest, ControlsStandWhereTheDesignPutsThem) {
    OptionsWindow& window = open();
    struct Place {
        const char* name;
        QRect geometry; // pixels, twips / 15
    };
    // Option buttons of 195 twips are a pixel taller, for the style's 14-pixel
    // indicator. A font wider than the classic one may widen a control or its
    // frame, which then still covers its designed place.
    const Place places[] = {
        {"txt", QRect(-14, -21, 610, 359)},    {"Command4", QRect(525, 329, 71, 22)},
        {"Label19", QRect(14, 6, 204, 22)},    {"Label21", QRect(14, 37, 295, 64)},
        {"Label22", QRect(14, 105, 284, 15)},  {"Label23", QRect(14, 301, 218, 43)},
        {"Frame8", QRect(336, 7, 267, 113)},   {"Frame10", QRect(280, 133, 323, 148)},
        {"Frame9", QRect(280, 294, 323, 57)},  {"Text1", QRect(14, 21, 295, 24)},
        {"List1", QRect(98, 21, 211, 116)},    {"Command1", QRect(14, 21, 71, 22)},
        {"Command2", QRect(14, 56, 71, 22)},   {"Command3", QRect(14, 91, 71, 22)},
        {"Label20", QRect(357, 259, 204, 64)}, {"Option10", QRect(14, 21, 240, 14)},
        {"Option4", QRect(14, 91, 216, 14)},   {"Label12", QRect(14, 42, 232, 106)},
        {"Frame3", QRect(343, 14, 228, 105)},  {"Option19", QRect(14, 77, 190, 15)},
        {"Frame12", QRect(343, 14, 228, 84)},
    };
    for (const Place& place : places) {
        const QRect actual = find<QWidget>(place.name)->geometry();
        const bool grows = qobject_cast<QGroupBox*>(find<QWidget>(place.name)) ||
                           qobject_cast<QAbstractButton*>(find<QWidget>(place.name));
        if (grows) {
            EXPECT_TRUE(actual.contains(place.geometry)) << place.name;
            EXPECT_EQ(actual.top(), place.geometry.top()) << place.name;
            EXPECT_EQ(actual.height(), place.geometry.height()) << place.name;
        } else {
            EXPECT_EQ(actual, place.geometry) << place.name;
        }
    }

    EXPECT_EQ(window.summaryHeading(1)->geometry(), QRect(24, 46, 193, 17));
    EXPECT_EQ(window.summaryValue(1)->geometry(), QRect(56, 62, 545, 33));
    EXPECT_EQ(window.summaryHeading(0)->geometry(), QRect(400, 46, 193, 17));
    for (int element : {2, 3, 4, 8, 9, 11, -1})
        EXPECT_EQ(window.summaryHeading(element), nullptr) << element;
    for (int element : {0, 2, 3, 4, 8, 9})
        EXPECT_EQ(window.summaryValue(element), nullptr) << element;
    EXPECT_EQ(window.summaryHeading(10)->property("index").toInt(), 10);
    EXPECT_EQ(window.summaryHeading(10)->objectName(), "Label1");
    EXPECT_EQ(window.summaryValue(7)->objectName(), "Label2");
}

TEST_F(OptionsWindowTest, CaptionsColoursAndFonts) {
    OptionsWindow& window = open();
    struct Caption {
        const char* name;
        const char* text;
    };
    const Caption labels[] = {
        {"Label19", "History file options"},  {"Label21", "selection info..."},
        {"Label22", "Network or single..."},  {"Label3", "Which option..."},
        {"Label23", "Which option..."},       {"Label20", "selection info..."},
        {"Label11", "Lesson Advance Option"}, {"Label12", "Details about F2 button"},
        {"Label13", "Sound Effects Options"}, {"Label14", "About sound effects..."},
        {"Label27", "Documentation Option"},  {"Label26", "Details about F2 button"},
    };
    for (const Caption& c : labels)
        EXPECT_EQ(label(c.name)->text(), c.text) << c.name;
    const Caption frames[] = {
        {"Frame8", "History file location "},
        {"Frame10", "User list"},
        {"Frame9", ""},
        {"Frame2", "Manual Lesson Advance Option "},
        {"Frame3", "Sound effects options "},
        {"Frame12", "Documentation Option "},
    };
    for (const Caption& c : frames)
        EXPECT_EQ(frame(c.name)->title(), c.text) << c.name;
    const Caption options[] = {
        {"Option10", "ten"},
        {"Option1", "Password required for each user"},
        {"Option23", "Multi-user open list"},
        {"Option24", "Multi-user protected list"},
        {"Option25", "History files saved on disks in Drive A"},
        {"Option4", "No history files saved"},
        {"Option18", "Option included"},
        {"Option17", "Option removed"},
        {"Option21", "All sound effects available from menu"},
        {"Option20", "\"Beep\" sounds only"},
        {"Option19", "Silent operation only"},
        {"Option13", "Include documents in program menu"},
        {"Option14", "Do not include documents"},
    };
    for (const Caption& c : options)
        EXPECT_EQ(option(c.name)->text(), c.text) << c.name;
    EXPECT_EQ(find<QPushButton>("Command1")->text(), "&Add names");
    EXPECT_EQ(find<QPushButton>("Command2")->text(), "&Delete name");
    EXPECT_EQ(find<QPushButton>("Command3")->text(), "D&elete all");
    auto* exit = find<QPushButton>("Command4");
    EXPECT_EQ(exit->text(), "E&xit");
    EXPECT_EQ(exit->toolTip(), "Save settings as shown and exit");
    EXPECT_EQ(exit->palette().color(QPalette::Button), QColor(192, 192, 192));
    EXPECT_EQ(label("Label20")->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(userList()->palette().color(QPalette::Base), QColor(Qt::white));

    // Never shown.
    EXPECT_TRUE(find<QPushButton>("Command3")->isHidden());
    EXPECT_TRUE(label("Label20")->isHidden());

    for (const char* bold : {"Label19", "Label22", "Label11", "Label13", "Label27"})
        EXPECT_TRUE(QFontInfo(label(bold)->font()).bold()) << bold;
    EXPECT_TRUE(QFontInfo(window.summaryHeading(6)->font()).bold());
    EXPECT_FALSE(QFontInfo(window.summaryValue(6)->font()).bold());
    EXPECT_FALSE(QFontInfo(label("Label3")->font()).bold());
    EXPECT_DOUBLE_EQ(label("Label3")->font().pointSizeF(), 8.25);
    for (QWidget* system :
         {static_cast<QWidget*>(window.locationEdit()), static_cast<QWidget*>(userList()),
          static_cast<QWidget*>(label("Label20"))}) {
        EXPECT_DOUBLE_EQ(system->font().pointSizeF(), 9.75) << system->objectName().toStdString();
        EXPECT_TRUE(QFontInfo(system->font()).bold());
    }
    EXPECT_EQ(window.page(1)->focusPolicy(), Qt::ClickFocus);
    EXPECT_GT(window.locationEdit()->maxLength(), 1'000'000);
}

TEST(OptionsWindow, LocateDialogSettings) {
    const FileOpenRequest request = OptionsWindow::trainerLocationRequest();
    EXPECT_EQ(request.defaultExtension, ".exe");
    EXPECT_EQ(request.filter, "Program files (*.exe)|*exe");
    EXPECT_TRUE(request.title.contains("Corvantis Dexlan Trainer 4.exe"));
}

} // namespace
} // namespace dexlan
