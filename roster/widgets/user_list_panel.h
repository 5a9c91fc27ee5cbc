// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>

class QLabel;
class QListView;
class QPushButton;

namespace dexlan {

class AddNamesDialog;
class UserRoster;

// The user list of the History Files page with its two buttons and the
// progress shown over it while the folder is read. It shows the roster
// service's list and carries out adding and deleting through the service,
// telling the outcomes through Dialogs. While a reading runs (waited for, or
// on a thread of its own) its controls are disabled, so that no input acts on
// a list about to be replaced; a press on them waits for the reading.
class UserListPanel : public QWidget {
    Q_OBJECT
  public:
    // Makes the controls and shows roster's list in them.
    UserListPanel(UserRoster& roster, QWidget* parent);
    ~UserListPanel() override;

    // Where the controls stand, in the panel's coordinates.
    struct Places {
        QRect list;
        QRect addNames;
        QRect deleteName;
        QRect deleteAll;
    };
    void place(const Places& places);

    QListView* userList() const { return m_list; }
    QPushButton* addNamesButton() const { return m_addNames; }
    QPushButton* deleteNameButton() const { return m_deleteName; }
    QPushButton* deleteAllButton() const { return m_deleteAll; }
    // Shown over the list while a long reading of the folder runs, with its progress.
    QLabel* readingStatus() const { return m_readingStatus; }

    // "&Add names": AddNamesDialog, modal.
    void addNames();
    // Deletes the selected user's history file and list entry.
    void deleteSelectedName();
    // No user chosen: the selection cleared and Delete name disabled.
    void clearUserChoice();

    // A reading of the folder shorter than this leaves the window as it is;
    // a longer one shows its progress.
    void setQuietReadingTime(int milliseconds) { m_quietReadingMs = milliseconds; }
    // How often a long reading shows its progress.
    void setProgressInterval(int milliseconds) { m_progressEveryMs = milliseconds; }

    // Leaving the location box with a press on the list changed the list
    // under that press: the press and the rest of its double click are not
    // acted on.
    void listChangedUnderPress();

  protected:
    // A press on the controls while the folder is read in the background
    // waits for the whole list; a press under a changed list is dropped.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class ReadingProgress;

    // The selected row, or -1.
    int selectedRow() const;
    // "OK" in AddNamesDialog.
    void addName(AddNamesDialog& dialog);
    // A reading the user waits for begins and ends.
    void readingBegins();
    void readingEnds();
    // The controls take input unless a reading runs.
    void updateTakesInput();

    QPointer<UserRoster> m_roster;
    QWidget* m_controls;       // disabled while a reading runs
    QListView* m_list;         // List1
    QPushButton* m_addNames;   // Command1, "&Add names"
    QPushButton* m_deleteName; // Command2, "&Delete name"
    QPushButton* m_deleteAll;  // Command3, "D&elete all" (hidden, no action)
    QLabel* m_readingStatus;   // over List1 while the folder is read
    int m_quietReadingMs = 250;
    int m_progressEveryMs = 50;
    bool m_waitedReading = false;
    bool m_backgroundReading = false;
    // The control that had the focus as the controls were disabled.
    QPointer<QWidget> m_focusBeforeReading;
    std::unique_ptr<ReadingProgress> m_progress;
    // The press whose double click is not acted on: its time stamp, while set.
    bool m_droppingPress = false;
    quint64 m_droppedPressAt = 0;
    bool m_dropNextPress = false;
};

} // namespace dexlan
