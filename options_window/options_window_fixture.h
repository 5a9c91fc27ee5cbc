// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"
#include "options_window/options_window.h"
#include "platform/dialogs.h"
#include "roster/core/user_list_model.h"
#include "roster/widgets/user_roster.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QApplication>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace dexlan {

// Answers message boxes through a callback, so that a test can look at the
// window at the moment a box appears.
class WatchingDialogs final : public Dialogs {
  public:
    std::function<MsgAnswer(const MsgBoxRequest&)> onBox;
    QList<MsgBoxRequest> boxesShown;

    MsgAnswer msgBox(const MsgBoxRequest& request) override {
        boxesShown.push_back(request);
        return onBox ? onBox(request) : MsgAnswer::Ok;
    }
    QString openFile(const FileOpenRequest&) override { return {}; }
    void showModal(QDialog&) override {}
};

// A network installation with an open user list, the documentation installed,
// start-up over and the history location a fresh folder.
class OptionsWindowTest : public ::testing::Test {
  protected:
    OptionsWindowTest() {
        OptionLines& lines = state.optionLines;
        lines[EntryHeader] = "Options File";
        lines[EntryTitle] = "Corvantis Dexlan Training System 4";
        lines[EntryInstallation] = "network";
        lines[EntryHistoryMode] = "hist roster open";
        lines[EntryHistoryLocation] = "hist home";
        lines[EntryManualAdvance] = "f2 on";
        lines[EntrySounds] = "sfx all";
        lines[EntryDocuments] = "documents on";
        state.fileOptionLines = lines;
        state.programFolder = programFolder.path();
        state.docsInstalled = true;
        // No probe of the history folder and no message from the roster unless a
        // test asks for them.
        state.startupDone = false;
        state.screenScale = 1.0;
        state.pathPolicy = PathPolicy::native();
    }

    OptionsWindow& open(Dialogs& with) {
        window = std::make_unique<OptionsWindow>(state, with);
        window->setShowHelp([this] { ++helpShown; });
        window->setCloseMainWindow([this] { ++closeRequests; });
        window->resize(640, 440);
        return *window;
    }
    OptionsWindow& open() { return open(dialogs); }

    // Shows the window and makes it the active one, for tests of the focus.
    void showActive() {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T> T* find(const char* name) const {
        T* widget = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QRadioButton* option(const char* name) const { return find<QRadioButton>(name); }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    QGroupBox* frame(const char* name) const { return find<QGroupBox>(name); }
    QTabBar* tabs() const { return find<QTabBar>("tbsOptions"); }
    QListView* userList() const { return find<QListView>("List1"); }
    int userCount() const { return userList()->model()->rowCount(); }
    QString userText(int row) const { return userList()->model()->index(row, 0).data().toString(); }
    bool anyUserSelected() const { return userList()->selectionModel()->hasSelection(); }
    QPushButton* deleteName() const { return find<QPushButton>("Command2"); }
    // "&Delete name" as the roster and the window set it, whichever page is on view.
    bool deleteNameEnabled() const { return deleteName()->isEnabledTo(window->page(1)); }

    // Chooses a tab as the user does; the tab-click handler refreshes its page.
    void chooseTab(int tab) { tabs()->setCurrentIndex(tab - 1); }

    // A key typed while the control has the focus. A control that cannot take
    // the focus (on a parked page, for instance) does not get the key from the
    // user either, and the window ignores it too.
    void press(QWidget* control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        control->setFocus();
        QTest::keyClick(control, key, modifiers);
    }

    // A user entry in the list, selected as a click selects it.
    void addSelectedUser(const QString& name, const QString& historyFile = QString()) {
        UserListModel& rows = window->roster().model();
        rows.append(name, 1, historyFile);
        userList()->setCurrentIndex(rows.index(rows.rowCount() - 1));
        deleteName()->setEnabled(true);
    }

    testing::TestFolder programFolder;
    SharedState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<OptionsWindow> window;
    int helpShown = 0;
    int closeRequests = 0;
};

} // namespace dexlan
