// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/change_log.h"
#include "options_file/shared_state.h"
#include "roster/core/random_numbers.h"
#include "roster/core/roster_service.h"
#include "roster/core/user_list_model.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class QLineEdit;
class QWidget;

namespace dexlan {

class Dialogs;
class UserListPanel;

// The History Files page's roster: the history location, the reading of the
// user list, and the record of changes; the list itself is a UserListPanel.
class UserRoster : public QObject {
    Q_OBJECT
  public:
    UserRoster(SharedState& state, Dialogs& dialogs, QObject* parent = nullptr);
    ~UserRoster() override;

    // Wires the location box (Text1): its Enter and focus loss check it and
    // read the list again. page takes the focus when Enter leaves the box.
    void watchLocation(QLineEdit* locationEdit, QWidget* page);
    // The panel that shows the list; it tells itself.
    void setPanel(UserListPanel* panel);
    UserListPanel* panel() const;
    // The page that takes the focus back from the roster's windows.
    QWidget* page() const { return m_page; }
    Dialogs& dialogs() const { return m_dialogs; }

    // While one lives, the requests to rebuild the list coalesce, so that one
    // user action, such as choosing a page or an option, reads the folder once
    // however many routines ask for a fresh list. AtOnce: the first request
    // reads the folder, the others find the list just read (the location
    // still being checked each time). InBackground: the requests are noted,
    // and as the batch ends the folder is read once, on a thread of its own
    // (start-up, so that the window comes at once, whatever the number of
    // users).
    class RebuildBatch {
      public:
        enum When { AtOnce, InBackground };
        explicit RebuildBatch(UserRoster& roster, When when = AtOnce);
        ~RebuildBatch();
        RebuildBatch(const RebuildBatch&) = delete;
        RebuildBatch& operator=(const RebuildBatch&) = delete;

      private:
        UserRoster& m_roster;
        bool m_defers = false;
    };

    // The roster's state and actions, which the panel and the page call.
    RosterService& service() const { return *m_service; }
    UserListModel& model() const { return m_service->model(); }
    // How many times the folder's files were read for the list.
    int folderReads() const { return m_service->folderReads(); }

    // Normalises the location box into HistoryFolder and, once start-up is
    // over, proves the folder usable; the verdict is HistoryFolderState.
    void checkHistoryFolder();
    // Checks the folder, then rebuilds the user list from its history files.
    void fillUserList();
    // Adds a change made in the window to the record of changes; a record
    // that cannot be written is said once a session.
    void recordChange(const LoggedChange& change);
    // The same, the files being read on a thread of its own: the list is
    // shown once they are read. The reading begins with
    // startReadingInBackground(), or as soon as something needs the list:
    // whatever does (a fill, adding, a press on the panel's controls, which
    // are disabled meanwhile) first waits for the reading to end, showing its
    // progress, and acts on the whole list.
    void fillUserListInBackground();
    void startReadingInBackground();
    // Waits for a reading in the background to end and shows its list.
    void finishReading();
    // A reading in the background has not yet been shown.
    bool isReadingInBackground() const { return m_service->isReadingInBackground(); }

    // The folder that history files are read from and written to now, ending
    // in a separator; empty for a location this computer cannot reach.
    QString historyFolderPath() const;
    // The folder as the messages show it.
    QString shownFolder() const;
    // The code page of the trainer's files, in which names are read and written.
    const CodePage& codePage() const { return m_state.codePage(); }

    // Replaces the clock the random numbers of new files are mixed with.
    void setClock(RandomNumbers::Clock clock) { m_service->setClock(std::move(clock)); }
    // Records the change an action of the service made, shows what it has to
    // tell, and answers its status.
    RosterOutcome::Status shown(const RosterOutcome& outcome);
    // Asks the service's questions in message boxes.
    RosterQuestion asker();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void normaliseLocation();
    // Checks the folder as every fill begins; false when no list is to be
    // filled from it.
    bool checkedForFilling();
    void locationEnterPressed();
    void locationLostFocus();
    // Ends a reading in the background (waiting for it, with its progress)
    // and shows its list, if the location is still the folder it read; true
    // when it did.
    bool settleReading();

    SharedState& m_state;
    Dialogs& m_dialogs;
    QPointer<QLineEdit> m_locationEdit; // Text1
    QPointer<QWidget> m_page;           // picOptions element 1
    QPointer<UserListPanel> m_panel;
    RosterService* m_service;
    bool m_filling = false;
    int m_fills = 0;
};

} // namespace dexlan
