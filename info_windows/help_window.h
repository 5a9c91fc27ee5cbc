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

    QLabel* picture1() const { return m_picture1; }
    QLabel* label1(int element) const;
    QLabel* label3(int element) const;
    QPushButton* command1() const { return m_command1; }

  private:
    QLabel* m_picture1;
    QLabel* m_label1[2];
    QLabel* m_label3;
    QPushButton* m_command1;
};

} // namespace dexlan
