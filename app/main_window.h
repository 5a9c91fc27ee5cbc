// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"
#include "platform/message_box.h"

#include <QIcon>
#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QSessionManager;

namespace dexlan {

class Dialogs;
class OptionsWindow;
class HelpWindow;

// The program's icon for its windows, in the sizes title bars use.
QIcon smallProgramIcon();

// The program's frame: the menus, the options window inside it, and the closing
// sequence that every normal end of the program passes through.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(SharedState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows the frame over the whole screen: the options window centres its
    // pages on the screen's width. A second call changes nothing.
    void showFramed();

    // The options window, created on first use.
    OptionsWindow& options();

    // The introduction window, created on first use.
    QWidget& helpWindow();
    // Shows the introduction window modally; the caller waits until it is closed.
    void showHelp();
    void showAbout();

    // The File menu's Save: the save dialogue alone.
    void save(); // Msave_Click
    // The File menu's Changes…: the record of changes, newest first, read-only.
    void showChanges();
    static constexpr int kChangesShown = 500;

    // The closing sequence; answers whether the closing is cancelled.
    bool confirmClose();         // MDIForm_QueryUnload
    void checkNetworkLocation(); // CheckNetworkLocation

    // The session is ending (log-off, shutdown): the same closing sequence.
    void commitData(QSessionManager& manager);
    // What commitData decides; true: ask the session to cancel.
    bool sessionEnding(bool allowsInteraction);

    // The answer to the network-location check; nothing when it did not apply.
    std::optional<MsgAnswer> exitCheck() const { return m_exitCheck; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void closeOtherWindows();

    SharedState& m_state;
    Dialogs& m_dialogs;
    OptionsWindow* m_options = nullptr;
    std::unique_ptr<HelpWindow> m_help;
    std::optional<MsgAnswer> m_exitCheck;
    QString m_exitWarningText;
    bool m_sessionEnding = false; // the session is closing the windows
};

} // namespace dexlan
