// SPDX-License-Identifier: GPL-3.0-or-later
#include "info_windows/about_window.h"
#include "info_windows/help_window.h"
#include "options_window/options_window_fixture.h"

#include <QAccessible>

#include <algorithm>

namespace dexlan {
namespace {

// Qt's own parts of a widget (a list's viewport and scroll bars) are read out
// as part of the widget they belong to.
bool isPartOfAQtWidget(const QWidget* widget, const QWidget* window) {
    for (; widget && widget != window; widget = widget->parentWidget()) {
        if (widget->objectName().startsWith(QLatin1String("qt_")))
            return true;
    }
    return false;
}

// An empty label shows nothing, so there is nothing to read out.
bool showsNothing(const QWidget* widget) {
    const auto* label = qobject_cast<const QLabel*>(widget);
    return label && label->text().isEmpty() && label->pixmap().isNull();
}

using AccessibilityTest = OptionsWindowTest;

// What a screen reader is told about every control of the three windows: a
// name, and the tooltip the user sees as its description.
TEST_F(AccessibilityTest, EveryControlHasANameAndItsTooltipAsDescription) {
    OptionsWindow& options = open();
    // The user list and the location box are on view in this mode; the summary
    // and the explanations hold their texts.
    options.refreshPage(2);
    options.refreshPage(1);
    HelpWindow help;
    AboutWindow about;
    const struct {
        QWidget* window;
        const char* name;
    } windows[] = {
        {&options, "Trainer options"},
        {&help, "The Corvantis Dexlan Options 4 program..."},
        {&about, "The Corvantis Dexlan Options Program..."},
    };
    for (const auto& entry : windows) {
        SCOPED_TRACE(entry.window->objectName().toStdString());
        entry.window->show();
        QAccessibleInterface* whole = QAccessible::queryAccessibleInterface(entry.window);
        ASSERT_NE(whole, nullptr);
        EXPECT_EQ(whole->text(QAccessible::Name), entry.name);

        QStringList seen;
        for (QWidget* control : entry.window->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(entry.window) || isPartOfAQtWidget(control, entry.window) ||
                showsNothing(control))
                continue;
            const std::string name = control->objectName().toStdString();
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(accessible, nullptr) << name;
            EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty()) << name;
            if (!control->toolTip().isEmpty())
                EXPECT_EQ(accessible->text(QAccessible::Description), control->toolTip()) << name;
            seen << control->objectName();
        }
        // The walk reached the controls that matter most, not just labels.
        EXPECT_TRUE(seen.contains("Command1")) << seen.join(' ').toStdString();
    }

    // Names that say what the list and the box hold; the Exit button's tooltip.
    const struct {
        const char* control;
        const char* name;
        const char* description;
    } named[] = {
        {"List1", "User list", nullptr},
        {"Text1", "History file location",
         "If no history file location is specified, history files are stored in the same "
         "folder as the main program."},
        {"Command4", "Exit", "Save settings as shown and exit"},
        {"picOptions1", "History Files page", "History file settings"},
        {"picOptions4", "Documentation page", "Current documentation selections"},
    };
    for (const auto& expected : named) {
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(find<QWidget>(expected.control));
        EXPECT_EQ(accessible->text(QAccessible::Name), expected.name) << expected.control;
        if (expected.description)
            EXPECT_EQ(accessible->text(QAccessible::Description), expected.description)
                << expected.control;
    }

    // The tabs keep their captions as their names and their tooltips as their
    // descriptions (the strip's scroll buttons come after them).
    QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(tabs());
    ASSERT_GE(strip->childCount(), tabs()->count());
    for (int tab = 0; tab < tabs()->count(); ++tab) {
        QAccessibleInterface* accessible = strip->child(tab);
        EXPECT_EQ(accessible->text(QAccessible::Name), tabs()->tabText(tab)) << tab;
        EXPECT_EQ(accessible->text(QAccessible::Description), tabs()->tabToolTip(tab)) << tab;
    }
}

// The Tab key on one page, from the tab strip round to the tab strip again.
struct PageStops {
    int tab;
    const char* stops; // after the tab strip, in order

    friend void PrintTo(const PageStops& page, std::ostream* out) {
        *out << "tab " << page.tab << ": " << page.stops;
    }
};

class TabOrderTest : public OptionsWindowTest, public ::testing::WithParamInterface<PageStops> {};

// The layout's order, top to bottom and left to right; a group of option
// buttons is one stop, at its selected button, and the arrow keys choose
// within it. Shift+Tab walks the same stops backwards.
TEST_P(TabOrderTest, FollowsTheLayoutOfThePageOnView) {
    state.optionLines[EntryManualAdvance] = "f2 off";
    state.optionLines[EntrySounds] = "sfx beep";
    OptionsWindow& window = open();
    window.refreshPage(2);
    showActive();
    chooseTab(GetParam().tab);
    if (GetParam().tab == 2)
        addSelectedUser(QStringLiteral("Ann Carter")); // so that Delete name is on

    const int stops = int(QString::fromLatin1(GetParam().stops).count(' ')) + 1;
    const auto walk = [&](Qt::Key key) {
        tabs()->setFocus();
        QStringList visited;
        for (int step = 0; step <= stops; ++step) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QWidget* focus = QApplication::focusWidget();
            if (!focus || focus == tabs())
                break;
            visited << focus->objectName();
        }
        return visited;
    };
    EXPECT_EQ(walk(Qt::Key_Tab).join(' ').toStdString(), GetParam().stops);
    QStringList backwards = walk(Qt::Key_Backtab);
    std::reverse(backwards.begin(), backwards.end());
    EXPECT_EQ(backwards.join(' ').toStdString(), GetParam().stops);
    // Tab changed neither the page nor a setting.
    EXPECT_EQ(window.selectedTab(), GetParam().tab);
    EXPECT_EQ(state.optionLines[EntrySounds], "sfx beep");
}

INSTANTIATE_TEST_SUITE_P(Pages, TabOrderTest,
                         ::testing::Values(PageStops{1, "Command4"},
                                           PageStops{2, "Option23 Command1 Command2 List1 Text1"},
                                           PageStops{3, "Option17"}, PageStops{4, "Option20"},
                                           PageStops{5, "Option13"}),
                         [](const ::testing::TestParamInfo<PageStops>& info) {
                             return "Tab" + std::to_string(info.param.tab);
                         });

// An arrow key chooses within a group, as a click does, and Tab comes back to
// the new choice; so does a choice made by the program.
TEST_F(AccessibilityTest, ArrowKeysChooseAndTheTabStopFollowsTheChoice) {
    OptionsWindow& window = open();
    showActive();
    chooseTab(4);
    QTest::keyClick(tabs(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), option("Option21"));
    QTest::keyClick(option("Option21"), Qt::Key_Down);
    EXPECT_TRUE(option("Option20")->isChecked());
    EXPECT_EQ(state.optionLines[EntrySounds], "sfx beep");

    tabs()->setFocus();
    QTest::keyClick(tabs(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), option("Option20"));

    state.optionLines[EntrySounds] = "sfx none";
    window.refreshPage(4);
    tabs()->setFocus();
    QTest::keyClick(tabs(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), option("Option19"));
}

} // namespace
} // namespace dexlan
