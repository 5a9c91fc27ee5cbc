// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/qt_translations.h"
#include "app/startup.h"
#include "app/window_system_start.h"
#include "platform/build_info.h"
#include "platform/file_names.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_environment.h"
#include "platform/system_code_page.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QSessionManager>
#include <QTextStream>

#include <optional>

#ifdef Q_OS_WIN
#include <cstdio>

#include <windows.h>

#include <shellapi.h>
#endif

namespace {

// The arguments as typed: on Windows from the wide command line, so that a
// name outside the ANSI code page arrives whole; elsewhere with every byte
// kept, so that a trainer folder not named in UTF-8 is the folder reached.
QStringList commandLineArguments(int argc, char* argv[]) {
    QStringList arguments;
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        ::LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i)
        arguments.append(dexlan::pathFromSystem(argv[i]));
#endif
    return arguments;
}

// A Windows program with windows gets no console: answers on the command
// line go to the console it was started from, unless they are redirected.
void reachTheConsole() {
#ifdef Q_OS_WIN
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    // Help, the version and a wrong option need no display: they are answered
    // before Qt looks for one.
    dexlan::CommandLine commandLine = dexlan::parseCommandLine(commandLineArguments(argc, argv));
    // The trainer's code page, chosen once for the run and handed down.
    const dexlan::CodePage codePage = dexlan::codePageInUse(commandLine.admin.codePageNumber).page;
    commandLine.admin.codePage = codePage;
    if (commandLine.action != dexlan::CommandLineAction::Run)
        reachTheConsole();
    if (commandLine.action == dexlan::CommandLineAction::Administer) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        QFile input;
        input.open(stdin, QIODevice::ReadOnly);
        return dexlan::administerEach(commandLine.admin, out, err, input,
                                      QDateTime::currentDateTimeUtc());
    }
    if (commandLine.action != dexlan::CommandLineAction::Run) {
        const bool refused = commandLine.action == dexlan::CommandLineAction::Refuse;
        QTextStream(refused ? stderr : stdout) << commandLine.message;
        return dexlan::exitStatusOf(commandLine.action);
    }

    std::optional<dexlan::WindowSystemStart> connecting(std::in_place);
    QApplication application(argc, argv);
    connecting.reset();
    QApplication::setApplicationName(QStringLiteral("Corvantis Dexlan Options 4"));
    QApplication::setApplicationVersion(QLatin1String(dexlan::build::kVersion));
    QGuiApplication::setDesktopFileName(QLatin1String(dexlan::build::kAppId));
    const auto qtTranslations = dexlan::qtTranslationsFor(QLocale());
    if (qtTranslations)
        QApplication::installTranslator(qtTranslations.get());
    const auto ownTranslations =
        dexlan::programTranslationsFor(QLocale(), dexlan::programTranslationFolders());
    if (ownTranslations)
        QApplication::installTranslator(ownTranslations.get());

    dexlan::QtDialogs dialogs;
    dexlan::QtEnvironment environment;
    dexlan::Program program(dialogs, environment);
    program.state().pathPolicy.codePage = codePage;
    dialogs.setParent(&program.mainWindow());
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &program.mainWindow(),
                     &dexlan::MainWindow::commitData);

    program.setNamedTrainer(commandLine.trainer);
    if (!program.start())
        return program.exitStatus();
    return application.exec();
}
