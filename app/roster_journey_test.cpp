// SPDX-License-Identifier: GPL-3.0-or-later
// Through the real windows: a deleted name brought back from File, Restore
// deleted names, and a class list added from File, Add names from a file or
// dropped onto the History Files page.
#include "app/app_fixture.h"
#include "options_window/options_window.h"
#include "roster/core/bulk_add.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_test_files.h"
#include "roster/widgets/restore_window.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QUrl>

namespace dexlan {
namespace {

using testing::optionsFile;
using testing::ProgramTest;

using testing::shownNames;
using testing::userFile;

TEST_F(ProgramTest, ADeletedNameIsRestoredFromTheFileMenu) {
    layTrainer(optionsFile("network", "hist roster open"));
    trainer.write("1HIST.DX", userFile("Ann Carter"));
    trainer.write("2HIST.DX", userFile("Bob Lindqvist"));
    const QByteArray bob = trainer.read("2HIST.DX");
    ASSERT_TRUE(startUp());
    OptionsWindow& options = mainWindow().options();
    options.findChild<QTabBar*>("tbsOptions")->setCurrentIndex(1);
    auto* list1 = options.findChild<QListView*>("List1");
    ASSERT_EQ(shownNames(*list1), QStringList({"Ann Carter", "Bob Lindqvist"}));

    // Delete name, with the question of the first deletion.
    list1->setCurrentIndex(list1->model()->index(1, 0));
    emit list1->clicked(list1->model()->index(1, 0));
    dialogs.expectBox(deleteQuestion("Bob Lindqvist"), MsgAnswer::Ok);
    options.findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(shownNames(*list1), QStringList({"Ann Carter"}));
    EXPECT_FALSE(QFileInfo::exists(trainer.file("2HIST.DX")));

    // File, Restore deleted names: Bob is there with the date; Restore, Close.
    dialogs.onNextModal([](QDialog& window) {
        auto& restore = static_cast<RestoreWindow&>(window);
        ASSERT_EQ(restore.heldList()->topLevelItemCount(), 1);
        EXPECT_EQ(restore.heldList()->topLevelItem(0)->text(0), "Bob Lindqvist");
        EXPECT_FALSE(restore.heldList()->topLevelItem(0)->text(1).isEmpty());
        restore.restoreButton()->click();
        EXPECT_EQ(restore.heldList()->topLevelItemCount(), 0);
        restore.closeButton()->click();
    });
    mainWindow().findChild<QAction*>("Mrestore")->trigger();
    EXPECT_EQ(dialogs.modalsShown.back(), "RestoreNames");
    EXPECT_EQ(shownNames(*list1), QStringList({"Ann Carter", "Bob Lindqvist"}));
    EXPECT_EQ(trainer.read("2HIST.DX"), bob) << "back under its number, byte for byte";
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ProgramTest, AClassListOfThirtyIsAddedFromAFileWithTwoRefused) {
    layTrainer(optionsFile("network", "hist roster open"));
    trainer.write("1HIST.DX", userFile("Ann Carter"));
    QByteArray list = "Ann Carter\r\n";
    for (int i = 1; i <= 28; ++i)
        list += "Pupil " + QByteArray::number(i) + "\r\n";
    list += "Pupil 7\r\n"; // twice
    trainer.write("class 4b.txt", list);
    ASSERT_TRUE(startUp());
    OptionsWindow& options = mainWindow().options();
    options.findChild<QTabBar*>("tbsOptions")->setCurrentIndex(1);

    dialogs.answerNextFile(trainer.file("class 4b.txt"));
    // The preview shows what will be done before the question.
    QString preview;
    dialogs.onNextModal([&preview](QDialog& window) {
        preview = window.findChild<QPlainTextEdit*>("PreviewNames")->toPlainText();
        window.accept();
    });
    dialogs.expectBox(bulkAddQuestion(28), MsgAnswer::Yes);
    QString summary;
    dialogs.onNextModal([&summary](QDialog& window) {
        summary = window.findChild<QPlainTextEdit*>("SummaryText")->toPlainText();
        window.accept();
    });
    mainWindow().findChild<QAction*>("Maddfile")->trigger();
    EXPECT_EQ(dialogs.filesAsked.back().filter, "Class lists (*.txt *.csv)");
    EXPECT_TRUE(preview.startsWith("28 names will be added:\n    Pupil 1\n"))
        << preview.toStdString();
    EXPECT_TRUE(preview.endsWith("    Pupil 7: given twice in the names to add\n"))
        << preview.toStdString();
    EXPECT_TRUE(summary.startsWith("28 names added:\n    Pupil 1\n")) << summary.toStdString();
    EXPECT_TRUE(summary.endsWith("2 names refused:\n    Ann Carter: already on the list\n"
                                 "    Pupil 7: given twice in the names to add\n"))
        << summary.toStdString();
    EXPECT_EQ(options.findChild<QListView*>("List1")->model()->rowCount(), 29);
    EXPECT_EQ(readFirstLineOfFile(trainer.file("29HIST.DX")).bytes, "\"Pupil 28\"");
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ProgramTest, AClassListDroppedOntoTheUserListIsAddedThroughThePreview) {
    layTrainer(optionsFile("network", "hist roster open"));
    trainer.write("klasse.csv", "Nachname;Vorname\r\nKrause;Tom\r\n");
    ASSERT_TRUE(startUp());
    OptionsWindow& options = mainWindow().options();
    options.findChild<QTabBar*>("tbsOptions")->setCurrentIndex(1);
    QWidget* viewport = options.findChild<QListView*>("List1")->viewport();

    QString preview;
    dialogs.onNextModal([&preview](QDialog& window) {
        preview = window.findChild<QPlainTextEdit*>("PreviewNames")->toPlainText();
        window.accept();
    });
    dialogs.expectBox(bulkAddQuestion(1), MsgAnswer::Yes);
    dialogs.onNextModal([](QDialog& summary) { summary.accept(); });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(trainer.file("klasse.csv"))});
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &drop);

    EXPECT_EQ(preview, "1 name will be added:\n    Tom Krause\n");
    EXPECT_EQ(readFirstLineOfFile(trainer.file("1HIST.DX")).bytes, "\"Tom Krause\"");
    EXPECT_EQ(dialogs.modalsShown.mid(dialogs.modalsShown.size() - 2),
              QStringList({"ImportPreview", "AddSummary"}));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

} // namespace
} // namespace dexlan
