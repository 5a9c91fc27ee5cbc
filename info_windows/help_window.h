// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace dexlan {

// "Help": the introduction to the options window. It is created once, hidden
// between showings and shown again by the next request; its texts never change.
class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    QLabel* emblem() const { return m_emblem; }          // Picture1
    QLabel* instruction(int element) const;              // Label1, elements 0 and 1
    QLabel* introduction(int element) const;             // Label3, element 1
    QPushButton* okButton() const { return m_okButton; } // Command1

  private:
    QLabel* m_emblem;
    QLabel* m_instructions[2];
    QLabel* m_introduction;
    QPushButton* m_okButton;
};

} // namespace dexlan
