// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "app/startup_messages.h"
#include "platform/build_info.h"
#include "roster/held_names.h"

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

struct AdminOptions {
    QCommandLineOption trainer{QStringLiteral("trainer"), {}, QStringLiteral("DIR")};
    QCommandLineOption show{QStringLiteral("show"), {}};
    QCommandLineOption set{QStringLiteral("set"), {}, QStringLiteral("KEY=VALUE")};
    QCommandLineOption listUsers{QStringLiteral("list-users"), {}};
    QCommandLineOption addUsers{QStringLiteral("add-users"), {}, QStringLiteral("FILE")};
    QCommandLineOption deleteUser{QStringLiteral("delete-user"), {}, QStringLiteral("NAME")};
    QCommandLineOption restoreUser{QStringLiteral("restore-user"), {}, QStringLiteral("NAME")};
};

// An example of an option's use, as its description ends.
QString example(const char* arguments) {
    return QLatin1Char('\n') + QCoreApplication::translate("CommandLine", "Example: %1")
                                   .arg(QLatin1String("dexlan-options --trainer /srv/trainer ") +
                                        QLatin1String(arguments));
}

// The administrator's options: each with what it does and an example.
AdminOptions addAdminOptions(QCommandLineParser& parser) {
    AdminOptions options;
    options.trainer.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "The trainer's folder (or its program file) to administer "
                                    "without a window; every option below needs it.") +
        example("--show"));
    options.show.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Prints the settings as the Current Options page words them, "
                                    "then the lines of Dexlan4.ini.") +
        example("--show"));
    options.set.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Changes a setting, with the checks of the options window, saves Dexlan4.ini safely "
            "and prints what changed. May be given more than once. The settings:\n") +
        adminSettingKeysText() + example("--set history=roster-open --set sounds=none"));
    options.listUsers.setDescription(
        QCoreApplication::translate(
            "CommandLine", "Prints the users as number<TAB>name, in the order of the user list.") +
        example("--list-users"));
    options.addUsers.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Adds the names in FILE, one a line (of a .csv file, the first column; UTF-8 or the "
            "trainer's code page), or from standard input for -, and prints the names added and "
            "those refused, with why.") +
        example("--add-users class-4b.txt"));
    options.deleteUser.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Deletes the user NAME; the history file is kept for %1 "
                                    "days, for --restore-user.")
            .arg(kHeldDays) +
        example("--delete-user \"Ann Smith\""));
    options.restoreUser.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Brings back the user NAME deleted within the last %1 days, "
                                    "under the number the user had, or the smallest free one "
                                    "when that is taken.")
            .arg(kHeldDays) +
        example("--restore-user \"Ann Smith\""));
    for (const QCommandLineOption* option :
         {&options.trainer, &options.show, &options.set, &options.listUsers, &options.addUsers,
          &options.deleteUser, &options.restoreUser})
        parser.addOption(*option);
    return options;
}

AdminRequest adminRequest(const QCommandLineParser& parser, const AdminOptions& options) {
    AdminRequest request;
    request.show = parser.isSet(options.show);
    request.settings = parser.values(options.set);
    request.listUsers = parser.isSet(options.listUsers);
    request.addUsers = parser.values(options.addUsers);
    request.deleteUsers = parser.values(options.deleteUser);
    request.restoreUsers = parser.values(options.restoreUser);
    return request;
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
    const AdminOptions admin = addAdminOptions(parser);
    parser.addPositionalArgument(
        QStringLiteral("trainer"),
        QCoreApplication::translate("CommandLine",
                                    "The trainer's folder, or its program file \"%1\".")
            .arg(QLatin1String(kTrainerExecutable)),
        QStringLiteral("[trainer]"));

    if (!parser.parse(arguments))
        return {CommandLineAction::Refuse, refusal(parser.errorText()), {}, {}};
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know our name.
        QString text = parser.helpText();
        const qsizetype options = text.indexOf(QLatin1String(" [options]"));
        if (text.startsWith(QLatin1String("Usage: ")) && options > 0)
            text.replace(7, options - 7, kProgramName);
        return {CommandLineAction::ShowHelp, text, {}, {}};
    }
    if (parser.isSet(version))
        return {CommandLineAction::ShowVersion, versionText(), {}, {}};
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return {CommandLineAction::Refuse,
                refusal(QCoreApplication::translate(
                            "CommandLine", "one trainer folder or program at most, not %1.")
                            .arg(positional.size())),
                {},
                {}};
    if (parser.isSet(admin.trainer) && !positional.isEmpty())
        return {CommandLineAction::Refuse,
                refusal(QCoreApplication::translate(
                    "CommandLine", "the trainer is named twice: with --trainer and alone.")),
                {},
                {}};
    CommandLine line{CommandLineAction::Run, {}, positional.value(0), {}};
    if (parser.isSet(admin.trainer))
        line.trainer = parser.value(admin.trainer);
    line.admin = adminRequest(parser, admin);
    if (!line.admin.any())
        return line;
    line.admin.trainer = line.trainer;
    if (line.trainer.isEmpty())
        return {CommandLineAction::Refuse,
                refusal(QCoreApplication::translate(
                    "CommandLine", "--trainer DIR names the trainer to administer.")),
                {},
                {}};
    for (const QString& setting : line.admin.settings) {
        if (!parseAdminSetting(setting))
            return {CommandLineAction::Refuse,
                    refusal(QCoreApplication::translate("CommandLine",
                                                        "--set %1: not one of these settings:\n%2")
                                .arg(setting, adminSettingKeysText())),
                    {},
                    {}};
    }
    line.action = CommandLineAction::Administer;
    return line;
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
