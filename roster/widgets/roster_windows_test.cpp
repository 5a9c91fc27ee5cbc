// SPDX-License-Identifier: GPL-3.0-or-later
// Holding deleted names, the restore window and adding many names, through
// the roster's own windows.
#include "platform/regular_file.h"
#include "roster/core/bulk_add.h"
#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_test_files.h"
#include "roster/widgets/add_names_dialog.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/widgets/restore_window.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QAbstractItemModel>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeZone>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::TestFolder;

using testing::userFile;

class RosterWindowsTest : public ::testing::Test {
  protected:
    RosterWindowsTest() {
        state.programFolder = users.path();
        state.historyFolder = users.path();
        state.pathPolicy = PathPolicy::native();
        state.startupDone = true;
        state.confirmDelete = false;
        state.optionLines[EntryHistoryMode] = values::kHistRosterOpen;
        box.setText(users.path());
        dialogs.closeModalsAutomatically(false);
        roster = std::make_unique<UserRoster>(state, dialogs);
        panel = new UserListPanel(*roster, &page);
        roster->watchLocation(&box, &page);
    }
    ~RosterWindowsTest() override { EXPECT_TRUE(dialogs.allAnswersUsed()); }

    QListView& list() const { return *panel->userList(); }

    QStringList shown() const {
        QStringList names;
        for (int row = 0; row < list().model()->rowCount(); ++row)
            names.append(list().model()->index(row, 0).data().toString());
        return names;
    }
    void select(const QString& name) {
        list().setCurrentIndex(
            list()
                .model()
                ->match(list().model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly)
                .value(0));
    }

    TestFolder users;
    SharedState state;
    ScriptedDialogs dialogs;
    QWidget page;
    QLineEdit box;
    UserListPanel* panel = nullptr; // the page's
    std::unique_ptr<UserRoster> roster;
};

TEST_F(RosterWindowsTest, DeletionThatCannotBeHeldIsForGoodOnlyWhenTheUserAgrees) {
    users.write("1HIST.DX", userFile("Ann"));
    users.write(".deleted", "a file where the holding folder would be");
    roster->fillUserList();
    select("Ann");

    dialogs.answerNextBox(MsgAnswer::Cancel);
    panel->deleteSelectedName();
    ASSERT_EQ(dialogs.boxesShown.size(), 1);
    EXPECT_EQ(dialogs.boxesShown[0].title, "Delete name...");
    EXPECT_TRUE(dialogs.boxesShown[0].prompt.contains(cannotBeUndoneText("Ann")));
    EXPECT_EQ(dialogs.boxesShown[0].defaultButton, MsgAnswer::Cancel);
    EXPECT_TRUE(QFileInfo::exists(users.file("1HIST.DX")));
    EXPECT_EQ(shown(), QStringList({"Ann"}));

    dialogs.answerNextBox(MsgAnswer::Ok);
    panel->deleteSelectedName();
    EXPECT_FALSE(QFileInfo::exists(users.file("1HIST.DX")));
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(RosterWindowsTest, RestoreWindowPutsBackAndErasesAfterOneQuestion) {
    users.write("1HIST.DX", userFile("Ann"));
    users.write("2HIST.DX", userFile("Bob"));
    const QDateTime when(QDate(2026, 11, 20), QTime(9, 30), QTimeZone::utc());
    ASSERT_EQ(holdUserFile(users.file("1HIST.DX"), 1, "Ann", when).outcome, HoldResult::Held);
    ASSERT_EQ(holdUserFile(users.file("2HIST.DX"), 2, "Bob", when.addDays(1)).outcome,
              HoldResult::Held);

    RestoreWindow window(users.path(), dialogs);
    QTreeWidget* held = window.heldList();
    ASSERT_EQ(held->topLevelItemCount(), 2);
    EXPECT_EQ(held->topLevelItem(0)->text(0), "Bob");
    EXPECT_EQ(held->topLevelItem(1)->text(0), "Ann");
    EXPECT_EQ(held->topLevelItem(1)->text(1), shownDeletionTime(when));
    EXPECT_TRUE(window.findChild<QLabel*>()->text().contains("30 days"));

    // Erase now: Cancel keeps Bob, OK erases him.
    held->setCurrentItem(held->topLevelItem(0));
    dialogs.expectBox(eraseHeldQuestion("Bob"), MsgAnswer::Cancel);
    window.eraseButton()->click();
    EXPECT_EQ(held->topLevelItemCount(), 2);
    dialogs.expectBox(eraseHeldQuestion("Bob"), MsgAnswer::Ok);
    window.eraseButton()->click();
    ASSERT_EQ(held->topLevelItemCount(), 1);

    held->setCurrentItem(held->topLevelItem(0));
    window.restoreButton()->click();
    EXPECT_EQ(held->topLevelItemCount(), 0);
    EXPECT_TRUE(window.restoredAny());
    EXPECT_FALSE(window.restoreButton()->isEnabled());
    EXPECT_TRUE(window.findChild<QLabel*>()->text().endsWith("No deleted names are held now."));
    EXPECT_EQ(readFirstLineOfFile(users.file("1HIST.DX")).bytes, "\"Ann\"");
    EXPECT_FALSE(QFileInfo::exists(users.file("2HIST.DX")));
}

TEST_F(RosterWindowsTest, SeveralPastedLinesAreAskedForOnceAndSummed) {
    users.write("1HIST.DX", userFile("Ann"));
    roster->fillUserList();
    QGuiApplication::clipboard()->setText("Bob\nAnn\nCyd\r\n\r\nDee\n");

    QString summary;
    dialogs.onNextModal([&](QDialog& nameIn) {
        dialogs.expectBox(bulkAddQuestion(3), MsgAnswer::Yes);
        dialogs.onNextModal([&](QDialog& window) {
            EXPECT_EQ(window.objectName(), "AddSummary");
            summary = window.findChild<QPlainTextEdit*>("SummaryText")->toPlainText();
            window.accept();
        });
        auto* text = static_cast<AddNamesDialog&>(nameIn).nameEdit();
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(text->text(), "") << "nothing of the list lands in the box";
        static_cast<AddNamesDialog&>(nameIn).okButton()->click();
    });
    panel->addNames();
    EXPECT_EQ(summary, "3 names added:\n    Bob\n    Cyd\n    Dee\n\n1 name refused:\n"
                       "    Ann: already on the list\n");
    EXPECT_EQ(shown(), QStringList({"Ann", "Bob", "Cyd", "Dee"}));

    // One line is pasted into the box as typed, without its line break.
    QGuiApplication::clipboard()->setText("Eve\n");
    dialogs.onNextModal([](QDialog& nameIn) {
        auto* text = static_cast<AddNamesDialog&>(nameIn).nameEdit();
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(text->text(), "Eve");
        text->clear();
        static_cast<AddNamesDialog&>(nameIn).okButton()->click();
    });
    panel->addNames();
}

TEST_F(RosterWindowsTest, APastedNameTooLongIsRefusedAsAClassListRefusesItNotCut) {
    const QString longName = QStringLiteral("Maximiliane Johanna Wolkenstein"); // 31
    QGuiApplication::clipboard()->setText(longName + QLatin1Char('\n'));
    QString summary;
    dialogs.onNextModal([&](QDialog& nameIn) {
        dialogs.onNextModal([&](QDialog& window) {
            summary = window.findChild<QPlainTextEdit*>("SummaryText")->toPlainText();
            window.accept();
        });
        auto* text = static_cast<AddNamesDialog&>(nameIn).nameEdit();
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(text->text(), "") << "no part of it lands in the box";
        static_cast<AddNamesDialog&>(nameIn).okButton()->click();
    });
    panel->addNames();
    EXPECT_EQ(summary, "0 names added.\n\n1 name refused:\n    " + longName +
                           ": longer than 30 characters\n");
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(RosterWindowsTest, AClassListIsCheckedAgainstTheFolderAsItIsNowAndReadsItOnceAtMost) {
    users.write("1HIST.DX", userFile("Ann"));
    roster->fillUserList();
    const int reads = roster->folderReads();
    auto addInBulk = [this](const QStringList& names, int asked) {
        dialogs.expectBox(bulkAddQuestion(asked), MsgAnswer::Yes);
        dialogs.onNextModal([](QDialog& summary) { summary.accept(); });
        addNamesInBulk(*roster, dialogs, names, nullptr);
    };

    // Another copy adds Bob meanwhile: the folder is read again, once, and
    // Bob is refused as already on the list.
    users.write("2HIST.DX", userFile("Bob"));
    addInBulk({"Bob", "Zed", "adam"}, 2);
    EXPECT_EQ(roster->folderReads(), reads + 1);
    EXPECT_EQ(shown(), QStringList({"adam", "Ann", "Bob", "Zed"}));

    // Nothing changed behind its back: no file is read, and the list is the
    // one a reading of the folder gives.
    addInBulk({"cyd", "Cyd"}, 2);
    EXPECT_EQ(roster->folderReads(), reads + 1);
    const QStringList listed = shown();
    roster->fillUserList();
    EXPECT_EQ(shown(), listed);
    EXPECT_EQ(listed, QStringList({"adam", "Ann", "Bob", "Cyd", "cyd", "Zed"}));
}

TEST_F(RosterWindowsTest, AFileThatIsNoClassListIsRefusedWithoutWaiting) {
    users.write("big.txt", QByteArray(kMaxClassListBytes + 1, '\n'));
    std::vector<std::pair<QString, QString>> cases = {
        {users.file("big.txt"), "The file is larger than 10 MB, the most a class list may be."}};
    if (testing::makeFifo(users.file("fifo.txt")))
        cases.push_back({users.file("fifo.txt"), notRegularFileText()});
    for (const auto& [path, why] : cases) {
        SCOPED_TRACE(path.toStdString());
        dialogs.answerNextFile(path);
        dialogs.expectBox(classListUnreadableReport(why, path), MsgAnswer::Ok);
        addNamesFromFile(*roster, dialogs, nullptr);
    }
    EXPECT_EQ(QDir(users.path()).entryList({"*.DX"}, QDir::Files), QStringList());
}

TEST_F(RosterWindowsTest, MoreNamesThanAreAddedAtOnceAreRefusedWhole) {
    QStringList names;
    for (int i = 0; i <= kMaxNamesAtOnce; ++i)
        names.append(QStringLiteral("Pupil %1").arg(i));
    dialogs.expectBox(tooManyNamesReport(names.size()), MsgAnswer::Ok);
    addNamesInBulk(*roster, dialogs, names, nullptr);
    EXPECT_EQ(QDir(users.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(tooManyNamesReport(names.size()).prompt.contains("5000")) << "the limit is stated";
}

TEST_F(RosterWindowsTest, SayingNoToTheQuestionAddsNothing) {
    dialogs.expectBox(bulkAddQuestion(2), MsgAnswer::No);
    addNamesInBulk(*roster, dialogs, {"Ann", "Bob"}, nullptr);
    EXPECT_EQ(QDir(users.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
} // namespace dexlan
