// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/closing_rules.h"
#include "info_windows/about_window.h"
#include "info_windows/help_window.h"
#include "options_file/change_log.h"
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "options_window/history_page.h"
#include "options_window/location_entry.h"
#include "options_window/options_window.h"
#include "platform/build_info.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/widgets/class_list_preview.h"
#include "roster/widgets/restore_window.h"
#include "roster/widgets/user_roster.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSessionManager>
#include <QVBoxLayout>

#include <algorithm>

namespace dexlan {

QIcon smallProgramIcon() {
    // The desktop's icon theme may have its own drawing of our icon; the one
    // built in stands in where it has none. Title bars and task bars want small
    // icons; handing the window system the large ones too would send it a
    // quarter of a megabyte at start-up.
    const QIcon themed = QIcon::fromTheme(QLatin1String(build::kAppId));
    QIcon icon;
    for (int size : {16, 32, 48}) {
        if (themed.isNull())
            icon.addFile(QStringLiteral(":/resources/icon-%1.png").arg(size));
        else
            icon.addPixmap(themed.pixmap(size));
    }
    return icon;
}

MainWindow::MainWindow(SharedState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(tr("Corvantis Dexlan Options 4"));
    setWindowIcon(smallProgramIcon());
    buildMenus();
    resize(800, 600);
    QCoreApplication::instance()->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("Mfile"));
    QAction* save = file->addAction(tr("&Save"));
    save->setObjectName(QStringLiteral("Msave"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setShortcutContext(Qt::ApplicationShortcut);
    connect(save, &QAction::triggered, this, &MainWindow::save);
    QAction* restore = file->addAction(tr("&Restore deleted names…"));
    restore->setObjectName(QStringLiteral("Mrestore"));
    connect(restore, &QAction::triggered, this,
            [this] { showRestoreWindow(options().roster(), m_dialogs, this); });
    QAction* addFromFile = file->addAction(tr("&Add names from a file…"));
    addFromFile->setObjectName(QStringLiteral("Maddfile"));
    connect(addFromFile, &QAction::triggered, this,
            [this] { addNamesFromFile(options().roster(), m_dialogs, this); });
    QAction* changes = file->addAction(tr("&Changes…"));
    changes->setObjectName(QStringLiteral("Mchanges"));
    connect(changes, &QAction::triggered, this, &MainWindow::showChanges);
    QAction* exit = file->addAction(tr("E&xit"));
    exit->setObjectName(QStringLiteral("Mexit"));
    // The platform's own quit key; Windows' key scheme has none, and there
    // Ctrl+Q stands in.
    QList<QKeySequence> quit = QKeySequence::keyBindings(QKeySequence::Quit);
    exit->setShortcuts(quit.isEmpty() ? QList{QKeySequence(Qt::CTRL | Qt::Key_Q)} : quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("Mhelp"));
    QAction* options = help->addAction(tr("&Options Help"));
    options->setObjectName(QStringLiteral("Moptions"));
    // Shown beside the item. As a shortcut of the frame F1 also works while
    // the menu bar holds the focus, as after a menu closed with Escape.
    options->setShortcut(QKeySequence(Qt::Key_F1));
    connect(options, &QAction::triggered, this, &MainWindow::showHelp);
    QAction* about = help->addAction(tr("&About Corvantis"));
    about->setObjectName(QStringLiteral("Mabout"));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::showFramed() {
    if (isVisible())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();
}

OptionsWindow& MainWindow::options() {
    if (!m_options) {
        m_options = new OptionsWindow(m_state, m_dialogs, this);
        m_options->hide();
        m_options->setShowHelp([this] { showHelp(); });
        m_options->setCloseMainWindow([this] { close(); });
        setCentralWidget(m_options);
        m_options->hide(); // shown by start-up once its pages are in line
        // A class list dropped onto the History Files page or its user list
        // opens the import, as "Add names from a file…" does.
        const auto importDropped = [this](const QString& path) {
            importClassList(options().roster(), m_dialogs, path, this);
        };
        if (auto* page = m_options->findChild<HistoryPage*>())
            acceptClassListDrops(page, importDropped);
        if (auto* list = m_options->findChild<QListView*>(QStringLiteral("List1")))
            acceptClassListDrops(list->viewport(), importDropped);
    }
    return *m_options;
}

QWidget& MainWindow::helpWindow() {
    if (!m_help)
        m_help = std::make_unique<HelpWindow>(this);
    return *m_help;
}

void MainWindow::showHelp() {
    helpWindow();
    m_dialogs.showModal(*m_help);
}

void MainWindow::showAbout() {
    AboutWindow about(this);
    about.showCodePage(m_state.codePage());
    m_dialogs.showModal(about);
}

void MainWindow::save() {
    const OptionLines before = m_state.fileOptionLines;
    if (const std::optional<QString> text =
            saveOptionsFile(m_state, m_dialogs, options().locationText()))
        options().setLocationText(*text);
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry) {
        if (before[entry] != m_state.fileOptionLines[entry])
            recordWindowChange(m_state, m_dialogs,
                               settingChange({entry, fromCodePage(before[entry], m_state.codePage()),
                                              fromCodePage(m_state.fileOptionLines[entry],
                                                           m_state.codePage())}));
    }
}

void MainWindow::showChanges() {
    // The newest first: the change a teacher asks about is most often recent.
    QStringList lines = lastLoggedChanges(m_state.programFolder, kChangesShown);
    std::reverse(lines.begin(), lines.end());
    QDialog window(this);
    window.setObjectName(QStringLiteral("frmChanges"));
    window.setWindowTitle(tr("Changes"));
    auto* layout = new QVBoxLayout(&window);
    auto* text = new QPlainTextEdit(&window);
    text->setObjectName(QStringLiteral("txtChanges"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setPlainText(lines.isEmpty() ? tr("No change has been recorded yet.")
                                       : lines.join(QLatin1Char('\n')));
    layout->addWidget(text);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(close);
    window.resize(900, 400);
    m_dialogs.showModal(window);
}

void MainWindow::checkNetworkLocation() {
    m_state.optionLines[EntryHistoryLocation] =
        typedLocationEntry(options().locationText(), m_state.codePage());
    options().roster().checkHistoryFolder();
    if (!networkLocationCheckApplies(m_state.optionLines))
        return;
    if (const auto warning = networkLocationWarning(m_state.optionLines)) {
        m_exitWarningText = warning->prompt;
        m_exitCheck = m_dialogs.msgBox(*warning);
    } else {
        m_exitCheck = MsgAnswer::Ok;
    }
}

bool MainWindow::confirmClose() {
    m_exitCheck.reset();
    checkNetworkLocation();
    if (m_exitCheck == MsgAnswer::Cancel)
        return true;
    save();
    return false;
}

void MainWindow::closeOtherWindows() {
    if (m_options)
        m_options->close();
    if (m_help)
        m_help->close();
    // AddNamesDialog is modal over the options window and is gone by the time the main
    // window can be closed.
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_sessionEnding && confirmClose()) {
        event->ignore();
        return;
    }
    closeOtherWindows();
    event->accept();
}

bool MainWindow::sessionEnding(bool allowsInteraction) {
    // Without interaction nothing may be asked, and nothing is written
    // without an answer. With it, this is the closing sequence; whether the
    // session then ends is for the session to say, so nothing is kept from
    // it: a log-out cancelled elsewhere leaves everything as it was.
    return allowsInteraction && confirmClose();
}

void MainWindow::commitData(QSessionManager& manager) {
    const bool interaction = manager.allowsInteraction();
    const bool cancel = sessionEnding(interaction);
    if (interaction)
        manager.release();
    if (cancel)
        manager.cancel();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The application is told to quit when the session ends, after
    // commitData: the questions were asked there, or could not be asked.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() && isVisible()) {
        const QScopedValueRollback<bool> ending(m_sessionEnding, true);
        close();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace dexlan
