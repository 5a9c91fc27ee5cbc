// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"
#include "roster/random_numbers.h"
#include "roster/user_list_model.h"

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
class BackgroundListing;
struct UserListing;

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
    // shows the roster's own model, which keeps the list's order.
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

    UserListModel& model() const { return *m_model; }
    // How many times the folder's files were read for the list.
    int folderReads() const { return m_folderReads; }

    // Normalises the location box into HistoryFolder and, once start-up is
    // over, proves the folder usable; the verdict is HistoryFolderState.
    void checkHistoryFolder();
    // Checks the folder, then rebuilds the user list from its history files.
    void fillUserList();
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
    bool isReadingInBackground() const { return m_background != nullptr; }
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

    // Reads the list again from folder when its history files have changed
    // since the list was read; the folder's names alone tell, no file is
    // opened otherwise. Whatever adds users reads the list (names, numbers)
    // after this, as it is now.
    void refreshFromFolder(const QString& folder);
    // Users that were added to the folder other than through AddNamesDialog
    // (a class list): on the list where its order puts them, and counted into
    // the listed folder's digest, so that the next check does not read the
    // folder again for them.
    void listAddedUsers(std::vector<UserListModel::NewRow> users);

    // A reading of the folder shorter than this leaves the window as it is;
    // a longer one shows its progress and lets the window paint.
    void setQuietReadingTime(int milliseconds) { m_quietReadingMs = milliseconds; }
    // How often a long reading shows its progress and lets the window paint.
    void setProgressInterval(int milliseconds) { m_progressEveryMs = milliseconds; }

    // Replaces the clock the random numbers of new files are mixed with.
    void setClock(RandomNumbers::Clock clock) { m_random = RandomNumbers(std::move(clock)); }

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
    // Reads folder's users, showing the progress while it takes long; the
    // window paints meanwhile but takes no input.
    UserListing readFolder(const QString& folder);
    // Ends a reading in the background (waiting for it, with its progress)
    // and shows its list, if the location is still the folder it read; true
    // when it did.
    bool settleReading();
    // Replaces the list's entries with the users of a listing of folder, or
    // with the rows already made of them; report: the failures are also told
    // in a message box.
    void takeListing(const UserListing& listing, const QString& folder, bool report,
                     std::optional<UserListModel::Rows> rows = std::nullopt);
    // Counts a change the roster made itself to the file at path (whose part
    // of the digest was before) into the digest of the listed folder.
    void countChangeIn(const QString& path, quint64 before);
    // The selected row, or -1.
    int selectedRow() const;
    // Mouse events on the list; true swallows the event.
    bool listMouseEvent(QObject* watched, QEvent* event);

    SharedState& m_state;
    Dialogs& m_dialogs;
    RosterControls m_controls;
    RandomNumbers m_random;
    UserListModel* m_model;
    QPointer<QListView> m_view; // the list, as long as it lives
    bool m_filling = false;
    int m_fills = 0;
    int m_folderReads = 0;
    int m_quietReadingMs = 250;
    int m_progressEveryMs = 50;
    bool m_reading = false; // the folder is being read; the controls take no input
    int m_batchDepth = 0;
    bool m_readInBatch = false; // the list was read from m_listedFolder in this batch
    int m_deferDepth = 0;       // InBackground batches alive
    bool m_deferredRequest = false;
    // The reading on a thread of its own, until its list is shown.
    std::unique_ptr<BackgroundListing> m_background;
    bool m_backgroundReportsErrors = false;
    // The folder the list was read from and its history files' digest then.
    QString m_listedFolder;
    std::optional<quint64> m_listedDigest;

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
