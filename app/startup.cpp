// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "app/main_window.h"
#include "app/startup_messages.h"
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "options_window/options_window.h"
#include "platform/dialogs.h"
#include "platform/environment.h"
#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/widgets/user_roster.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>

#include <functional>
#include <utility>

namespace dexlan {

namespace {

// Runs then once, when the window has been drawn for the first time and the
// drawing is on the screen, or when it is hidden before that.
class AfterFirstDrawing : public QObject {
  public:
    AfterFirstDrawing(QWidget& window, std::function<void()> then)
        : QObject(&window), m_then(std::move(then)) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::Hide) {
            watched->removeEventFilter(this);
            // Queued: after this drawing has been done and flushed.
            QTimer::singleShot(0, this, [this] {
                const std::function<void()> then = std::move(m_then);
                deleteLater();
                then();
            });
        }
        return false;
    }

  private:
    std::function<void()> m_then;
};

} // namespace

Program::Program(Dialogs& dialogs, Environment& environment)
    : m_dialogs(dialogs), m_environment(environment) {}

Program::~Program() = default;

MainWindow& Program::mainWindow() {
    if (!m_mainWindow)
        m_mainWindow = std::make_unique<MainWindow>(m_state, m_dialogs);
    return *m_mainWindow;
}

Program::Step Program::locateTrainer() {
    mainWindow().showFramed();
    OptionsWindow& options = mainWindow().options();
    options.setDocumentationRowVisible(false);

    FileOpenRequest request = OptionsWindow::trainerLocationRequest();
    request.fileName = m_commonDialogFileName;
    request.folder = m_environment.rememberedTrainerFolder();
    const QString chosen = m_dialogs.openFile(request);
    if (!chosen.isEmpty())
        m_commonDialogFileName = chosen; // a cancelled dialog keeps the previous name
    const QString executable = QLatin1String(kTrainerExecutable);
    if (!m_commonDialogFileName.endsWith(executable, Qt::CaseSensitive)) {
        const MsgAnswer answer = m_dialogs.msgBox(locateTrainerRefusal());
        return answer == MsgAnswer::Retry ? Step::Retry : Step::End;
    }
    // The file dialog answers with '/' on every platform; the folder is kept,
    // shown and compared with the location box in the platform's own form.
    m_state.programFolder =
        QDir::toNativeSeparators(m_commonDialogFileName.chopped(executable.size()));
    m_environment.rememberTrainerFolder(
        QDir::toNativeSeparators(QFileInfo(m_commonDialogFileName).absolutePath()));
    options.setDocumentationRowVisible(true);
    return Step::Continue;
}

std::optional<QString> Program::knownTrainerFolder() {
    for (const QString& folder :
         {m_environment.rememberedTrainerFolder(), m_environment.machineTrainerFolder()}) {
        if (folder.isEmpty())
            continue;
        const QString withSeparator =
            m_state.pathPolicy.withTrailingSeparator(QDir::toNativeSeparators(folder));
        if (fileExists(withSeparator + QLatin1String(kTrainerExecutable)))
            return withSeparator;
    }
    return std::nullopt;
}

Program::Step Program::useNamedTrainer(const QString& path) {
    if (const std::optional<QString> folder = namedTrainerFolder(path, m_state.pathPolicy)) {
        m_state.programFolder = *folder;
        return Step::Continue;
    }
    // Named wrongly, as if chosen wrongly in the dialog. Retry starts again
    // without the name: beside the program, then with the dialog.
    const MsgAnswer answer = m_dialogs.msgBox(locateTrainerRefusal());
    return answer == MsgAnswer::Retry ? Step::Retry : Step::End;
}

bool Program::start() {
    m_exitStatus = 0;
    for (;;) {
        m_state.startupDone = false;
        if (m_environment.anotherInstanceRunning()) {
            const MsgAnswer answer = m_dialogs.msgBox(anotherCopyQuestion());
            if (answer != MsgAnswer::Yes)
                return false;
        }
        m_state.screenScale = float(m_environment.screenWidthTwips() / kLayoutReferenceWidthTwips);
        if (!m_namedTrainer.isEmpty()) {
            const Step step = useNamedTrainer(std::exchange(m_namedTrainer, QString()));
            if (step == Step::End)
                return false;
            if (step == Step::Continue)
                break;
            continue;
        }
        m_state.programFolder =
            m_state.pathPolicy.withTrailingSeparator(m_environment.programFolder());
        if (fileExists(m_state.programFolder + QLatin1String(kTrainerExecutable)))
            break;
        // Found before, by this user or, for every account, by the
        // administrator: nobody is asked again while the trainer is there.
        if (const std::optional<QString> known = knownTrainerFolder()) {
            m_state.programFolder = *known;
            break;
        }
        const Step step = locateTrainer();
        if (step == Step::End)
            return false;
        if (step == Step::Continue)
            break;
    }
    m_state.docsInstalled = fileExists(m_state.programFolder + QLatin1String(kDocumentationPage));
    MainWindow& main = mainWindow();
    main.showFramed();

    OptionsWindow& options = main.options();
    const auto loaded = readOptionsFile(m_state, m_dialogs);
    if (!loaded) {
        m_exitStatus = 1;
        return false;
    }
    options.showLoadedValues(loaded->locationBoxText, loaded->installationCaption);
    copyOptionLines(m_state);

    {
        // The pages' routines and start-up itself each ask for a fresh user
        // list; the folder is read once for them all, on a thread of its own
        // while the window and the introduction are drawn.
        const UserRoster::RebuildBatch oneReading(options.roster(),
                                                  UserRoster::RebuildBatch::InBackground);
        options.refreshPage(2);
        options.refreshPage(1);
        options.show();
        // Deleted names held their time are erased before anyone looks at
        // them, and the user is told which.
        if (const QString folder = options.roster().historyFolderPath(); !folder.isEmpty()) {
            if (const std::vector<HeldName> erased =
                    eraseExpiredHeldNames(folder, {}, options.roster().codePage());
                !erased.empty()) {
                for (const HeldName& held : erased)
                    options.roster().recordChange(
                        {QStringLiteral("erased"), held.name, held.number, {}});
                m_dialogs.msgBox(erasedAtStartReport(erased));
            }
        }
        options.roster().fillUserList();
    }
    // Drawing the windows and reading the folder would share the cores: the
    // reading begins once the introduction is on the screen (or at once when
    // something needs the list sooner).
    UserRoster& roster = options.roster();
    new AfterFirstDrawing(main.helpWindow(), [&roster] { roster.startReadingInBackground(); });
    main.showHelp();
    m_state.startupDone = true;
    return true;
}

} // namespace dexlan
