// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"
#include "options_window/option_buttons.h"
#include "platform/code_page.h"

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;

namespace dexlan {

class UserListPanel;
class UserRoster;

// The History Files page: how the trainer keeps its users' history files, the
// user list and the history location.
class HistoryPage : public QWidget {
    Q_OBJECT
  public:
    explicit HistoryPage(QWidget* parent);

    // Makes the controls, the user list panel showing roster's list among
    // them; the window calls it once it has set its colours, and puts the
    // history option buttons in historyModeFrame().
    void build(UserRoster& roster);

    // What the page asks of the rest of the window.
    struct Surroundings {
        std::function<QRadioButton*(OptionId)> optionButton;
        std::function<void()> fillUserList;
        // The status line goes to the summary's history row too.
        std::function<void(const QString&)> copyStatusToSummary;
        std::function<bool()> onView; // the page is the one on view
    };
    // Brings the page into line with entries 3, 4 and 5.
    void showExplanation(const OptionLines& lines, const Surroundings& around,
                         const CodePage& codePage = CodePage::windows1252());

    // No user chosen: the selection cleared and Delete name disabled.
    void clearUserChoice();

    QGroupBox* historyModeFrame() const { return m_historyModeFrame; }
    QLineEdit* locationEdit() const { return m_locationEdit; }
    UserListPanel* userListPanel() const { return m_userListPanel; }
    QListView* userList() const;
    QPushButton* addNamesButton() const;
    QPushButton* deleteNameButton() const;
    QPushButton* deleteAllButton() const;
    QLabel* locationStatus() const { return m_locationStatus; }
    QLabel* readingStatus() const;

  private:
    QLabel* m_historyHeading = nullptr;      // Label19
    QLabel* m_installationText = nullptr;    // Label21
    QLabel* m_modeHeading = nullptr;         // Label22
    QLabel* m_modeExplanation = nullptr;     // Label3
    QLabel* m_locationPrompt = nullptr;      // Label23
    QLabel* m_locationStatus = nullptr;      // Label20
    QGroupBox* m_historyModeFrame = nullptr; // Frame8
    QGroupBox* m_locationFrame = nullptr;    // Frame9
    QGroupBox* m_userListFrame = nullptr;    // Frame10
    QLineEdit* m_locationEdit = nullptr;     // Text1
    // List1, Command1, Command2, Command3, and the progress over List1.
    UserListPanel* m_userListPanel = nullptr;
};

} // namespace dexlan
