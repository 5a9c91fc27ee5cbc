// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "app/startup_messages.h"
#include "platform/build_info.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

namespace dexlan {

namespace {

const QString kProgramName = QStringLiteral("dexlan-options");

QString refusal(const QString& reason) {
    return kProgramName + QLatin1String(": ") + reason + QLatin1Char('\n') +
           QCoreApplication::translate("CommandLine", "Try '%1 --help' for more information.\n")
               .arg(kProgramName);
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Examines and changes the settings of the Corvantis Dexlan Training System 4 and the "
            "roster of its users.\n\n"
            "Without a trainer named here, the program looks for \"%1\" in its own folder and "
            "otherwise asks where it is.")
            .arg(QLatin1String(kTrainerExecutable)));
    // Our own help and version options: the parser's built-in ones would also
    // offer --help-all, whose Qt options are not accepted here.
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("CommandLine", "Displays this help and exits."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine", "Displays the version and licence and exits."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("trainer"),
        QCoreApplication::translate("CommandLine",
                                    "The trainer's folder, or its program file \"%1\".")
            .arg(QLatin1String(kTrainerExecutable)),
        QStringLiteral("[trainer]"));

    if (!parser.parse(arguments))
        return {CommandLineAction::Refuse, refusal(parser.errorText()), {}};
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know our name.
        QString text = parser.helpText();
        const qsizetype options = text.indexOf(QLatin1String(" [options]"));
        if (text.startsWith(QLatin1String("Usage: ")) && options > 0)
            text.replace(7, options - 7, kProgramName);
        return {CommandLineAction::ShowHelp, text, {}};
    }
    if (parser.isSet(version))
        return {CommandLineAction::ShowVersion, versionText(), {}};
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return {CommandLineAction::Refuse,
                refusal(QCoreApplication::translate(
                            "CommandLine", "one trainer folder or program at most, not %1.")
                            .arg(positional.size())),
                {}};
    return {CommandLineAction::Run, {}, positional.value(0)};
}

int exitStatusOf(CommandLineAction action) {
    return action == CommandLineAction::Refuse ? 2 : 0;
}

QString versionText() {
    return QCoreApplication::translate("CommandLine",
                                       "%1 %2 (Corvantis Dexlan Options 4, Version %3.%4 R%5)\n")
               .arg(kProgramName, QLatin1String(build::kVersion))
               .arg(build::kVersionMajor)
               .arg(build::kVersionMinor)
               .arg(build::kRevision) +
           QCoreApplication::translate(
               "CommandLine", "Copyright (C) Corvantis Learning Systems\n"
                              "License GPL-3.0-or-later: GNU GPL version 3 or later "
                              "<https://www.gnu.org/licenses/gpl-3.0.html>.\n"
                              "This is free software: you are free to change and redistribute it.\n"
                              "There is NO WARRANTY, to the extent permitted by law.\n\n") +
           QCoreApplication::translate(
               "CommandLine", "Built with Qt %1, running on Qt %2. Qt is used under the GNU Lesser "
                              "General Public License version 3 (LGPL-3.0); see "
                              "<https://www.qt.io/licensing/> for its licences and source.\n")
               .arg(QLatin1String(QT_VERSION_STR), QLatin1String(qVersion()));
}

QString noDisplayMessage() {
    return kProgramName +
           QCoreApplication::translate(
               "CommandLine",
               ": no display to show the window on: start it in a desktop session, or set DISPLAY "
               "(X11) or WAYLAND_DISPLAY (Wayland) to a running display, or QT_QPA_PLATFORM to a "
               "Qt platform plugin that needs none, such as offscreen.\n");
}

} // namespace dexlan
