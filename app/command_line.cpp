// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "app/startup_messages.h"
#include "options_file/change_log.h"
#include "platform/build_info.h"
#include "roster/core/held_names.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <array>

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
    QCommandLineOption deleteUsers{QStringLiteral("delete-users"), {}, QStringLiteral("FILE")};
    QCommandLineOption restoreUsers{QStringLiteral("restore-users"), {}, QStringLiteral("FILE")};
    QCommandLineOption trainers{QStringLiteral("trainers"), {}, QStringLiteral("FILE")};
    QCommandLineOption log{QStringLiteral("log"), {}, QStringLiteral("N")};
    QCommandLineOption get{QStringLiteral("get"), {}, QStringLiteral("KEY")};
    QCommandLineOption listDeleted{QStringLiteral("list-deleted"), {}};
    QCommandLineOption format{QStringLiteral("format"), {}, QStringLiteral("FORMAT")};
    QCommandLineOption check{QStringLiteral("check"), {}};
    QCommandLineOption ifPresent{QStringLiteral("if-present"), {}};
    QCommandLineOption createFolder{QStringLiteral("create-folder"), {}};
    QCommandLineOption force{QStringLiteral("force"), {}};
    QCommandLineOption quiet{QStringLiteral("quiet"), {}};
    QCommandLineOption separator{QStringLiteral("separator"), {}, QStringLiteral("SEPARATOR")};
    QCommandLineOption header{QStringLiteral("header"), {}};
    QCommandLineOption noHeader{QStringLiteral("no-header"), {}};
    QCommandLineOption nameColumns{QStringLiteral("name-columns"), {}, QStringLiteral("COLUMNS")};
    QCommandLineOption encoding{QStringLiteral("encoding"), {}, QStringLiteral("ENCODING")};

    // The options that say how a command is carried out, not what it is.
    std::array<const QCommandLineOption*, 11> modifiers() const {
        return {&format,    &check,  &ifPresent, &createFolder, &force,   &quiet,
                &separator, &header, &noHeader,  &nameColumns,  &encoding};
    }
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
            "Adds the names in FILE, one a line, or from standard input for -, and prints the "
            "names added and those refused, with why. A spreadsheet's export is read as its "
            "columns: the separator, a first row of titles and the name's columns are guessed "
            "unless given below; the encoding from a byte-order mark, else UTF-8, else the "
            "trainer's code page.") +
        example("--add-users class-4b.txt"));
    options.separator.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "With --add-users: the columns are separated by SEPARATOR: "
                                    "comma, semicolon, tab, or none for one name a line.") +
        example("--separator semicolon --add-users klasse-4b.csv"));
    options.header.setDescription(QCoreApplication::translate(
        "CommandLine", "With --add-users: the first row holds the columns' titles, not a name."));
    options.noHeader.setDescription(QCoreApplication::translate(
        "CommandLine", "With --add-users: the first row is a name like the others."));
    options.nameColumns.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "With --add-users: the column, or the columns joined by a space in the order given, "
            "that make each name: numbers from 1 or the titles of the first row, separated by "
            "commas. Without it, the first name and the last name where titles show them, "
            "otherwise the first column.") +
        example("--name-columns 2,1 --add-users klasse-4b.csv"));
    options.encoding.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "With --add-users: how the file's letters are written, utf-8 or code-page (the "
            "trainer's). A file of UTF-8 with some lines that are not is refused, naming the "
            "first such line, unless this is given.") +
        example("--encoding utf-8 --add-users class-4b.txt"));
    options.deleteUser.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Deletes the user NAME, or the user numbered 12 for #12 (of "
                                    "two users of one name, say); the history file is kept for %1 "
                                    "days, for --restore-user.")
            .arg(kHeldDays) +
        example("--delete-user \"Ann Smith\" --delete-user '#12'"));
    options.restoreUser.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Brings back the user NAME deleted within the last %1 days, "
                                    "under the number the user had, or the smallest free one "
                                    "when that is taken.")
            .arg(kHeldDays) +
        example("--restore-user \"Ann Smith\""));
    options.deleteUsers.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Deletes the users named in FILE (- for standard input), one a line, as a class list "
            "is read; #NUMBER names the user with that number, as for --delete-user. The folder "
            "is read once for them all. When one is refused, none is deleted.") +
        example("--delete-users leavers.txt"));
    options.restoreUsers.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Brings back the users named in FILE (- for standard input), one a line; #NUMBER names "
            "the deleted user who had that number. When one is refused, none is restored.") +
        example("--restore-users leavers.txt"));
    options.trainers.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Administers each trainer folder named in FILE, one a line, in turn, as --trainer "
            "given more than once does: each line printed begins with the folder (in tsv, as a "
            "first field; in json, one document a line per trainer), and the status is the worst "
            "of them.") +
        example("--set sounds=none")
            .replace(QLatin1String("--trainer /srv/trainer"),
                     QLatin1String("--trainers rooms.txt")));
    options.log.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "Prints the last N lines (%1 when N is left out) of the record of changes, %2 beside "
            "Dexlan4.ini: one line per change made from the window or the command line, oldest "
            "first, its fields separated by tabs: the time, the account, the computer, window or "
            "command line, what was done, the name, the number and the detail.")
            .arg(QString::number(kDefaultLogLines), QLatin1String(kChangeLogName)) +
        example("--log 50"));
    options.get.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Prints the value of one setting, in the form --set takes; KEY "
                                    "is one of: %1. May be given more than once.")
            .arg(adminGetKeys().join(QLatin1String(", "))) +
        example("--get history"));
    options.listDeleted.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Prints the deleted users that --restore-user can bring back, "
                                    "newest deletion first, with the time of each deletion.") +
        example("--list-deleted"));
    options.format.setDescription(
        QCoreApplication::translate(
            "CommandLine",
            "How --show, --get, --list-users, --list-deleted and the report of the changes are "
            "printed: text (for a person; the default), tsv (tab-separated rows) or json (one "
            "document, described in the manual page).") +
        example("--list-users --format json"));
    options.check.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Changes nothing: prints what the command would change, and "
                                    "ends with status 3 when it would change anything, 0 when "
                                    "not.") +
        example("--check --set sounds=none"));
    options.ifPresent.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "A name given to --delete-user or --delete-users that is not "
                                    "on the list is reported as not there, instead of refused.") +
        example("--if-present --delete-user \"Ann Smith\""));
    options.createFolder.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Makes the folder that --set location= names when it does "
                                    "not exist (its last level only); without it, such a location "
                                    "is refused.") +
        example("--create-folder --set location=/srv/history"));
    options.force.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Deletes a user for good where the history file cannot be kept "
                                    "for restoring; without it, such a deletion is refused.") +
        example("--force --delete-user \"Ann Smith\""));
    options.quiet.setDescription(
        QCoreApplication::translate("CommandLine",
                                    "Prints no report of the changes: only refusals and errors, "
                                    "on standard error, and what --show, --get and the listings "
                                    "ask for.") +
        example("--quiet --add-users class-4b.txt"));
    for (const QCommandLineOption* option :
         {&options.trainer,      &options.trainers,    &options.show,        &options.get,
          &options.set,          &options.listUsers,   &options.listDeleted, &options.addUsers,
          &options.deleteUser,   &options.deleteUsers, &options.restoreUser, &options.restoreUsers,
          &options.log,          &options.format,      &options.check,       &options.ifPresent,
          &options.createFolder, &options.force,       &options.quiet,       &options.separator,
          &options.header,       &options.noHeader,    &options.nameColumns, &options.encoding})
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
    request.deleteUserLists = parser.values(options.deleteUsers);
    request.restoreUserLists = parser.values(options.restoreUsers);
    request.trainerLists = parser.values(options.trainers);
    if (parser.isSet(options.log))
        request.logLines = std::max(parser.value(options.log).toInt(), -1); // -1: refused below
    request.get = parser.values(options.get);
    request.listDeleted = parser.isSet(options.listDeleted);
    request.format = reportFormatNamed(parser.value(options.format)).value_or(ReportFormat::Text);
    request.check = parser.isSet(options.check);
    request.ifPresent = parser.isSet(options.ifPresent);
    request.createFolder = parser.isSet(options.createFolder);
    request.force = parser.isSet(options.force);
    request.quiet = parser.isSet(options.quiet);
    if (parser.isSet(options.separator))
        request.importChoices.separator = separatorNamed(parser.value(options.separator));
    if (parser.isSet(options.header) || parser.isSet(options.noHeader))
        request.importChoices.header = parser.isSet(options.header);
    if (parser.isSet(options.nameColumns))
        request.importChoices.nameColumns =
            parser.value(options.nameColumns).split(QLatin1Char(','));
    if (parser.isSet(options.encoding))
        request.importChoices.encoding =
            encodingNamed(parser.value(options.encoding)).value_or(ClassListEncoding::Guess);
    return request;
}

// Why the choices of how class lists are read do not make sense, if they don't.
QString wrongImportChoice(const QCommandLineParser& parser, const AdminOptions& options) {
    if (parser.isSet(options.separator) && !separatorNamed(parser.value(options.separator)))
        return QCoreApplication::translate("CommandLine",
                                           "--separator %1: not comma, semicolon, tab or none.")
            .arg(parser.value(options.separator));
    if (parser.isSet(options.header) && parser.isSet(options.noHeader))
        return QCoreApplication::translate("CommandLine",
                                           "--header and --no-header cannot both be given.");
    if (parser.isSet(options.nameColumns)) {
        const QStringList columns = parser.value(options.nameColumns).split(QLatin1Char(','));
        for (const QString& column : columns) {
            bool isNumber = false;
            const int number = column.trimmed().toInt(&isNumber);
            if (column.trimmed().isEmpty() || (isNumber && (number < 1 || number > 1000)))
                return QCoreApplication::translate(
                           "CommandLine",
                           "--name-columns %1: columns are numbers from 1 or titles, separated "
                           "by commas.")
                    .arg(parser.value(options.nameColumns));
        }
    }
    if (parser.isSet(options.encoding) && !encodingNamed(parser.value(options.encoding)))
        return QCoreApplication::translate("CommandLine", "--encoding %1: not utf-8 or code-page.")
            .arg(parser.value(options.encoding));
    return {};
}

// --log takes its number only when one follows: a bare --log is the default.
QStringList withLogCount(QStringList arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--"))
            break;
        if (arguments[i] != QLatin1String("--log"))
            continue;
        bool isNumber = false;
        if (i + 1 < arguments.size())
            arguments[i + 1].toInt(&isNumber);
        if (!isNumber)
            arguments[i] = QStringLiteral("--log=%1").arg(kDefaultLogLines);
    }
    return arguments;
}

// The help's last part: what the administrator's command line ends with.
QString exitStatusText() {
    return QCoreApplication::translate(
        "CommandLine",
        "Exit status with --trainer:\n"
        "  0  done: everything asked for is so now, whether it was changed or already so\n"
        "  1  failed or refused: what was refused was not done, not even in part; standard "
        "error says why\n"
        "  2  the command line was wrong\n"
        "  3  with --check: something would be changed (nothing was)\n"
        "With several trainers (--trainer more than once, or --trainers), the worst of their "
        "statuses: 1, then 3, then 0; each line printed begins with the trainer's folder, and "
        "--format json prints one document a line per trainer.\n"
        "--delete-users and --restore-users are all or nothing: when one name is refused, none "
        "is changed.\n"
        "Every change is recorded in Dexlan4-changes.log beside Dexlan4.ini (--log shows it); "
        "a record that cannot be written is said on standard error and changes no status.\n");
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
    const QCommandLineOption codePage(
        QStringLiteral("code-page"),
        QCoreApplication::translate(
            "CommandLine",
            "The code page in which the trainer on this computer writes names and the history "
            "location: 874, or 1250 to 1258 (1252 is Western European). Without it, the "
            "setting CodePage of the configuration, and otherwise the one the system's "
            "language gives.") +
            example("--code-page 1250 --add-users klasa-4b.csv"),
        QStringLiteral("N"));
    parser.addOption(codePage);
    const AdminOptions admin = addAdminOptions(parser);
    parser.addPositionalArgument(
        QStringLiteral("trainer"),
        QCoreApplication::translate("CommandLine",
                                    "The trainer's folder, or its program file \"%1\".")
            .arg(QLatin1String(kTrainerExecutable)),
        QStringLiteral("[trainer]"));

    if (!parser.parse(withLogCount(arguments)))
        return {CommandLineAction::Refuse, refusal(parser.errorText()), {}, {}};
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know our name.
        QString text = parser.helpText();
        const qsizetype options = text.indexOf(QLatin1String(" [options]"));
        if (text.startsWith(QLatin1String("Usage: ")) && options > 0)
            text.replace(7, options - 7, kProgramName);
        text += QLatin1Char('\n') + exitStatusText();
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
    const QStringList trainers = parser.values(admin.trainer);
    if ((trainers.size() > 1 || parser.isSet(admin.trainers)) && !line.admin.any())
        return {CommandLineAction::Refuse,
                refusal(QCoreApplication::translate(
                    "CommandLine", "several trainers are administered, not opened in a window: "
                                   "give a command, such as --show or --set.")),
                {},
                {}};
    if (parser.isSet(codePage)) {
        bool isNumber = false;
        const int number = parser.value(codePage).toInt(&isNumber);
        if (!isNumber || !CodePage::byNumber(number))
            return {CommandLineAction::Refuse,
                    refusal(QCoreApplication::translate(
                                "CommandLine", "--code-page %1: not 874, nor 1250 to 1258.")
                                .arg(parser.value(codePage))),
                    {},
                    {}};
        line.admin.codePageNumber = number;
    }
    if (!line.admin.any()) {
        for (const QCommandLineOption* modifier : admin.modifiers()) {
            if (parser.isSet(*modifier))
                return {CommandLineAction::Refuse,
                        refusal(QCoreApplication::translate(
                                    "CommandLine",
                                    "--%1 says how a command is done, but no command is given "
                                    "(such as --show, --get, --set or --add-users).")
                                    .arg(modifier->names().constFirst())),
                        {},
                        {}};
        }
        return line;
    }
    if (parser.isSet(admin.log) && line.admin.logLines < 1)
        return {
            CommandLineAction::Refuse,
            refusal(QCoreApplication::translate("CommandLine", "--log %1: not a number of lines.")
                        .arg(parser.value(admin.log))),
            {},
            {}};
    if (parser.isSet(admin.format) && !reportFormatNamed(parser.value(admin.format)))
        return {CommandLineAction::Refuse,
                refusal(QCoreApplication::translate("CommandLine",
                                                    "--format %1: not text, tsv or json.")
                            .arg(parser.value(admin.format))),
                {},
                {}};
    if (const QString wrong = wrongImportChoice(parser, admin); !wrong.isEmpty())
        return {CommandLineAction::Refuse, refusal(wrong), {}, {}};
    for (const QString& key : line.admin.get) {
        if (!adminGetKeys().contains(key))
            return {CommandLineAction::Refuse,
                    refusal(QCoreApplication::translate("CommandLine",
                                                        "--get %1: not one of these keys: %2.")
                                .arg(key, adminGetKeys().join(QLatin1String(", ")))),
                    {},
                    {}};
    }
    line.admin.trainer = line.trainer;
    line.admin.trainers = trainers.size() > 1 ? trainers : QStringList();
    const QStringList fromInput =
        (line.admin.addUsers + line.admin.deleteUserLists + line.admin.restoreUserLists)
            .filter(QRegularExpression(QStringLiteral("^-$")));
    if (fromInput.size() > 1)
        return {CommandLineAction::Refuse,
                refusal(QCoreApplication::translate(
                    "CommandLine", "standard input (-) can be read for one list only.")),
                {},
                {}};
    if (line.trainer.isEmpty() && line.admin.trainerLists.isEmpty())
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
