#pragma once

#include "options_file/shared_state.h"

#include <QObject>

class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace dexlan {

class Dialogs;

// The controls of the History Files page that the roster works on. The options
// window owns them; the roster only reads and drives them.
struct RosterControls {
    QLineEdit* locationBox = nullptr; // Text1
    QListWidget* userList = nullptr;  // List1
    QPushButton* addNames = nullptr;  // Command1, "&Add names"
    QPushButton* deleteName = nullptr; // Command2, "&Delete name"
    QPushButton* deleteAll = nullptr;  // Command3, "D&elete all" (hidden, no action)
    QWidget* historyPage = nullptr;    // picOptions element 1
};

// The history location, the user list and adding and deleting users.
class UserRoster : public QObject {
    Q_OBJECT
public:
    UserRoster(SharedState& state, Dialogs& dialogs, const RosterControls& controls,
               QObject* parent = nullptr);

    // Normalises the location box into HistoryFolder and, once start-up is
    // over, proves the folder usable; the verdict is HistoryFolderState.
    void CheckHistoryFolder();
    // Checks the folder, then rebuilds the user list from its history files.
    void FillUserList();
    // Deletes the selected user's history file and list entry.
    void DeleteSelectedName();
    // "&Add names": the NameIn dialog, modal.
    void AddNames();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SharedState& m_state;
    Dialogs& m_dialogs;
    RosterControls m_controls;
};

} // namespace dexlan
