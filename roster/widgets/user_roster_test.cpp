// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/user_roster.h"

#include "options_file/options_file.h"
#include "roster/core/held_names.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/name_rules.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_test_files.h"
#include "roster/core/user_list_model.h"
#include "roster/widgets/add_names_dialog.h"
#include "roster/widgets/user_list_panel.h"
#include "testing/linux_only.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <unistd.h>

namespace dexlan {
namespace {

using testing::TestFolder;

struct Entry {
    QString name;
    int number;
    friend bool operator==(const Entry&, const Entry&) = default;
    friend void PrintTo(const Entry& e, std::ostream* out) {
        *out << e.name.toStdString() << '=' << e.number;
    }
};

QByteArray firstLine(const QString& path) {
    return testing::readFile(path).split('\r').front();
}

// The History Files page as the options window builds it, with a roster on it.
class RosterPage {
  public:
    RosterPage(SharedState& state, Dialogs& dialogs) {
        page = new QWidget(&window);
        box = new QLineEdit(page);
        roster = std::make_unique<UserRoster>(state, dialogs);
        panel = new UserListPanel(*roster, page);
        panel->place({QRect(0, 0, 240, 160), QRect(0, 165, 100, 24), QRect(105, 165, 100, 24),
                      QRect(210, 165, 100, 24)});
        roster->watchLocation(box, page);
        list = panel->userList();
        add = panel->addNamesButton();
        remove = panel->deleteNameButton();
        removeAll = panel->deleteAllButton();
        status = panel->readingStatus();
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(box);
        layout->addWidget(panel);
        (new QVBoxLayout(&window))->addWidget(page);
    }

    void activate() {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }

    std::vector<Entry> entries() const {
        std::vector<Entry> result;
        const QAbstractItemModel* rows = list->model();
        for (int row = 0; row < rows->rowCount(); ++row)
            result.push_back({rows->index(row, 0).data().toString(),
                              rows->index(row, 0).data(Qt::UserRole).toInt()});
        return result;
    }

    void select(const QString& name) {
        const QModelIndexList found = list->model()->match(
            list->model()->index(0, 0), Qt::DisplayRole, name, -1, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->setCurrentIndex(found.front());
        emit list->clicked(found.front());
    }

    void pressKey(int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
    }

    // The list's rows, as the roster keeps them.
    UserListModel& rows() const { return roster->model(); }
    QModelIndex row(int at) const { return list->model()->index(at, 0); }
    bool anySelected() const { return list->selectionModel()->hasSelection(); }

    QWidget window;
    QWidget* page;
    QLineEdit* box;
    QListView* list;
    QPushButton* add;
    QPushButton* remove;
    QPushButton* removeAll;
    QLabel* status;
    UserListPanel* panel;
    std::unique_ptr<UserRoster> roster;
};

class UserRosterTest : public ::testing::Test {
  protected:
    UserRosterTest() {
        state.programFolder = program.path();
        state.pathPolicy = PathPolicy::native();
        state.startupDone = true;
        state.optionLines[EntryHistoryMode] = values::kHistRosterOpen;
        dialogs.closeModalsAutomatically(false);
    }
    ~UserRosterTest() override { EXPECT_TRUE(dialogs.allAnswersUsed()); }

    // A location as the box shows it once left: in this system's letter case
    // and separators (Windows upper-cases it).
    QString shown(const QString& location) const {
        return normalisedLocation(location, state.pathPolicy);
    }

    // Points the location box (and HistoryFolder) at a folder without checking it.
    void useLocation(const QString& location) {
        page.box->setText(location);
        state.historyFolder = location;
    }

    void writeUser(const QString& fileName, const QByteArray& name,
                   const QString& folder = QString()) {
        testing::writeFile((folder.isEmpty() ? users.path() : folder) + fileName,
                           '"' + name + "\"\r\n 0\r\n");
    }

    // Types each name into AddNamesDialog and presses OK, then closes it with an empty box.
    void addNames(const QStringList& names) {
        dialogs.onNextModal([names](QDialog& dialog) {
            auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
            auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
            for (const QString& name : names) {
                text->setText(name);
                ok->click();
            }
            text->clear();
            ok->click();
            EXPECT_FALSE(dialog.isVisible()) << "OK with an empty box closes NameIn";
        });
        page.panel->addNames();
    }

    void expectDeleteQuestion(const QString& name, MsgAnswer answer) {
        dialogs.expectBox(deleteQuestion(name), answer);
    }

    TestFolder program;
    TestFolder users;
    SharedState state;
    ScriptedDialogs dialogs;
    RosterPage page{state, dialogs};
};

// --- Listing ------------------------------------------------------------------

TEST_F(UserRosterTest, ListsTheFoldersUsersWithoutRegardToCase) {
    writeUser("1hist.dx", "Ann");
    writeUser("2HIST.DX", "bob");
    writeUser("3hist.dx", "");
    writeUser("4Hist.Dx", "Carl");
    writeUser("5hist.dx", "adam");
    writeUser("hist.dx", "Nobody");
    writeUser(".6hist.dx", "Hidden");
    writeUser("7hist.dx", "\xc9mile");
    useLocation(users.path());

    page.roster->fillUserList();
    const std::vector<Entry> expected{
        {"adam", 5}, {"Ann", 1}, {"bob", 2}, {"Carl", 4}, {QString::fromUtf8("Émile"), 7}};
    EXPECT_EQ(page.entries(), expected);
    EXPECT_EQ(page.row(1).data(UserListModel::kHistoryFileRole).toString(),
              shown(users.path()) + "1hist.dx");
    EXPECT_EQ(state.historyFolderState, HistoryFolderState::Usable);

    page.roster->fillUserList(); // a rebuild replaces, never doubles
    EXPECT_EQ(page.entries(), expected);
}

TEST_F(UserRosterTest, ALineFeedInANameShowsAndTheFileStaysAsItWas) {
    // The trainer ends a line at a carriage return only: a lone line feed is
    // part of the name, and must not make the entry look like two users.
    const QByteArray bytes = "\"Ann\nBob\"\r\n 0\r\n";
    users.write("1hist.dx", bytes);
    useLocation(users.path());
    page.roster->fillUserList();
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{QString::fromUtf8("Ann↵Bob"), 1}}));
    EXPECT_EQ(users.read("1hist.dx"), bytes);

    // Deleting it still finds the name it shows in the file.
    state.confirmDelete = false;
    page.select(QString::fromUtf8("Ann↵Bob"));
    page.panel->deleteSelectedName();
    EXPECT_FALSE(QFileInfo::exists(users.file("1hist.dx")));
}

TEST_F(UserRosterTest, EmptyOrRelativeLocationLiesInTheTrainersFolder) {
    writeUser("1hist.dx", "Home", program.path());
    QDir().mkdir(program.file("sub"));
    writeUser("1hist.dx", "Sub", program.file("sub/"));
    // The process's current folder holds other users, who must not appear.
    TestFolder elsewhere;
    writeUser("1hist.dx", "Stranger", elsewhere.path());
    QDir().mkdir(elsewhere.file("sub"));
    writeUser("1hist.dx", "Stranger", elsewhere.file("sub/"));
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));

    struct Case {
        const char* typed;
        const char* shown;
        const char* user;
    };
    const Case cases[] = {{"", "", "Home"}, {"hist home", "", "Home"}, {"sub", "sub/", "Sub"}};
    for (const Case& c : cases) {
        page.box->setText(QString::fromLatin1(c.typed));
        page.roster->fillUserList();
        EXPECT_EQ(page.box->text(), shown(QString::fromLatin1(c.shown))) << c.typed;
        EXPECT_EQ(page.entries(), (std::vector<Entry>{{QString::fromLatin1(c.user), 1}}))
            << c.typed;
    }
    QDir::setCurrent(saved);
    EXPECT_FALSE(QFileInfo::exists(program.file("hist home")));
}

TEST_F(UserRosterTest, MissingFolderIsOfferedOnlyAfterStartUp) {
    const QString missing = users.file("new/");
    page.rows().append(QStringLiteral("Earlier"), 0);

    // During start-up: no question, an empty list, nothing created.
    state.startupDone = false;
    useLocation(missing);
    page.roster->fillUserList();
    EXPECT_TRUE(page.entries().empty());
    EXPECT_FALSE(QFileInfo::exists(missing));

    // After start-up, No: verdict 1 and the list as it was.
    state.startupDone = true;
    page.rows().append(QStringLiteral("Earlier"), 0);
    dialogs.expectBox(createFolderQuestion(testing::missingFolderText(), shown(missing)),
                      MsgAnswer::No);
    page.roster->fillUserList();
    EXPECT_EQ(state.historyFolderState, HistoryFolderState::MissingNotCreated);
    EXPECT_EQ(page.entries().size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(missing));

    // Yes: the folder is made, empty, and so is the list.
    dialogs.expectBox(createFolderQuestion(testing::missingFolderText(), shown(missing)),
                      MsgAnswer::Yes);
    page.roster->fillUserList();
    EXPECT_EQ(state.historyFolderState, HistoryFolderState::Usable);
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_TRUE(testing::allNamesUnder(missing).isEmpty()) << "no probe file stays";
    EXPECT_TRUE(page.entries().empty());
}

TEST_F(UserRosterTest, ProbeLeavesAUsersFileNamedXxxxAlone) {
    users.write("xxxx", "not the program's");
    writeUser("1hist.dx", "Ann");
    useLocation(users.path());
    const QStringList before = testing::allNamesUnder(users.path());
    page.roster->fillUserList();
    EXPECT_EQ(users.read("xxxx"), "not the program's");
    EXPECT_EQ(testing::allNamesUnder(users.path()), before);
}

TEST_F(UserRosterTest, UnusableFolderKeepsTheListAndGivesVerdict99) {
    users.write("plain", "a file where a folder should be");
    page.rows().append(QStringLiteral("Earlier"), 0);
    useLocation(users.file("plain"));
    dialogs.expectBox(cannotReadReport(testing::notAFolderText(), shown(users.file("plain/"))),
                      MsgAnswer::Ok);
    page.roster->fillUserList();
    EXPECT_EQ(state.historyFolderState, HistoryFolderState::Unusable);
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Earlier", 0}}));

    QDir().mkdir(users.file("locked"));
    testing::ImmutableFolder locked(users.file("locked"));
    if (locked.ok()) {
        useLocation(users.file("locked/"));
        dialogs.expectBox(cannotReadReport(qt_error_string(EPERM), users.file("locked/")),
                          MsgAnswer::Ok);
        page.roster->fillUserList();
        EXPECT_EQ(state.historyFolderState, HistoryFolderState::Unusable);
    }
}

TEST_F(UserRosterTest, WindowsOnlyLocationIsNeverMadeIntoFilesOrFolders) {
    DEXLAN_LINUX_ONLY("drive letters and shares are ordinary locations on Windows");
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(users.path()));
    for (const char* location : {"C:\\HIST", "d:hist", "\\\\server\\share\\users"}) {
        const QString text = QString::fromLatin1(location);
        page.rows().clear();
        page.rows().append(QStringLiteral("Earlier"), 0);

        state.startupDone = false;
        page.box->setText(text);
        page.roster->fillUserList(); // start-up: quietly nothing
        EXPECT_TRUE(page.entries().empty()) << location;

        state.startupDone = true;
        page.rows().append(QStringLiteral("Earlier"), 0);
        dialogs.expectBox(cannotReadReport(windowsOnlyLocationText(), text), MsgAnswer::Ok);
        page.roster->fillUserList();
        EXPECT_EQ(state.historyFolderState, HistoryFolderState::Unusable) << location;
        EXPECT_EQ(page.box->text(), text) << "kept as the options file had it";
        EXPECT_EQ(page.entries().size(), 1u);

        dialogs.expectBox(cannotSaveReport(windowsOnlyLocationText(), text + "\\1HIST.DX"),
                          MsgAnswer::Ok);
        addNames({QStringLiteral("Ann")});
    }
    QDir::setCurrent(saved);
    EXPECT_TRUE(testing::allNamesUnder(program.path()).isEmpty());
    EXPECT_TRUE(testing::allNamesUnder(users.path()).isEmpty());
}

TEST_F(UserRosterTest, OneBadFileHidesNoOtherUser) {
    writeUser("1hist.dx", "Ann");
    writeUser("2hist.dx", "Bob");
    users.write("3hist.dx", ""); // e.g. left by a copy killed while writing
    writeUser("4hist.dx", "Cy");
    writeUser("5hist.dx", "Di");
    users.write("6HIST.DX", "");
    useLocation(users.path());
    const std::vector<Entry> everyone{{"Ann", 1}, {"Bob", 2}, {"Cy", 4}, {"Di", 5}};

    for (bool startupDone : {false, true}) {
        state.startupDone = startupDone;
        if (startupDone)
            dialogs.expectBox(cannotReadReport(QStringLiteral("The history file 3hist.dx is "
                                                              "empty.\r\nThe history file "
                                                              "6HIST.DX is empty."),
                                               shown(users.path())),
                              MsgAnswer::Ok);
        page.roster->fillUserList();
        EXPECT_EQ(page.entries(), everyone);
        EXPECT_EQ(state.historyFolderState, HistoryFolderState::Usable)
            << "the verdict is not changed";
    }

    // With every readable user listed, a name already in the folder is refused.
    dialogs.expectBox(duplicateNameReport(QStringLiteral("Di")), MsgAnswer::Ok);
    addNames({QStringLiteral("Di")});
    EXPECT_EQ(page.entries(), everyone);
    EXPECT_FALSE(QFileInfo::exists(users.file("7HIST.DX")));
}

TEST_F(UserRosterTest, FolderNamesLegalHereAreCreatedOnYes) {
    DEXLAN_LINUX_ONLY("a colon is an ordinary character in a folder name only there");
    // A colon is an ordinary character in a folder name here.
    const QString colon = users.file("class:7b/");
    useLocation(colon);
    dialogs.expectBox(createFolderQuestion(notFoundText(), colon), MsgAnswer::Yes);
    page.roster->fillUserList();
    EXPECT_TRUE(QFileInfo(colon).isDir());
    EXPECT_EQ(state.historyFolderState, HistoryFolderState::Usable);

    const QString colonToo = users.file("room:12/");
    useLocation(colonToo);
    dialogs.expectBox(addFolderQuestion(colonToo), MsgAnswer::Yes);
    addNames({QStringLiteral("Ann")});
    EXPECT_EQ(firstLine(colonToo + "1HIST.DX"), "\"Ann\"");
}

TEST_F(UserRosterTest, AFolderThatCannotBeMadeSaysWhy) {
    // Each is missing, so the question comes; Yes then fails for the reason given.
    QDir().mkdir(users.file("locked"));
    testing::ImmutableFolder locked(users.file("locked"));
    struct Case {
        QString folder;
        QString why;
    };
    std::vector<Case> cases = {{users.file("no/such/"), testing::missingFolderText()}};
    if (locked.ok())
        cases.push_back({users.file("locked/new/"), qt_error_string(EPERM)});
    for (const Case& c : cases) {
        useLocation(c.folder);
        dialogs.expectBox(createFolderQuestion(testing::missingFolderText(), shown(c.folder)),
                          MsgAnswer::Yes);
        dialogs.expectBox(cannotReadReport(c.why, shown(c.folder)), MsgAnswer::Ok);
        page.roster->fillUserList();
        EXPECT_EQ(state.historyFolderState, HistoryFolderState::Unusable) << c.folder.toStdString();
    }

    // No folder name holds a control character (a pasted line break, a NUL):
    // no question, and the message says so, whether the box is left or Enter
    // pressed; nothing is made.
    for (const QString& control :
         {QString(QChar(0)), QStringLiteral("\r\n"), QStringLiteral("\r"), QStringLiteral("\n"),
          QStringLiteral("\t"), QStringLiteral("\x7f")}) {
        const QString bad = users.path() + QStringLiteral("a") + control + QStringLiteral("b/");
        SCOPED_TRACE(bad.toStdString());
        useLocation(bad);
        dialogs.expectBox(cannotReadReport(controlCharacterInLocationText(), shown(bad)),
                          MsgAnswer::Ok);
        page.roster->fillUserList();
        EXPECT_EQ(state.historyFolderState, HistoryFolderState::Unusable);

        dialogs.expectBox(cannotReadReport(controlCharacterInLocationText(), shown(bad)),
                          MsgAnswer::Ok);
        page.pressKey(Qt::Key_Return, QStringLiteral("\r"));
        EXPECT_EQ(state.historyFolderState, HistoryFolderState::Unusable);

        dialogs.expectBox(
            cannotSaveReport(controlCharacterInLocationText(), shown(bad) + "1HIST.DX"),
            MsgAnswer::Ok);
        addNames({QStringLiteral("Ann")});
        EXPECT_EQ(testing::allNamesUnder(users.path()), QStringList{QStringLiteral("locked")});
    }
}

TEST_F(UserRosterTest, ModesWithoutFolderNeitherProbeNorChangeTheVerdict) {
    writeUser("1hist.dx", "Ann");
    for (const char* mode : {values::kHistNone, values::kHistDriveA}) {
        state.optionLines[EntryHistoryMode] = mode;
        // A missing folder asks nothing: no probe is made.
        page.rows().clear();
        page.rows().append(QStringLiteral("Earlier"), 0);
        for (HistoryFolderState verdict :
             {HistoryFolderState::MissingNotCreated, HistoryFolderState::Unusable}) {
            state.historyFolderState = verdict;
            useLocation(users.file("missing/"));
            page.roster->fillUserList();
            EXPECT_EQ(state.historyFolderState, verdict) << mode;
            EXPECT_EQ(page.entries().size(), 1u) << mode;
        }
        // An earlier verdict of 0 lets the list be rebuilt.
        state.historyFolderState = HistoryFolderState::Usable;
        useLocation(users.path());
        page.roster->fillUserList();
        EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 1}})) << mode;
    }
}

// --- The location box -----------------------------------------------------------

TEST_F(UserRosterTest, EnterNormalisesChecksAndMovesOn) {
    QDir().mkdir(program.file("Sub"));
    writeUser("1hist.dx", "Ann", program.file("Sub/"));
    page.activate();
    page.box->setFocus();
    ASSERT_TRUE(page.box->hasFocus());

    bool reachedTheBox = false;
    QObject::connect(page.box, &QLineEdit::returnPressed, [&] { reachedTheBox = true; });
    page.box->setText(QStringLiteral("Sub"));
    page.pressKey(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(reachedTheBox) << "the Enter key is swallowed";
    EXPECT_EQ(page.box->text(), shown(QStringLiteral("Sub/"))) << "case kept where names keep it";
    EXPECT_EQ(state.historyFolder, shown(QStringLiteral("Sub/")));
    EXPECT_FALSE(page.box->hasFocus());
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 1}})) << "leaving the box fills the list";

    // A verdict other than 0 keeps the focus for a correction.
    page.box->setFocus();
    page.box->setText(QStringLiteral("Missing"));
    dialogs.expectBox(
        createFolderQuestion(testing::missingFolderText(), shown(QStringLiteral("Missing/"))),
        MsgAnswer::No);
    page.pressKey(Qt::Key_Enter, QStringLiteral("\r"));
    EXPECT_TRUE(page.box->hasFocus());
    EXPECT_EQ(state.historyFolderState, HistoryFolderState::MissingNotCreated);
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 1}}));

    // Other keys reach the box.
    page.box->setText(QStringLiteral("Sub"));
    page.pressKey(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(page.box->text(), QStringLiteral("Suba"));
}

TEST_F(UserRosterTest, LeavingTheBoxRebuildsButAMessageBoxDoesNot) {
    writeUser("1hist.dx", "Ann");
    page.box->setText(users.path().chopped(1));

    QFocusEvent toMessageBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(page.box, &toMessageBox);
    EXPECT_TRUE(page.entries().empty());

    QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(page.box, &away);
    EXPECT_EQ(page.box->text(), shown(users.path()));
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 1}}));
}

// A new location typed into the box, then a double click on the list: the
// press moves the focus out of the box, which rebuilds the list from the new
// folder under the mouse. The click was aimed at the old list and does nothing.
TEST_F(UserRosterTest, ARebuildUnderTheMouseCancelsTheClick) {
    TestFolder other;
    QTest::mouseClick(page.list->viewport(), Qt::LeftButton); // focus for the list
    const struct {
        const char* how;
        std::function<void(QPoint)> click; // at a point of the list's viewport
    } cases[] = {
        {"double click through the window",
         [this](QPoint at) {
             QTest::mouseDClick(page.window.windowHandle(), Qt::LeftButton, {},
                                page.list->viewport()->mapTo(&page.window, at));
         }},
        {"double click event alone",
         [this](QPoint at) { QTest::mouseDClick(page.list->viewport(), Qt::LeftButton, {}, at); }},
        {"press and release",
         [this](QPoint at) {
             QTest::mousePress(page.list->viewport(), Qt::LeftButton, {}, at);
             QTest::mouseRelease(page.list->viewport(), Qt::LeftButton, {}, at);
         }},
    };
    page.activate();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        writeUser("1hist.dx", "Ann");
        writeUser("1hist.dx", "Zed", other.path());
        useLocation(users.path());
        page.roster->fillUserList();
        state.confirmDelete = false; // a double click would delete at once
        page.box->setFocus();
        ASSERT_TRUE(page.box->hasFocus());
        page.box->setText(other.path());

        const QPoint ann = page.list->visualRect(page.row(0)).center();
        c.click(ann);
        EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Zed", 1}}));
        EXPECT_TRUE(page.list->hasFocus());
        EXPECT_TRUE(!page.anySelected());
        EXPECT_FALSE(page.remove->isEnabled());
        EXPECT_EQ(firstLine(other.file("1hist.dx")), "\"Zed\"");

        // A moment later, the list the user now sees answers clicks as usual.
        QTest::mouseDClick(page.window.windowHandle(), Qt::LeftButton, {},
                           page.list->viewport()->mapTo(&page.window, ann),
                           QGuiApplication::styleHints()->mouseDoubleClickInterval() + 1);
        EXPECT_FALSE(QFileInfo::exists(other.file("1hist.dx")));
        EXPECT_TRUE(page.entries().empty());
        QFile::remove(users.file("1hist.dx"));
    }

    // Leaving the box without a new location changes nothing under the mouse.
    writeUser("1hist.dx", "Ann");
    useLocation(users.path());
    page.roster->fillUserList();
    page.box->setFocus();
    QTest::mouseClick(page.list->viewport(), Qt::LeftButton, {},
                      page.list->visualRect(page.row(0)).center());
    EXPECT_TRUE(page.list->hasFocus());
    EXPECT_EQ(page.list->selectionModel()->selectedIndexes().size(), 1);
    EXPECT_TRUE(page.remove->isEnabled());
}

TEST_F(UserRosterTest, WindowsPolicyShowsTheLocationInCapitals) {
    state.pathPolicy = PathPolicy::windows();
    state.startupDone = false; // no probe: this file system is not Windows'
    for (const char* typed : {"c:\\hist", "C:\\HIST\\", "c:\\Hist\\"}) {
        page.box->setText(QString::fromLatin1(typed));
        QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(page.box, &away);
        EXPECT_EQ(page.box->text(), QStringLiteral("C:\\HIST\\")) << typed;
        EXPECT_EQ(state.historyFolder, QStringLiteral("C:\\HIST\\")) << typed;
    }
}

TEST_F(UserRosterTest, ALongReadingShowsItsProgressAndTheControlsTakeNoInput) {
    for (int n = 1; n <= 700; ++n)
        writeUser(QString::number(n) + QStringLiteral("hist.dx"), "User " + QByteArray::number(n));
    useLocation(users.path());
    page.panel->setQuietReadingTime(0); // every reading counts as a long one
    page.activate();
    page.list->setFocus(); // leaving the location box reads the folder too
    const int readsBefore = page.roster->folderReads();

    // What the window paints, and the input that reaches the list, meanwhile.
    struct Watcher : QObject {
        RosterPage* page;
        QStringList painted;
        int keysWhileReading = 0;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (watched == page->status && event->type() == QEvent::Paint)
                painted << page->status->text();
            if (event->type() == QEvent::KeyPress && page->status->isVisible())
                ++keysWhileReading;
            return false;
        }
    } watcher;
    watcher.page = &page;
    page.status->installEventFilter(&watcher);
    page.list->installEventFilter(&watcher);

    // The user presses Down and Delete in the list and clicks "Add names"
    // while the folder is read.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Delete})
        QApplication::postEvent(page.list, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    const QPointF inAdd = QRectF(page.add->rect()).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QApplication::postEvent(page.add,
                                new QMouseEvent(type, inAdd, page.add->mapToGlobal(inAdd),
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    page.roster->fillUserList();

    ASSERT_FALSE(watcher.painted.isEmpty()) << "the window paints while the folder is read";
    EXPECT_TRUE(watcher.painted.front().startsWith(QStringLiteral("Reading users\u2026 ")));
    EXPECT_TRUE(watcher.painted.back().endsWith(QStringLiteral(" of 700")));
    EXPECT_EQ(watcher.keysWhileReading, 2) << "the keys came while the folder was read";
    EXPECT_TRUE(page.status->isHidden());
    EXPECT_EQ(page.entries().size(), 700u);
    EXPECT_FALSE(page.anySelected()) << "no key acted on the list";
    EXPECT_EQ(page.roster->folderReads(), readsBefore + 1);
    // Nor did the click open AddNamesDialog: the scripted dialogs expect none.
    QApplication::processEvents();
    EXPECT_FALSE(page.anySelected());
}

TEST_F(UserRosterTest, AReadingOutOfSightShowsItsProgressOverTheWindow) {
    // At start-up the list's page is not the one shown: the progress must be
    // seen all the same, and go with the reading.
    for (int n = 1; n <= 300; ++n)
        writeUser(QString::number(n) + QStringLiteral("hist.dx"), "User " + QByteArray::number(n));
    useLocation(users.path());
    page.panel->setQuietReadingTime(0);
    page.activate();
    page.list->hide();
    QStringList painted;
    struct Watcher : QObject {
        QStringList* painted;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint && watched->objectName() == "ReadingUsersInWindow")
                *painted << static_cast<QLabel*>(watched)->text();
            return false;
        }
    } watcher;
    watcher.painted = &painted;
    qApp->installEventFilter(&watcher);
    page.roster->fillUserList();

    ASSERT_FALSE(painted.isEmpty()) << "the progress is painted over the window";
    EXPECT_TRUE(painted.back().endsWith(QStringLiteral(" of 300")));
    EXPECT_TRUE(page.status->isHidden()) << "not on the page out of sight";
    qApp->removeEventFilter(&watcher);
    EXPECT_EQ(page.window.findChild<QLabel*>(QStringLiteral("ReadingUsersInWindow")), nullptr)
        << "gone with the reading";
    EXPECT_EQ(page.entries().size(), 300u);
}

TEST_F(UserRosterTest, AListComingIntoSightDuringTheReadingShowsItsProgressOnce) {
    // The page is chosen while the folder is read: the progress moves onto
    // the list, and the one shown over the window goes.
    for (int n = 1; n <= 600; ++n)
        writeUser(QString::number(n) + QStringLiteral("hist.dx"), "User " + QByteArray::number(n));
    useLocation(users.path());
    page.panel->setQuietReadingTime(0);
    page.panel->setProgressInterval(0);
    page.activate();
    page.list->hide();
    struct Watcher : QObject {
        QWidget* list = nullptr;
        QWidget* window = nullptr;
        QObject* onList = nullptr;
        int onTheList = 0;
        int bothShown = 0;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() != QEvent::Paint)
                return false;
            if (watched->objectName() == "ReadingUsersInWindow")
                list->show(); // the list comes into sight
            const auto* inWindow =
                window->findChild<QLabel*>(QStringLiteral("ReadingUsersInWindow"));
            if (watched == onList) {
                ++onTheList;
                if (inWindow && inWindow->isVisible())
                    ++bothShown;
            }
            return false;
        }
    } watcher;
    watcher.list = page.list;
    watcher.window = &page.window;
    watcher.onList = page.status;
    qApp->installEventFilter(&watcher);
    page.roster->fillUserList();
    qApp->removeEventFilter(&watcher);

    EXPECT_GT(watcher.onTheList, 0) << "the progress moved onto the list";
    EXPECT_EQ(watcher.bothShown, 0);
    EXPECT_EQ(page.entries().size(), 600u);
}

TEST_F(UserRosterTest, WhileTheFolderIsReadInTheBackgroundAPressWaitsForTheWholeList) {
    for (int n = 1; n <= 300; ++n)
        writeUser(QString::number(n) + QStringLiteral("hist.dx"), "User " + QByteArray::number(n));
    useLocation(users.path());
    page.activate();
    page.list->setFocus();
    const int readsBefore = page.roster->folderReads();
    page.roster->fillUserListInBackground();
    ASSERT_TRUE(page.roster->isReadingInBackground());
    for (QWidget* control : std::initializer_list<QWidget*>{page.list, page.add, page.remove})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();

    // Aimed at the list as it was: the press waits for the whole list and
    // selects nothing on it.
    QTest::mouseClick(page.list->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_FALSE(page.roster->isReadingInBackground());
    EXPECT_EQ(page.entries().size(), 300u);
    EXPECT_FALSE(page.anySelected());
    EXPECT_EQ(page.roster->folderReads(), readsBefore + 1);
    EXPECT_TRUE(page.list->isEnabled());
    EXPECT_TRUE(page.add->isEnabled());
    EXPECT_FALSE(page.remove->isEnabled()) << "no name is chosen";
    EXPECT_TRUE(page.list->hasFocus()) << "the focus comes back to the list";

    // The list now answers presses as usual.
    QTest::mouseClick(page.list->viewport(), Qt::LeftButton, {},
                      page.list->visualRect(page.row(0)).center());
    EXPECT_TRUE(page.anySelected());
    EXPECT_TRUE(page.remove->isEnabled());
}

TEST(ReadingUsersText, ThousandsGrouped) {
    EXPECT_EQ(readingUsersText(40000, 100000),
              QStringLiteral("Reading users\u2026 40,000 of 100,000"));
    EXPECT_EQ(readingUsersText(0, 7), QStringLiteral("Reading users\u2026 0 of 7"));
}

// --- Adding names ---------------------------------------------------------------

TEST_F(UserRosterTest, NewFileForAbcHasTheTrainersLayout) {
    useLocation(users.path());
    addNames({QStringLiteral("abc")});

    EXPECT_EQ(testing::allNamesUnder(users.path()), QStringList{QStringLiteral("1HIST.DX")});
    const QByteArray bytes = users.read("1HIST.DX");
    QList<QByteArray> lines = bytes.split('\n');
    ASSERT_TRUE(lines.back().isEmpty());
    lines.removeLast();
    ASSERT_EQ(lines.size(), 374);
    for (QByteArray& line : lines) {
        ASSERT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    EXPECT_EQ(lines[0], "\"abc\"");
    for (int i = 1; i <= 360; ++i)
        ASSERT_EQ(lines[i], " 0") << "line " << i + 1;
    EXPECT_EQ(lines[361], "xxxx1");
    EXPECT_EQ(lines[362], " 94");
    EXPECT_EQ(lines[363], " 0");
    EXPECT_EQ(lines[365], " 3001");
    EXPECT_EQ(lines[370], " 8046");
    for (int line : {365, 367, 368, 369, 370, 372, 373, 374}) {
        const QByteArray text = lines[line - 1];
        EXPECT_TRUE(text.startsWith(' ')) << line;
        EXPECT_GE(text.trimmed().toInt(), 200) << line;
        EXPECT_LE(text.trimmed().toInt(), 5000) << line;
    }
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"abc", 1}}));
    EXPECT_EQ(page.row(0).data(UserListModel::kHistoryFileRole).toString(), users.file("1HIST.DX"));
}

TEST_F(UserRosterTest, NumbersFillTheGapsAndNamesTakeTheirPlace) {
    writeUser("1hist.dx", "Carl");
    writeUser("2hist.dx", "Ann");
    writeUser("4hist.dx", "Eve");
    useLocation(users.path());
    page.roster->fillUserList();

    addNames({QStringLiteral("bob"), QStringLiteral("adam")});
    EXPECT_EQ(page.entries(),
              (std::vector<Entry>{{"adam", 5}, {"Ann", 2}, {"bob", 3}, {"Carl", 1}, {"Eve", 4}}));
    EXPECT_EQ(firstLine(users.file("3HIST.DX")), "\"bob\"");
    EXPECT_EQ(firstLine(users.file("5HIST.DX")), "\"adam\"");

    // After user 2 is deleted the next new user gets 2 again.
    page.select(QStringLiteral("Ann"));
    expectDeleteQuestion(QStringLiteral("Ann"), MsgAnswer::Ok);
    page.panel->deleteSelectedName();
    addNames({QStringLiteral("Dora")});
    EXPECT_EQ(firstLine(users.file("2HIST.DX")), "\"Dora\"");
    EXPECT_FALSE(testing::allNamesUnder(users.path()).contains(QStringLiteral("2hist.dx")));
}

TEST_F(UserRosterTest, DuplicateNamesAreRefusedWhateverTheBlanksOrTheSpellingOfALetter) {
    writeUser("1hist.dx", "Ann");
    useLocation(users.path());
    page.roster->fillUserList();

    dialogs.expectBox(duplicateNameReport(QStringLiteral("Ann")), MsgAnswer::Ok);
    dialogs.onNextModal([](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
        text->setText(QStringLiteral("Ann"));
        ok->click();
        EXPECT_TRUE(text->text().isEmpty()) << "the box is emptied after the duplicate";
        EXPECT_TRUE(dialog.isVisible());
        text->setText(QStringLiteral("ann")); // letter case tells names apart
        ok->click();
        text->setText(QString::fromUtf8("  Zoe\xcc\x88\xc2\xa0Ray ")); // blanks, e + diaeresis
        ok->click();
        ok->click();
    });
    page.panel->addNames();
    EXPECT_EQ(page.entries(),
              (std::vector<Entry>{{"Ann", 1}, {"ann", 2}, {QString::fromUtf8("Zoë\u00a0Ray"), 3}}));
    EXPECT_EQ(users.read("3HIST.DX").left(9), "\"Zo\xeb\xa0Ray\"") << "composed, in the code page";

    // Each spelling of a name on the list is that name.
    for (const char* same : {"Ann ", " Ann", "Zo\xc3\xab Ray", "Zoe\xcc\x88\tRay"}) {
        dialogs.expectBox(duplicateNameReport(cleanedName(QString::fromUtf8(same))), MsgAnswer::Ok);
        dialogs.onNextModal([same](QDialog& dialog) {
            auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
            auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
            text->setText(QString::fromUtf8(same));
            ok->click();
            ok->click();
        });
        page.panel->addNames();
    }
    EXPECT_EQ(page.entries().size(), 3u);
}

TEST_F(UserRosterTest, NamesLineOneCannotHoldAreRefusedAndNothingIsWritten) {
    struct Case {
        QString name;
        UnstorableReason reason;
    };
    const Case cases[] = {
        {QStringLiteral("Ann\r\nBob"), UnstorableReason::ControlCharacter},
        {QStringLiteral("Ann\tBob"), UnstorableReason::ControlCharacter},
        {QString::fromUtf8("Ωmega"), UnstorableReason::OutsideCodePage},
        {QString::fromUtf8("Zoë 😀"), UnstorableReason::OutsideCodePage},
    };
    useLocation(users.path());
    for (const Case& c : cases) {
        dialogs.expectBox(unstorableNameReport(c.name, c.reason, CodePage::windows1252()),
                          MsgAnswer::Ok);
        dialogs.onNextModal([&c](QDialog& dialog) {
            auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
            auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
            text->setText(c.name);
            ok->click();
            EXPECT_EQ(text->text(), c.name) << "the name stays for correction";
            text->clear();
            ok->click();
        });
        page.panel->addNames();
    }
    EXPECT_TRUE(testing::allNamesUnder(users.path()).isEmpty());
    EXPECT_TRUE(page.entries().empty());
}

TEST_F(UserRosterTest, AStaleListNeverCostsAUserTheirFile) {
    useLocation(users.path());
    page.roster->fillUserList();               // the list is empty...
    writeUser("1hist.dx", "Zed");              // ...when another administrator adds Zed
    users.write("2hist.dx", "\"\"\r\n 0\r\n"); // and a file holds the empty name

    addNames({QStringLiteral("Ann"), QStringLiteral("Bob")});
    EXPECT_EQ(firstLine(users.file("1hist.dx")), "\"Zed\"");
    // The empty-name file is reused under its own spelling, not joined by a second.
    EXPECT_EQ(firstLine(users.file("2hist.dx")), "\"Ann\"");
    EXPECT_EQ(firstLine(users.file("3HIST.DX")), "\"Bob\"");
    EXPECT_EQ(testing::allNamesUnder(users.path()),
              (QStringList{QStringLiteral("1hist.dx"), QStringLiteral("2hist.dx"),
                           QStringLiteral("3HIST.DX")}));
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 2}, {"Bob", 3}, {"Zed", 1}}));
}

TEST_F(UserRosterTest, AnEmptyNameFileIsReplacedNeverWrittenThroughNorInTheWay) {
    DEXLAN_LINUX_ONLY("the first file is a symbolic link, which QFile::link makes only there");
    const QByteArray emptyName = "\"\"\r\n 0\r\n";
    TestFolder outside;
    outside.write("template.dx", emptyName);
    ASSERT_TRUE(QFile::link(outside.file("template.dx"), users.file("1hist.dx")));
    users.write("2hist.dx", emptyName);
    testing::ImmutableFolder locked(users.file("2hist.dx"));
    useLocation(users.path());
    page.roster->fillUserList();

    addNames({QStringLiteral("Ann"), QStringLiteral("Bob")});
    // The link gave way to Ann's own file; the file it pointed to is untouched.
    EXPECT_FALSE(QFileInfo(users.file("1hist.dx")).isSymLink());
    EXPECT_EQ(firstLine(users.file("1hist.dx")), "\"Ann\"");
    EXPECT_EQ(outside.read("template.dx"), emptyName);
    // A file that cannot be replaced costs its number, not every add.
    const int bobsNumber = locked.ok() ? 3 : 2;
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 1}, {"Bob", bobsNumber}}));
    if (locked.ok())
        EXPECT_EQ(users.read("2hist.dx"), emptyName);
}

TEST_F(UserRosterTest, TwoCopiesAddingToOneFolderNeverShareAFile) {
    SharedState otherState = state;
    ScriptedDialogs otherDialogs;
    RosterPage other(otherState, otherDialogs);
    useLocation(users.path());
    other.box->setText(users.path());
    otherState.historyFolder = users.path();
    page.roster->fillUserList();
    other.roster->fillUserList();

    addNames({QStringLiteral("Ann")});
    otherDialogs.onNextModal([](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
        text->setText(QStringLiteral("Bob"));
        ok->click();
        ok->click();
    });
    other.panel->addNames();

    EXPECT_EQ(firstLine(users.file("1HIST.DX")), "\"Ann\"");
    EXPECT_EQ(firstLine(users.file("2HIST.DX")), "\"Bob\"");
    EXPECT_EQ(other.entries(), (std::vector<Entry>{{"Ann", 1}, {"Bob", 2}}));
}

TEST_F(UserRosterTest, ANameIsCheckedAgainstTheFolderAsItIsWhenAdding) {
    writeUser("1hist.dx", "Bob");
    useLocation(users.path());
    page.roster->fillUserList();

    // A second copy of the program, its list read at the same time.
    SharedState otherState = state;
    ScriptedDialogs otherDialogs;
    RosterPage other(otherState, otherDialogs);
    other.box->setText(users.path());
    other.roster->fillUserList();

    addNames({QStringLiteral("Ann")});
    ASSERT_EQ(firstLine(users.file("2HIST.DX")), "\"Ann\"");
    otherDialogs.expectBox(duplicateNameReport(QStringLiteral("Ann")), MsgAnswer::Ok);
    otherDialogs.onNextModal([](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
        text->setText(QStringLiteral("Ann"));
        ok->click();
        ok->click();
    });
    other.panel->addNames();
    EXPECT_TRUE(otherDialogs.allAnswersUsed());
    EXPECT_EQ(other.entries(), (std::vector<Entry>{{"Ann", 2}, {"Bob", 1}}))
        << "the list shows the folder as it is";

    // A file put in the folder by hand after the list was read counts too.
    writeUser("7hist.dx", "Cy");
    dialogs.expectBox(duplicateNameReport(QStringLiteral("Cy")), MsgAnswer::Ok);
    addNames({QStringLiteral("Cy")});
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 2}, {"Bob", 1}, {"Cy", 7}}));
    EXPECT_EQ(testing::allNamesUnder(users.path()),
              (QStringList{QStringLiteral("1hist.dx"), QStringLiteral("2HIST.DX"),
                           QStringLiteral("7hist.dx")}));
}

TEST_F(UserRosterTest, AddingToAMissingFolderAsksFirst) {
    const QString missing = users.file("class/");
    useLocation(missing);
    dialogs.expectBox(addFolderQuestion(missing), MsgAnswer::No);
    dialogs.onNextModal([](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        text->setText(QStringLiteral("Ann"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        EXPECT_EQ(text->text(), QStringLiteral("Ann"));
        text->clear();
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    page.panel->addNames();
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(page.entries().empty());

    dialogs.expectBox(addFolderQuestion(missing), MsgAnswer::Yes);
    addNames({QStringLiteral("Ann")});
    EXPECT_EQ(firstLine(missing + "1HIST.DX"), "\"Ann\"");
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Ann", 1}}));
}

TEST_F(UserRosterTest, CannotSaveLeavesNoFileAndKeepsTheName) {
    users.write("plain", "x");
    QDir().mkdir(users.file("locked"));
    struct Case {
        const char* what;
        QString folder;
        QString errorText;
        QString triedPath;
        std::function<std::unique_ptr<testing::FileSizeLimit>()> limit;
    };
    const std::vector<Case> cases = {
        {"path through a file", shown(users.file("plain/")), testing::notAFolderText(),
         shown(users.file("plain/")) + "1HIST.DX", nullptr},
#ifdef Q_OS_UNIX // Linux-only: a file-size limit stands for the full disk
        {"disk full while writing", users.path(), qt_error_string(EFBIG), users.file("1HIST.DX"),
         [] { return std::make_unique<testing::FileSizeLimit>(1000); }},
#endif
    };
    for (const Case& c : cases) {
        useLocation(c.folder);
        const QStringList before = testing::allNamesUnder(users.path());
        dialogs.expectBox(cannotSaveReport(c.errorText, c.triedPath), MsgAnswer::Ok);
        dialogs.onNextModal([&c](QDialog& dialog) {
            auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
            auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
            text->setText(QStringLiteral("Ann"));
            {
                auto limit = c.limit ? c.limit() : nullptr;
                ok->click();
            }
            EXPECT_EQ(text->text(), QStringLiteral("Ann")) << c.what;
            text->clear();
            ok->click();
        });
        page.panel->addNames();
        EXPECT_EQ(testing::allNamesUnder(users.path()), before) << c.what;
        EXPECT_TRUE(page.entries().empty()) << c.what;
    }

    testing::ImmutableFolder locked(users.file("locked"));
    if (locked.ok()) {
        useLocation(users.file("locked/"));
        dialogs.expectBox(cannotSaveReport(qt_error_string(EPERM), users.file("locked/1HIST.DX")),
                          MsgAnswer::Ok);
        addNames({QStringLiteral("Ann")});
        EXPECT_TRUE(page.entries().empty());
    }
}

TEST_F(UserRosterTest, AddNamesDialogDialogTextsKeysAndLimit) {
    useLocation(users.path());
    dialogs.onNextModal([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("NameIn"));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add a name..."));
        auto& nameIn = static_cast<AddNamesDialog&>(dialog);
        EXPECT_EQ(nameIn.label(0)->text(),
                  QStringLiteral("To add a name or names to the user list, type the name and "
                                 "press Enter.  You may add as many names as you like."));
        EXPECT_EQ(nameIn.label(1)->text(), QStringLiteral("When you have finished, press OK."));
        EXPECT_EQ(dialog.findChildren<QLabel*>(QStringLiteral("Label1")).size(), 2);
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        EXPECT_TRUE(ok->isDefault());
        // A screen reader names the box and says what OK does.
        EXPECT_EQ(text->accessibleName(), QStringLiteral("Name to add"));
        EXPECT_FALSE(ok->accessibleDescription().isEmpty());

        // No more than 30 characters can be typed.
        text->clear();
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QString(31, QLatin1Char('x')));
        QApplication::sendEvent(text, &typed);
        EXPECT_EQ(text->text().size(), 30);

        auto press = [&dialog, text](int key) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(text, &event);
            if (event.isAccepted())
                return;
            QKeyEvent toDialog(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &toDialog);
        };
        text->setText(QStringLiteral("Enter"));
        press(Qt::Key_Return);
        text->setText(QStringLiteral("Escape"));
        press(Qt::Key_Escape); // Esc adds the name, as OK does
        EXPECT_TRUE(dialog.isVisible());
        press(Qt::Key_Escape); // and with an empty box closes the window
        EXPECT_FALSE(dialog.isVisible());
    });
    page.panel->addNames();
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Enter", 1}, {"Escape", 2}}));
    EXPECT_EQ(dialogs.modalsShown, QStringList{QStringLiteral("NameIn")});
}

TEST_F(UserRosterTest, AddNamesDialogGetsTheFocusAndHandsItBackToThePage) {
    useLocation(users.path());
    page.activate();
    dialogs.onNextModal([](QDialog& dialog) {
        dialog.activateWindow();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(),
                  dialog.findChild<QLineEdit*>(QStringLiteral("Text1")));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    page.add->click(); // "&Add names"
    QApplication::setActiveWindow(&page.window);
    EXPECT_TRUE(page.page->hasFocus());
}

// --- Deleting names -------------------------------------------------------------

TEST_F(UserRosterTest, DeleteAsksOncePerLoadingOfTheWindow) {
    writeUser("1hist.dx", "Ann");
    writeUser("2hist.dx", "Bob");
    writeUser("3hist.dx", "Cy");
    useLocation(users.path());
    page.roster->fillUserList();
    page.activate();

    // Cancel: nothing changes, and the next deletion asks again.
    page.select(QStringLiteral("Ann"));
    EXPECT_TRUE(page.remove->isEnabled()) << "a click on a name enables Delete";
    expectDeleteQuestion(QStringLiteral("Ann"), MsgAnswer::Cancel);
    page.remove->click();
    EXPECT_TRUE(state.confirmDelete);
    EXPECT_TRUE(QFileInfo::exists(users.file("1hist.dx")));
    EXPECT_EQ(page.entries().size(), 3u);

    // OK: deleted, and no more questions.
    expectDeleteQuestion(QStringLiteral("Ann"), MsgAnswer::Ok);
    page.remove->click();
    EXPECT_FALSE(state.confirmDelete);
    EXPECT_FALSE(QFileInfo::exists(users.file("1hist.dx")));
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Bob", 2}, {"Cy", 3}}));
    EXPECT_TRUE(!page.anySelected());
    EXPECT_FALSE(page.remove->isEnabled());
    EXPECT_TRUE(page.list->hasFocus());

    // A name chosen with the arrow keys enables Delete too.
    page.list->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(page.list, &down);
    ASSERT_TRUE(page.anySelected());
    EXPECT_TRUE(page.remove->isEnabled()) << "a name chosen from the keyboard enables Delete";

    // A double click deletes in the same way.
    page.select(QStringLiteral("Cy"));
    emit page.list->doubleClicked(page.list->currentIndex());
    EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Bob", 2}}));
    EXPECT_FALSE(QFileInfo::exists(users.file("3hist.dx")));

    // Loading the window again asks again.
    state.confirmDelete = true;
    page.select(QStringLiteral("Bob"));
    expectDeleteQuestion(QStringLiteral("Bob"), MsgAnswer::Ok);
    page.panel->deleteSelectedName();
    EXPECT_TRUE(page.entries().empty());
}

TEST_F(UserRosterTest, DeletingUser12RemovesTheFileInWhateverCase) {
    state.confirmDelete = false;
    for (const char* spelling : {"12hist.dx", "12HIST.DX", "12Hist.Dx"}) {
        writeUser(QString::fromLatin1(spelling), "Ann");
        writeUser("012hist.dx", "Other");
        useLocation(users.path());
        page.roster->fillUserList();
        page.select(QStringLiteral("Ann"));
        page.panel->deleteSelectedName();
        // Gone from the folder the trainer lists; held in the hidden folder beside.
        EXPECT_EQ(QDir(users.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("012hist.dx")})
            << spelling;
        EXPECT_EQ(page.entries(), (std::vector<Entry>{{"Other", 12}})) << spelling;
    }

    // An entry that does not tell its file is found by its number.
    users.write("12HIST.DX", "\"Bob\"\r\n");
    page.rows().clear();
    page.rows().append(QStringLiteral("Bob"), 12);
    page.select(QStringLiteral("Bob"));
    page.panel->deleteSelectedName();
    EXPECT_EQ(QDir(users.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("012hist.dx")});
    EXPECT_EQ(listHeldNames(users.path()).size(), 4u);
}

TEST_F(UserRosterTest, DeleteRemovesTheListedFileEvenAfterTheLocationChanged) {
    TestFolder other;
    writeUser("1hist.dx", "Ann");
    writeUser("1hist.dx", "Zed", other.path());
    useLocation(users.path());
    page.roster->fillUserList();
    useLocation(other.path()); // typed, but the list still shows the first folder

    state.confirmDelete = false;
    page.select(QStringLiteral("Ann"));
    page.panel->deleteSelectedName();
    EXPECT_FALSE(QFileInfo::exists(users.file("1hist.dx")));
    EXPECT_EQ(firstLine(other.file("1hist.dx")), "\"Zed\"");
}

TEST_F(UserRosterTest, DeleteKillsOnlyAFileThatStillHoldsTheListedName) {
    struct Case {
        QByteArray nowInFile;
        QString nameNow; // as the message names it; empty for no name
        std::vector<Entry> listAfter;
    };
    const Case cases[] = {
        {"\"Zed\"\r\n 0\r\n", QStringLiteral("Zed"), {{"Bob", 2}, {"Zed", 1}}},
        {"\"\"\r\n 0\r\n", {}, {{"Bob", 2}}},
        {"", {}, {{"Bob", 2}}},
    };
    state.confirmDelete = false;
    for (const Case& c : cases) {
        writeUser("1hist.dx", "Ann");
        writeUser("2hist.dx", "Bob");
        useLocation(users.path());
        page.roster->fillUserList();
        // Another administrator gives number 1 to somebody else meanwhile.
        users.write("1hist.dx", c.nowInFile);

        page.select(QStringLiteral("Ann"));
        const MsgBoxRequest report =
            replacedFileReport(QStringLiteral("Ann"), c.nameNow, shown(users.path()) + "1hist.dx");
        EXPECT_TRUE(report.prompt.contains(QStringLiteral("Ann")) &&
                    report.prompt.contains(c.nameNow));
        dialogs.expectBox(report, MsgAnswer::Ok);
        if (c.nowInFile.isEmpty()) // the rebuild names the empty file
            dialogs.expectBox(cannotReadReport(QStringLiteral("The history file 1hist.dx is "
                                                              "empty."),
                                               shown(users.path())),
                              MsgAnswer::Ok);
        page.panel->deleteSelectedName();
        EXPECT_EQ(users.read("1hist.dx"), c.nowInFile);
        EXPECT_EQ(page.entries(), c.listAfter) << c.nowInFile.toStdString();
        EXPECT_FALSE(page.remove->isEnabled());
    }
}

TEST_F(UserRosterTest, FailedOrRefusedDeletionsChangeNothing) {
    writeUser("1hist.dx", "Ann");
    writeUser("-5hist.dx", "Minus");
    useLocation(users.path());
    page.roster->fillUserList();
    QFile::remove(users.file("1hist.dx")); // gone before the deletion

    page.select(QStringLiteral("Ann"));
    expectDeleteQuestion(QStringLiteral("Ann"), MsgAnswer::Ok);
    dialogs.expectBox(cannotDeleteReport(notFoundText(), shown(users.path()) + "1hist.dx"),
                      MsgAnswer::Ok);
    page.panel->deleteSelectedName();
    EXPECT_EQ(page.entries().size(), 2u);
    EXPECT_TRUE(page.list->selectionModel()->isSelected(page.list->currentIndex()));
    EXPECT_EQ(page.list->currentIndex().data().toString(), QStringLiteral("Ann"));

    // An entry below 1 names no history file: refused before any question.
    state.confirmDelete = true;
    page.select(QStringLiteral("Minus"));
    dialogs.expectBox(noUserNumberReport(QStringLiteral("Minus")), MsgAnswer::Ok);
    page.panel->deleteSelectedName();
    EXPECT_TRUE(state.confirmDelete);
    EXPECT_TRUE(QFileInfo::exists(users.file("-5hist.dx")));
    EXPECT_EQ(page.entries().size(), 2u);

    // Nothing selected, or "D&elete all": nothing at all.
    page.list->clearSelection();
    page.panel->deleteSelectedName();
    page.removeAll->click();
    EXPECT_EQ(page.entries().size(), 2u);
    EXPECT_TRUE(QFileInfo::exists(users.file("-5hist.dx")));
}

} // namespace
} // namespace dexlan
