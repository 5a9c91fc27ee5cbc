// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/change_log.h"
#include "roster/core/held_names.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace dexlan {

class Dialogs;
class UserRoster;

// "Restore deleted names…": the users deleted within the last 30 days, with
// the date of each deletion; Restore puts one back, Erase now removes it for
// good after one question.
class RestoreWindow : public QDialog {
    Q_OBJECT
  public:
    // The held names are read in codePage, the trainer's.
    RestoreWindow(const QString& historyFolder, Dialogs& dialogs, QWidget* parent = nullptr,
                  const CodePage& codePage = CodePage::windows1252());

    QTreeWidget* heldList() const { return m_heldList; }
    QPushButton* restoreButton() const { return m_restoreButton; }
    QPushButton* eraseButton() const { return m_eraseButton; }
    QPushButton* closeButton() const { return m_closeButton; }
    // Whether any name was put back, so the user list must be read again.
    bool restoredAny() const { return m_restoredAny; }

    void restoreSelected();
    void eraseSelected();
    // Told of each name restored or erased, for the record of changes.
    void setRecorder(std::function<void(const LoggedChange&)> recorder) {
        m_recorder = std::move(recorder);
    }

  private:
    void reload();
    const HeldName* selected() const;

    QString m_historyFolder;
    CodePage m_codePage;
    Dialogs& m_dialogs;
    std::vector<HeldName> m_held;
    bool m_restoredAny = false;
    std::function<void(const LoggedChange&)> m_recorder;
    QLabel* m_keptFor = nullptr;
    QTreeWidget* m_heldList = nullptr;
    QPushButton* m_restoreButton = nullptr;
    QPushButton* m_eraseButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

// Shows the window for the roster's history folder, then reads the user list
// again when a name came back.
void showRestoreWindow(UserRoster& roster, Dialogs& dialogs, QWidget* parent);

} // namespace dexlan
