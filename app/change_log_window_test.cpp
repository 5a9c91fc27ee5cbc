// SPDX-License-Identifier: GPL-3.0-or-later
// The record of changes as the window keeps it and shows it.
#include "app/app_fixture.h"
#include "options_file/change_log.h"
#include "options_file/options_dialogue.h"
#include "options_window/options_window.h"

#include <QDialog>
#include <QDir>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::optionsFile;
using testing::ProgramTest;

class ChangeLogWindowTest : public ProgramTest {
  protected:
    void start() {
        layTrainer(optionsFile("individual", "hist roster open"));
        ASSERT_TRUE(startUp());
        dialogs.boxesShown.clear();
    }
    void saveSounds(const QByteArray& value) {
        state().optionLines[EntrySounds] = value;
        dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
        mainWindow().save();
    }
    QStringList logLines() const {
        return QString::fromUtf8(trainer.read(kChangeLogName)).split('\n', Qt::SkipEmptyParts);
    }
};

TEST_F(ChangeLogWindowTest, ASaveRecordsEachLineChangedAndChangesShowsThemNewestFirst) {
    start();
    const QString before = QString::fromLatin1(state().fileOptionLines[EntrySounds]);
    saveSounds("sfx none");
    saveSounds("sfx beep");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(
        QStringLiteral("\twindow\tset\t\t\tline 11: \"%1\" -> \"sfx none\"").arg(before)))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("\twindow\tset\t\t\tline 11: \"sfx none\" -> \"sfx beep\""))
        << lines[1].toStdString();

    QString shown;
    dialogs.onNextModal([&shown](QDialog& window) {
        shown = window.findChild<QPlainTextEdit*>("txtChanges")->toPlainText();
        EXPECT_TRUE(window.findChild<QPlainTextEdit*>("txtChanges")->isReadOnly());
        window.reject();
    });
    mainWindow().showChanges();
    EXPECT_EQ(shown, lines[1] + '\n' + lines[0]);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

// A record that cannot be written is said once a session; every save is
// made all the same.
TEST_F(ChangeLogWindowTest, ALogThatCannotBeWrittenIsToldOnceAndBlocksNothing) {
    start();
    ASSERT_TRUE(QDir(trainer.path()).mkdir(kChangeLogName)); // a folder in the log's place
    const QString logPath = trainer.path() + kChangeLogName;
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    dialogs.answerNextBox(MsgAnswer::Ok);
    state().optionLines[EntrySounds] = "sfx none";
    mainWindow().save();
    ASSERT_EQ(dialogs.boxesShown.size(), 2);
    EXPECT_EQ(dialogs.boxesShown[1].title, "Record of changes");
    EXPECT_TRUE(dialogs.boxesShown[1].prompt.contains(logPath)) << "the log is named";
    saveSounds("sfx beep");
    EXPECT_EQ(dialogs.boxesShown.size(), 3) << "told once only";
    EXPECT_TRUE(trainer.read("Dexlan4.ini").contains("\r\nsfx beep\r\n"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

} // namespace
} // namespace dexlan
