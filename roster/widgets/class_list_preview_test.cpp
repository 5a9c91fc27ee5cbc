// SPDX-License-Identifier: GPL-3.0-or-later
// Class lists through the import preview: what it shows, the choices made in
// it, and a file dropped onto the page.
#include "roster/core/bulk_add.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_test_files.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/widgets/class_list_preview.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace dexlan {
namespace {

using testing::TestFolder;
using testing::userFile;

class ClassListPreviewTest : public ::testing::Test {
  protected:
    ClassListPreviewTest() {
        state.programFolder = users.path();
        state.historyFolder = users.path();
        state.pathPolicy = PathPolicy::native();
        state.startupDone = true;
        state.optionLines[EntryHistoryMode] = values::kHistRosterOpen;
        box.setText(users.path());
        dialogs.closeModalsAutomatically(false);
        roster = std::make_unique<UserRoster>(state, dialogs);
        panel = new UserListPanel(*roster, &page);
        roster->watchLocation(&box, &page);
    }
    ~ClassListPreviewTest() override { EXPECT_TRUE(dialogs.allAnswersUsed()); }

    // The names in the history files as the trainer reads them, in the order
    // of their numbers.
    QByteArrayList namesInFiles() const {
        QByteArrayList names;
        for (int number = 1; number < 50; ++number) {
            const QString path = users.file(newHistoryFileName(number));
            if (QFile::exists(path))
                names.append(readFirstLineOfFile(path).bytes);
        }
        return names;
    }

    // Imports the file, doing act in the preview, then answers the question
    // with Yes when names are to be added.
    QString import(const QString& file, const std::function<void(ClassListPreview&)>& act,
                   int toAdd) {
        QString shown;
        dialogs.onNextModal([&](QDialog& window) {
            auto& preview = dynamic_cast<ClassListPreview&>(window);
            act(preview);
            shown = preview.namesText()->toPlainText();
            if (preview.addButton()->isEnabled())
                preview.addButton()->click();
            else
                preview.reject();
        });
        if (toAdd > 0) {
            dialogs.expectBox(bulkAddQuestion(toAdd), MsgAnswer::Yes);
            dialogs.onNextModal([](QDialog& summary) { summary.accept(); });
        }
        importClassList(*roster, dialogs, users.file(file), nullptr);
        return shown;
    }

    TestFolder users;
    SharedState state;
    ScriptedDialogs dialogs;
    QWidget page;
    QLineEdit box;
    UserListPanel* panel = nullptr; // the page's
    std::unique_ptr<UserRoster> roster;
};

TEST_F(ClassListPreviewTest, ASemicolonExportWithTitlesGivesFirstNameThenFamilyName) {
    users.write("1HIST.DX", userFile("Eva Meier"));
    roster->fillUserList();
    users.write("klasse.csv", "Nachname;Vorname;Klasse\r\nMeier;Eva;4b\r\nKrause;Tom;4b\r\n"
                              "Lang;Ida;4b\r\n");
    const QString shown = import(
        "klasse.csv",
        [](ClassListPreview& preview) {
            EXPECT_EQ(preview.separatorBox()->currentText(), "Semicolon");
            EXPECT_TRUE(preview.headerBox()->isChecked());
            EXPECT_EQ(preview.firstColumnBox()->currentText(), "2: Vorname");
            EXPECT_EQ(preview.secondColumnBox()->currentText(), "1: Nachname");
            EXPECT_FALSE(preview.encodingBox()->isVisibleTo(&preview)) << "no doubt to settle";
            QTableWidget* table = preview.table();
            ASSERT_EQ(table->rowCount(), 3);
            EXPECT_EQ(table->item(1, 1)->text(), "Tom");
        },
        2);
    EXPECT_EQ(shown, "2 names will be added:\n    Tom Krause\n    Ida Lang\n\n"
                     "1 name refused:\n    Eva Meier: already on the list\n");
    EXPECT_EQ(namesInFiles(), QByteArrayList({"\"Eva Meier\"", "\"Tom Krause\"", "\"Ida Lang\""}));
}

TEST_F(ClassListPreviewTest, ChoicesMadeInThePreviewAreWhatIsAdded) {
    // A plain tab-separated list whose first row is a pupil, not titles, and
    // whose name is the second column.
    users.write("class.txt", "4b\tAnn Carter\r4b\tBob Lee\r");
    const QString shown = import(
        "class.txt",
        [](ClassListPreview& preview) {
            EXPECT_EQ(preview.separatorBox()->currentText(), "Tab");
            EXPECT_FALSE(preview.headerBox()->isChecked());
            preview.firstColumnBox()->setCurrentIndex(1);
            EXPECT_EQ(preview.list().names, QStringList({"Ann Carter", "Bob Lee"}));
            // With the first row taken for titles, only the second pupil is left.
            preview.headerBox()->setChecked(true);
            EXPECT_EQ(preview.list().names, QStringList({"Bob Lee"}));
            preview.headerBox()->setChecked(false);
            preview.firstColumnBox()->setCurrentIndex(1);
        },
        2);
    EXPECT_EQ(shown, "2 names will be added:\n    Ann Carter\n    Bob Lee\n");
    EXPECT_EQ(namesInFiles(), QByteArrayList({"\"Ann Carter\"", "\"Bob Lee\""}));
}

TEST_F(ClassListPreviewTest, QuotedCommasAndLineBreaksAreOneNameEach) {
    users.write("class.csv", "Name,Class\n\"Carter, Ann\",4b\n\"Multi\nLine\",4c\n");
    const QString shown = import(
        "class.csv", [](ClassListPreview&) {}, 1);
    EXPECT_TRUE(shown.startsWith("1 name will be added:\n    Carter, Ann\n\n1 name refused:\n"))
        << shown.toStdString();
    EXPECT_EQ(namesInFiles(), QByteArrayList({"\"Carter, Ann\""}));
}

// A UTF-8 list with one line in the code page: shown, with the line named,
// and read as the user chooses.
TEST_F(ClassListPreviewTest, AFileInDoubtNamesItsLinesAndIsReadAsChosen) {
    users.write("class.txt", "Jos\xc3\xa9 Garc\xc3\xad"
                             "a\r\nZo\xeb Ray\r\n");
    import(
        "class.txt",
        [](ClassListPreview& preview) {
            EXPECT_TRUE(preview.encodingBox()->isVisibleTo(&preview));
    EXPECT_TRUE(preview.doubtLabel()->text().contains("line 2"))
        << preview.doubtLabel()->text().toStdString();
    EXPECT_EQ(preview.list().names.value(0), QString::fromUtf8("José García"));
    EXPECT_TRUE(preview.namesText()->toPlainText().contains("1 name refused:"));
    preview.encodingBox()->setCurrentIndex(1); // the code page
    EXPECT_EQ(preview.list().names.value(1), QString::fromUtf8("Zoë Ray"));
    preview.encodingBox()->setCurrentIndex(0);
},
        1);
EXPECT_EQ(namesInFiles(), QByteArrayList({"\"Jos\xe9 Garc\xed"
                                          "a\""}));
} // namespace

TEST_F(ClassListPreviewTest, CancellingThePreviewAddsNothing) {
    users.write("class.txt", "Ann\nBob\n");
    dialogs.onNextModal([](QDialog& preview) { preview.reject(); });
    importClassList(*roster, dialogs, users.file("class.txt"), nullptr);
    EXPECT_TRUE(namesInFiles().isEmpty());
}

TEST_F(ClassListPreviewTest, AFileDroppedOntoThePageOpensTheImport) {
    users.write("class.txt", "Ann\n");
    QStringList opened;
    acceptClassListDrops(&page, [&opened](const QString& path) { opened.append(path); });
    EXPECT_TRUE(page.acceptDrops());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(users.file("class.txt"))});
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&page, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&page, &drop);
    EXPECT_EQ(opened, QStringList({users.file("class.txt")}));

    // Text, or two files at once, is not a class list to open.
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(users.file("a.txt")), QUrl::fromLocalFile(users.file("b"))});
    QDragEnterEvent enterTwo(QPoint(1, 1), Qt::CopyAction, &two, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&page, &enterTwo);
    EXPECT_FALSE(enterTwo.isAccepted());
}

} // namespace dexlan
} // namespace dexlan
