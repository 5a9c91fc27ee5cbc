#include "app/startup.h"

#include "app/closing_rules.h"
#include "app/main_window.h"
#include "options_file/options_file.h"
#include "options_window/frm_options.h"
#include "platform/dialogs.h"
#include "platform/environment.h"
#include "roster/user_roster.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace dexlan {

namespace {
// The summary rows that exist; start-up hides and shows only these.
constexpr int kHeadingElements[] = {0, 1, 5, 6, 7, 10};
constexpr int kValueElements[] = {1, 5, 6, 7, 10};
constexpr int kDocumentationRow = 10;
} // namespace

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

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
    FrmOptions& options = mainWindow().options();
    options.label1(kDocumentationRow)->setVisible(false);
    options.label2(kDocumentationRow)->setVisible(false);

    FileOpenRequest request = FrmOptions::commonDialog1();
    request.fileName = m_commonDialogFileName;
    const QString chosen = m_dialogs.openFile(request);
    if (!chosen.isEmpty())
        m_commonDialogFileName = chosen; // a cancelled dialog keeps the previous name
    const QString executable = QLatin1String(kTrainerExecutable);
    if (!m_commonDialogFileName.endsWith(executable, Qt::CaseSensitive)) {
        m_state.answer = m_dialogs.msgBox(locateTrainerRefusal());
        return m_state.answer == AnswerRetry ? Step::Retry : Step::End;
    }
    m_state.programFolder = m_commonDialogFileName.chopped(executable.size());
    for (int element : kHeadingElements)
        options.label1(element)->setVisible(true);
    for (int element : kValueElements)
        options.label2(element)->setVisible(true);
    return Step::Continue;
}

bool Program::StartUp() {
    for (;;) {
        m_state.startupDone = 0;
        if (m_environment.anotherInstanceRunning()) {
            m_state.answer = m_dialogs.msgBox(anotherCopyQuestion());
            if (m_state.answer != AnswerYes)
                return false;
        }
        m_state.screenScale = float(m_environment.screenWidthTwips() / kLayoutReferenceWidth);
        m_state.programFolder =
            m_state.pathPolicy.withTrailingSeparator(m_environment.programFolder());
        if (FileExists(m_state.programFolder + QLatin1String(kTrainerExecutable)))
            break;
        const Step step = locateTrainer();
        if (step == Step::End)
            return false;
        if (step == Step::Continue)
            break;
    }
    m_state.docsInstalled =
        FileExists(m_state.programFolder + QLatin1String(kDocumentationPage)) ? 1 : 0;
    MainWindow& main = mainWindow();
    main.showFramed();

    FrmOptions& options = main.options();
    const auto loaded = ReadOptionsFile(m_state, m_dialogs);
    if (!loaded)
        return false;
    options.locationBox()->setText(loaded->locationBoxText);
    options.label1(0)->setText(loaded->installationCaption);
    CopyOptionLines(m_state);

    options.RefreshPage(2);
    options.RefreshPage(1);
    options.show();
    options.roster().FillUserList();
    main.showHelp();
    m_state.startupDone = 1;
    return true;
}

} // namespace dexlan
