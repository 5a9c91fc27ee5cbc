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

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QWidget;

namespace dexlan {

class Dialogs;
class AddNamesDialog;

// The controls of the History Files page that the roster works on. The options
// window owns them; the roster only reads and drives them.
struct RosterControls {
    QLineEdit* locationEdit = nullptr;       // Text1
    QListView* userList = nullptr;           // List1
    QPushButton* addNamesButton = nullptr;   // Command1, "&Add names"
    QPushButton* deleteNameButton = nullptr; // Command2, "&Delete name"
    QPushButton* deleteAllButton = nullptr;  // Command3, "D&elete all" (hidden, no action)
    QWidget* historyPage = nullptr;          // picOptions element 1
    // Shown over the list while a long reading of the folder runs, with its progress.
    QLabel* readingStatus = nullptr;
};

// The history location, the user list and adding and deleting users.
class UserRoster : public QObject {
    Q_OBJECT
  public:
    // Wires the controls: Enter and focus loss of the location box, clicks and
    // double clicks on the list, and the Add and Delete buttons. The list
    // shows the service's model, which keeps the list's order.
    UserRoster(SharedState& state, Dialogs& dialogs, const RosterControls& controls,
               QObject* parent = nullptr);
    ~UserRoster() override;

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

    // The roster's state and actions, which this drives the controls for.
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
    // whatever does (a fill, adding, deleting, a press or key on the list)
    // first waits for the reading to end, showing its progress, and acts on
    // the whole list.
    void fillUserListInBackground();
    void startReadingInBackground();
    // Waits for a reading in the background to end and shows its list.
    void finishReading();
    // A reading in the background has not yet been shown.
    bool isReadingInBackground() const { return m_service->isReadingInBackground(); }
    // Deletes the selected user's history file and list entry.
    void deleteSelectedName();
    // "&Add names": AddNamesDialog, modal.
    void addNames();

    // The folder that history files are read from and written to now, ending
    // in a separator; empty for a location this computer cannot reach.
    QString historyFolderPath() const;
    // The folder as the messages show it.
    QString shownFolder() const;
    // The code page of the trainer's files, in which names are read and written.
    const CodePage& codePage() const { return m_state.codePage(); }

    // A reading of the folder shorter than this leaves the window as it is;
    // a longer one shows its progress and lets the window paint.
    void setQuietReadingTime(int milliseconds) { m_quietReadingMs = milliseconds; }
    // How often a long reading shows its progress and lets the window paint.
    void setProgressInterval(int milliseconds) { m_progressEveryMs = milliseconds; }

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
    class ReadingProgress;

    void normaliseLocation();
    // Checks the folder as every fill begins; false when no list is to be
    // filled from it.
    bool checkedForFilling();
    void locationEnterPressed();
    void locationLostFocus();
    // "OK" in AddNamesDialog.
    void addName(AddNamesDialog& dialog);
    // A reading of the folder the user waits for: its progress is shown once
    // it takes long; the window paints meanwhile but takes no input.
    void readingBegins();
    void readingEnds();
    // Ends a reading in the background (waiting for it, with its progress)
    // and shows its list, if the location is still the folder it read; true
    // when it did.
    bool settleReading();
    // The selected row, or -1.
    int selectedRow() const;
    // Mouse events on the list; true swallows the event.
    bool listMouseEvent(QObject* watched, QEvent* event);

    SharedState& m_state;
    Dialogs& m_dialogs;
    RosterControls m_controls;
    RosterService* m_service;
    QPointer<QListView> m_view; // the list, as long as it lives
    bool m_filling = false;
    int m_fills = 0;
    int m_quietReadingMs = 250;
    int m_progressEveryMs = 50;
    bool m_reading = false; // the folder is being read; the controls take no input
    // Shown while a reading the user waits for runs.
    std::unique_ptr<ReadingProgress> m_progress;

    // A click, or the two presses of a double click, acts on the list the user
    // saw when it began: a change of the list after its first press cancels it.
    struct ListGesture {
        int listChanges = -1; // m_listChanges when it began; -1: cancelled
        quint64 began = 0;    // time stamp of its first press
        bool started = false;
    };
    int m_listChanges = 0;
    ListGesture m_gesture;
    // The press that moved the focus onto the list rebuilt it on its way there.
    bool m_listChangedForPress = false;
};

} // namespace dexlan
