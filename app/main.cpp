// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/qt_translations.h"
#include "app/startup.h"
#include "app/window_system_start.h"
#include "platform/build_info.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_environment.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QSessionManager>
#include <QTextStream>

#include <optional>

int main(int argc, char* argv[]) {
    // Help, the version and a wrong option need no display: they are answered
    // before Qt looks for one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const dexlan::CommandLine commandLine = dexlan::parseCommandLine(arguments);
    if (commandLine.action == dexlan::CommandLineAction::Administer) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        QFile input;
        input.open(stdin, QIODevice::ReadOnly);
        return dexlan::runAdministration(commandLine.admin, out, err, input,
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
    dialogs.setParent(&program.mainWindow());
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &program.mainWindow(),
                     &dexlan::MainWindow::commitData);

    program.setNamedTrainer(commandLine.trainer);
    if (!program.start())
        return program.exitStatus();
    return application.exec();
}
