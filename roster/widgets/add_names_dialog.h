// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dexlan {

// "Add a name...": the user types one name at a time and presses OK (or Enter,
// or Esc) for each; OK with an empty box closes the window. What OK does is up
// to whoever listens to okPressed. Its objectName stays "NameIn".
class AddNamesDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AddNamesDialog(QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_nameEdit; }             // Text1
    QPushButton* okButton() const { return m_okButton; }           // Command1
    QLabel* label(int element) const { return m_labels[element]; } // Label1(0), Label1(1)

  signals:
    void okPressed();
    // More than one line was pasted into the name box: a class list.
    void severalNamesPasted(const QStringList& names);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Paste from the keyboard or the box's menu: several lines are several names.
    void pasteNames();

    QLabel* m_labels[2] = {};          // Label1(0), Label1(1)
    QLineEdit* m_nameEdit = nullptr;   // Text1
    QPushButton* m_okButton = nullptr; // Command1
};

} // namespace dexlan
