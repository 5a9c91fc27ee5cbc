// SPDX-License-Identifier: GPL-3.0-or-later
#include "info_windows/about_window.h"
#include "info_windows/help_window.h"
#include "testing/scripted_dialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

// Presses a key where the user's key would land: the focused control, else the window.
void press(QDialog& window, Qt::Key key) {
    QWidget* target = window.focusWidget() ? window.focusWidget() : &window;
    QTest::keyClick(target, key);
}

TEST(HelpWindow, ShowsTheFixedIntroduction) {
    HelpWindow help;
    EXPECT_EQ(help.objectName(), "Help");
    EXPECT_EQ(help.windowTitle(), "The Corvantis Dexlan Options 4 program...");
    EXPECT_EQ(help.size(), QSize(353, 205)); // 5295 x 3075 twips
    EXPECT_EQ(help.introduction(1)->text(),
              "The Corvantis Dexlan Options 4 program may be run at any time you wish to examine "
              "or change settings for the Corvantis Dexlan Training System 4.");
    EXPECT_EQ(help.instruction(0)->text(),
              "The next screen shows the current or default settings for several options.  Use "
              "the tabs to see each option in detail.");
    EXPECT_EQ(help.instruction(1)->text(), "When you have finished setting the program options, "
                                           "simply exit and your changes will be recorded.");
    EXPECT_EQ(help.instruction(1)->geometry(), QRect(21, 126, 309, 36)); // 315, 1890, 4635, 540
    EXPECT_EQ(help.instruction(2), nullptr);
    EXPECT_EQ(help.introduction(0), nullptr);
    EXPECT_EQ(help.instruction(1)->property("index").toInt(), 1);
    EXPECT_EQ(help.okButton()->text(), "OK");
    EXPECT_TRUE(help.okButton()->isDefault());
    ASSERT_NE(help.emblem()->pixmap().isNull(), true);
    EXPECT_EQ(help.emblem()->pixmap().size(), QSize(34, 34));
    EXPECT_EQ(help.emblem()->geometry(), QRect(14, 21, 34, 34));
}

TEST(HelpWindow, EnterEscapeAndOkCloseItAndTheSameWindowComesBack) {
    ScriptedDialogs dialogs;
    HelpWindow help;
    const struct {
        const char* how;
        std::function<void(QDialog&)> close;
    } ways[] = {
        {"Enter", [](QDialog& d) { press(d, Qt::Key_Return); }},
        {"Escape", [](QDialog& d) { press(d, Qt::Key_Escape); }},
        {"OK",
         [](QDialog& d) {
             QTest::mouseClick(d.findChild<QPushButton*>("Command1"), Qt::LeftButton);
         }},
    };
    for (const auto& way : ways) {
        bool wasOpen = false;
        bool closedByKey = false;
        dialogs.onNextModal([&](QDialog& d) {
            wasOpen = d.isVisible();
            way.close(d);
            closedByKey = !d.isVisible();
        });
        dialogs.showModal(help);
        EXPECT_TRUE(wasOpen) << way.how;
        EXPECT_TRUE(closedByKey) << way.how;
    }
    // Hidden, never destroyed: its texts are still there for the next showing.
    EXPECT_EQ(dialogs.modalsShown, QStringList({"Help", "Help", "Help"}));
    EXPECT_FALSE(help.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(help.instruction(0)->text().isEmpty());
}

TEST(AboutWindow, FillsItsLabelsWhenCreated) {
    AboutWindow about;
    EXPECT_EQ(about.objectName(), "About");
    EXPECT_EQ(about.windowTitle(), "The Corvantis Dexlan Options Program...");
    EXPECT_EQ(about.size(), QSize(377, 217)); // 5655 x 3255 twips
    EXPECT_EQ(about.programName()->text(), "Corvantis Dexlan Options 4");
    EXPECT_EQ(about.version()->text(), "Version 4.1    R24");
    // One item per line: name, two address lines, an empty line, web site, e-mail.
    const QStringList details = about.maker()->text().split("\r\n");
    ASSERT_EQ(details.size(), 6);
    EXPECT_TRUE(details[3].isEmpty());
    EXPECT_TRUE(details[4].endsWith("example.com"));
    EXPECT_TRUE(details[5].endsWith("@example.com"));
    EXPECT_FALSE(about.legal()->text().isEmpty());
    EXPECT_FALSE(about.legal()->text().contains('\n'));
    EXPECT_EQ(about.emblem()->pixmap().size(), QSize(34, 34));
    EXPECT_EQ(about.emblem()->geometry(), QRect(24, 24, 34, 34));
    EXPECT_TRUE(about.okButton()->isDefault());
    EXPECT_EQ(about.okButton()->geometry(), QRect(160, 176, 57, 22)); // 2400, 2640, 855, 330
    EXPECT_EQ(about.codePage()->text(), "Code page:\nWindows-1252");
    about.showCodePage(*CodePage::byNumber(1250));
    EXPECT_EQ(about.codePage()->text(), "Code page:\nWindows-1250");
    // Beside the texts, under the emblem: it covers none of them.
    for (const QLabel* text :
         {about.programName(), about.version(), about.maker(), about.legal(), about.emblem()})
        EXPECT_FALSE(about.codePage()->geometry().intersects(text->geometry()))
            << text->objectName().toStdString();
}

TEST(AboutWindow, EnterAndEscapeCloseIt) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        ScriptedDialogs dialogs;
        AboutWindow about;
        bool closed = false;
        dialogs.onNextModal([&](QDialog& d) {
            press(d, key);
            closed = !d.isVisible();
        });
        dialogs.showModal(about);
        EXPECT_TRUE(closed) << key;
    }
}

} // namespace
} // namespace dexlan
