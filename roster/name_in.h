#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dexlan {

// "Add a name...": the user types one name at a time and presses OK (or Enter,
// or Esc) for each; OK with an empty box closes the window. What OK does is up
// to whoever listens to okPressed.
class NameIn : public QDialog {
    Q_OBJECT
  public:
    explicit NameIn(QWidget* parent = nullptr);

    QLineEdit* nameBox() const { return m_text1; }                 // Text1
    QPushButton* okButton() const { return m_command1; }           // Command1
    QLabel* label(int element) const { return m_label1[element]; } // Label1(0), Label1(1)

  signals:
    void okPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* m_label1[2] = {};
    QLineEdit* m_text1 = nullptr;
    QPushButton* m_command1 = nullptr;
};

} // namespace dexlan
