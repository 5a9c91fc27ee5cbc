#pragma once

#include "options_file/shared_state.h"
#include "platform/message_box.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <span>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace dexlan {

class Dialogs;
class UserRoster;
struct ChoiceText;
struct OptionButtonAction;
enum class ExplanationPage;

// "frmOptions": the tabbed window on which the trainer's settings are shown and
// changed. Five pages, one per tab; the page on view is centred on the screen,
// the others are parked far off to the left and disabled.
class FrmOptions : public QWidget {
    Q_OBJECT
  public:
    // Builds the window and runs Form_Load.
    FrmOptions(SharedState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    ~FrmOptions() override;

    QLineEdit* locationBox(); // Text1
    // The summary's heading labels (elements 0, 1, 5, 6, 7, 10) and value labels
    // (elements 1, 5, 6, 7, 10); nullptr for an element the page does not have.
    QLabel* label1(int element);
    QLabel* label2(int element);
    UserRoster& roster();

    // Takes entry 5 from the location box, then brings page 1 to 5 into line
    // with OptionLines.
    void RefreshPage(int page);
    int selectedTab() const; // 1 to 5

    // F1 shows Help modally; the application owns Help.
    void setShowHelp(std::function<void()> showHelp);
    // Escape and the Exit button close the main window.
    void setCloseMainWindow(std::function<void()> close);

    // The design settings of the dialog that locates the trainer at start-up.
    static FileOpenRequest commonDialog1();

    // The pages' explanation routines; RefreshPage and the option buttons run them.
    void ShowSummary();
    void ShowHistoryExplanation();
    void ShowAdvanceExplanation();
    void ShowSoundExplanation();
    void ShowDocumentsExplanation();

    QWidget* picOptions(int element) const; // the page of tab element + 1

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildTabStrip();
    void buildSummaryPage();
    void buildHistoryPage();
    void buildChoicePages();
    void connectOptionButtons();
    void describeForAssistiveTechnology();
    void orderTabStops();

    void Form_Load();
    void tbsOptions_Click();
    void showSelectedPage();
    // focused: the control the key was typed into.
    void Form_KeyDown(int key, Qt::KeyboardModifiers shift, const QObject* focused);
    void picOptions_MouseDown();
    void Command4_Click();
    void optionButtonSelected(const OptionButtonAction& action);
    void Option13_Click();

    void runExplanation(ExplanationPage page);
    void showChoice(std::span<const ChoiceText> choices, int entry, QLabel* label,
                    const char* routine);
    void clearUserListSelection();
    QRadioButton* optionButton(const char* name) const;
    int centredLeft(int widthTwips) const;
    bool isKeyPreviewTarget(QObject* receiver) const;
    bool isPropagationOfHandledKey(QObject* receiver, const QEvent* event) const;

    SharedState& m_state;
    Dialogs& m_dialogs;
    std::function<void()> m_showHelp;
    std::function<void()> m_closeMainWindow;

    QWidget* m_tabPane = nullptr;
    QTabBar* m_tbsOptions = nullptr;
    std::array<QWidget*, 5> m_picOptions{};
    QWidget* m_txt = nullptr;

    std::array<QLabel*, 11> m_label1{}; // by element; the gaps stay nullptr
    std::array<QLabel*, 11> m_label2{};
    QPushButton* m_command4 = nullptr;

    QLabel* m_label19 = nullptr;
    QLabel* m_label21 = nullptr;
    QLabel* m_label22 = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label23 = nullptr;
    QLabel* m_label20 = nullptr;
    QGroupBox* m_frame8 = nullptr;
    QGroupBox* m_frame9 = nullptr;
    QGroupBox* m_frame10 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QListWidget* m_list1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;

    QLabel* m_label12 = nullptr;
    QLabel* m_label14 = nullptr;
    QLabel* m_label26 = nullptr;

    std::array<QButtonGroup*, 4> m_optionGroups{}; // Frame8, Frame2, Frame3, Frame12

    UserRoster* m_roster = nullptr;

    // The key press the window handled last, and where it first arrived.
    const QEvent* m_handledKey = nullptr;
    QPointer<QObject> m_handledKeyReceiver;
};

} // namespace dexlan
