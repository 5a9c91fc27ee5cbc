// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/code_page.h"

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

    QLabel* emblem() const { return m_emblem; }           // Picture2
    QLabel* programName() const { return m_programName; } // Label1
    QLabel* version() const { return m_version; }         // Label2
    QLabel* maker() const { return m_maker; }             // Label3
    QLabel* legal() const { return m_legal; }             // Label4
    QPushButton* okButton() const { return m_okButton; }  // Command1
    // Under the emblem: the code page in which names and the location are
    // read and written, so that a wrong one is seen before names look wrong.
    QLabel* codePage() const { return m_codePage; }
    void showCodePage(const CodePage& page);

  private:
    void fillTexts(); // Form_Load

    QLabel* m_emblem;
    QLabel* m_programName;
    QLabel* m_version;
    QLabel* m_maker;
    QLabel* m_legal;
    QLabel* m_codePage;
    QPushButton* m_okButton;
};

// The maker's details and legal notice shown in About.
QString makerDetails();
QString legalNotice();

} // namespace dexlan
