// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"
#include "platform/message_box.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace dexlan {

class ChoicePage;
class Dialogs;
class HistoryPage;
class SummaryPage;
class UserListPanel;
class UserRoster;
class WindowKeys;
struct OptionButton;
enum class ExplanationPage;
enum class OptionId;

// The tabbed window on which the trainer's settings are shown and changed
// ("frmOptions"). Five pages, one per tab; the page on view is centred on the
// screen, the others are parked far off to the left and disabled.
class OptionsWindow : public QWidget {
    Q_OBJECT
  public:
    // Builds the window and runs load().
    OptionsWindow(SharedState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    ~OptionsWindow() override;

    // What start-up read from the options file: the history location as the
    // box shows it, and the installation type's caption on the summary.
    void showLoadedValues(const QString& locationText, const QString& installationCaption);
    // The Documentation row of the summary; hidden while the trainer is looked for.
    void setDocumentationRowVisible(bool visible);
    QString locationText() const;
    void setLocationText(const QString& text);

    QLineEdit* locationEdit(); // Text1
    // The summary's heading labels (rows 0, 1, 5, 6, 7, 10) and value labels
    // (rows 1, 5, 6, 7, 10); nullptr for a row the page does not have.
    QLabel* summaryHeading(int row); // Label1
    QLabel* summaryValue(int row);   // Label2
    UserRoster& roster();
    // The History Files page's user list with its buttons.
    UserListPanel& userListPanel();

    // Takes entry 5 from the location box, then brings page 1 to 5 into line
    // with OptionLines.
    void refreshPage(int page);
    int selectedTab() const; // 1 to 5

    // F1 shows Help modally; the application owns Help.
    void setShowHelp(std::function<void()> showHelp);
    // Escape and the Exit button close the main window.
    void setCloseMainWindow(std::function<void()> close);

    // The settings of the dialog that locates the trainer at start-up.
    static FileOpenRequest trainerLocationRequest(); // CommonDialog1

    // The pages' explanation routines; refreshPage and the option buttons run them.
    void showSummary();
    void showHistoryExplanation();
    void showAdvanceExplanation();
    void showSoundExplanation();
    void showDocumentsExplanation();

    QWidget* page(int element) const; // picOptions: the page of tab element + 1

  private:
    void buildTabStrip();
    void buildOptionButtons();
    void connectOptionButtons();
    void describeForAssistiveTechnology();
    void orderTabStops();

    void load();        // Form_Load
    void onTabChosen(); // tbsOptions_Click
    void showSelectedPage();
    // focused: the control the key was typed into.
    void onWindowKey(int key, Qt::KeyboardModifiers shift, const QObject* focused); // Form_KeyDown
    void onPageBackgroundPressed(); // picOptions_MouseDown
    void onExitClicked();           // Command4_Click
    void optionButtonSelected(const OptionButton& action);
    void onIncludeDocumentsChosen(); // Option13_Click

    void runExplanation(ExplanationPage page);
    void showChoice(ChoicePage* page);
    QRadioButton* radio(OptionId id) const;
    int centredLeft(int widthTwips) const;

    SharedState& m_state;
    Dialogs& m_dialogs;
    std::function<void()> m_showHelp;
    std::function<void()> m_closeMainWindow;

    QWidget* m_tabPane = nullptr;
    QTabBar* m_tabStrip = nullptr;     // tbsOptions
    std::array<QWidget*, 5> m_pages{}; // picOptions: the pages below, by tab
    SummaryPage* m_summaryPage = nullptr;
    HistoryPage* m_historyPage = nullptr;
    ChoicePage* m_advancePage = nullptr;
    ChoicePage* m_soundsPage = nullptr;
    ChoicePage* m_documentationPage = nullptr;

    // History mode, Lesson Advance, Sounds, Documentation.
    std::array<QButtonGroup*, 4> m_optionGroups{};   // Frame8, Frame2, Frame3, Frame12
    std::array<QRadioButton*, 13> m_optionButtons{}; // by OptionId

    UserRoster* m_roster = nullptr;
    std::unique_ptr<WindowKeys> m_keys;
};

} // namespace dexlan
