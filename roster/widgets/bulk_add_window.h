// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace dexlan {

class Dialogs;
class UserRoster;
struct BulkAddResult;

// The one window that ends adding many names: the names added, and those
// refused with the reason for each.
class AddSummaryWindow : public QDialog {
    Q_OBJECT
  public:
    AddSummaryWindow(const BulkAddResult& result, QWidget* parent = nullptr);

    QPlainTextEdit* summary() const { return m_summary; }
    QPushButton* okButton() const { return m_okButton; }

  private:
    QLabel* m_heading = nullptr;
    QPlainTextEdit* m_summary = nullptr;
    QPushButton* m_okButton = nullptr;
};

// Adds names (a pasted or read class list) to the roster's history folder:
// asks once how many it will add, adds each whole or not at all, shows the
// summary and reads the user list again.
void addNamesInBulk(UserRoster& roster, Dialogs& dialogs, const QStringList& names,
                    QWidget* parent);

// File, "Add names from a file…": asks for a text or CSV file and adds its names.
void addNamesFromFile(UserRoster& roster, Dialogs& dialogs, QWidget* parent);

// The class list in the file at path (chosen, or dropped onto the window):
// shown in the import preview, where how it is read can be changed, then
// added as addNamesInBulk adds.
void importClassList(UserRoster& roster, Dialogs& dialogs, const QString& path, QWidget* parent);

} // namespace dexlan
