// SPDX-License-Identifier: GPL-3.0-or-later
// A typical session through the real windows: a network installation gets an
// open user list, a history location typed and confirmed with Enter, two new
// users, and File, Exit with Yes to the update question.
#include "app/app_fixture.h"
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "options_window/options_window.h"
#include "roster/core/history_folder.h"
#include "roster/widgets/add_names_dialog.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

namespace dexlan {
namespace {

using testing::optionsFile;
using testing::ProgramTest;

TEST_F(ProgramTest, TypicalSessionWritesOptionsAndTwoHistoryFiles) {
    layTrainer(optionsFile("network", "hist auto"));
    ASSERT_TRUE(startUp());
    OptionsWindow& options = mainWindow().options();
    const QString location = trainer.path() + "history";

    // The History Files tab, then "Multi-user open list".
    options.findChild<QTabBar*>("tbsOptions")->setCurrentIndex(1);
    options.findChild<QRadioButton*>("Option23")->click();
    EXPECT_EQ(state().optionLines[EntryHistoryMode], "hist roster open");

    // A new location, confirmed with Enter: the folder is offered and made.
    QLineEdit* text1 = options.locationEdit();
    text1->setText(location);
    const QString folder = policy.locationCase(policy.withTrailingSeparator(location));
    const QString missing = probeFolder(folder).text; // the platform's words
    dialogs.expectBox({missing + "\r\n\r\n" + folder + "\r\n\r\n" +
                           "The history file location you have selected does not exist.  Do "
                           "you wish to create it?",
                       MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes, " Warning..."},
                      MsgAnswer::Yes);
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_EQ(text1->text(), folder);
    EXPECT_TRUE(QFileInfo(location).isDir());
    EXPECT_EQ(state().historyFolderState, HistoryFolderState::Usable);

    // Two names in the add-names window, then OK on an empty box closes it.
    dialogs.onNextModal([](QDialog& window) {
        auto& nameIn = static_cast<AddNamesDialog&>(window);
        for (const char* name : {"Zoe Miller", "adam Fox"}) {
            nameIn.nameEdit()->setText(QString::fromLatin1(name));
            nameIn.okButton()->click();
            EXPECT_TRUE(nameIn.nameEdit()->text().isEmpty()) << name;
        }
        nameIn.okButton()->click();
    });
    options.findChild<QPushButton*>("Command1")->click();
    QListView* list1 = options.findChild<QListView*>("List1");
    ASSERT_EQ(list1->model()->rowCount(), 2);
    EXPECT_EQ(list1->model()->index(0, 0).data().toString(), "adam Fox");
    EXPECT_EQ(list1->model()->index(1, 0).data().toString(), "Zoe Miller");

    // File, Exit: the update question, Yes, and the program closes.
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    mainWindow().findChild<QAction*>("Mexit")->trigger();
    EXPECT_FALSE(mainWindow().isVisible());
    EXPECT_TRUE(dialogs.allAnswersUsed());

    EXPECT_EQ(trainer.read("Dexlan4.ini"),
              "Options File\r\nCorvantis Dexlan Training System 4\r\nnetwork\r\n"
              "hist roster open\r\n" +
                  QFile::encodeName(folder) +
                  "\r\nsix\r\nseven\r\neight\r\nnine\r\nf2 on\r\nsfx all\r\ndocuments on\r\n");
    const QByteArray first = testing::readFile(location + "/1HIST.DX");
    const QByteArray second = testing::readFile(location + "/2HIST.DX");
    EXPECT_TRUE(first.startsWith("\"Zoe Miller\"\r\n 0\r\n"));
    EXPECT_TRUE(second.startsWith("\"adam Fox\"\r\n 0\r\n"));
    EXPECT_EQ(first.count("\r\n"), 374);
    EXPECT_EQ(second.count("\r\n"), 374);
}

} // namespace
} // namespace dexlan
