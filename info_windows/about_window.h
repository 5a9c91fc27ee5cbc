#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace dexlan {

// "About": the program's name and version, the maker's details and the legal
// notice. The caller creates one for each showing and discards it afterwards.
class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);

    QLabel* picture2() const { return m_picture2; }
    QLabel* label1() const { return m_label1; }
    QLabel* label2() const { return m_label2; }
    QLabel* label3() const { return m_label3; }
    QLabel* label4() const { return m_label4; }
    QPushButton* command1() const { return m_command1; }

  private:
    void Form_Load();

    QLabel* m_picture2;
    QLabel* m_label1;
    QLabel* m_label2;
    QLabel* m_label3;
    QLabel* m_label4;
    QPushButton* m_command1;
};

// The maker's details and legal notice shown in About.
QString makerDetails();
QString legalNotice();

} // namespace dexlan
