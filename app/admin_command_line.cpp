// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/admin_command_line.h"

#include "app/admin_run.h"
#include "app/startup_messages.h"
#include "platform/code_page.h"
#include "platform/line_break.h"
#include "roster/core/bulk_add.h"
#include "roster/core/held_names.h"

#include <QCoreApplication>

#include <algorithm>

namespace dexlan {

namespace admin {

// A message box's prompt, as lines on a terminal.
QString asLines(const QString& prompt) {
    QString text = prompt;
    text.replace(kCrLf, QLatin1String("\n"));
    return text;
}

void Run::logChange(const LoggedChange& change) {
    if (!log)
        return;
    const FileError error = log->record(change);
    if (!error.failed() || logFailureTold)
        return;
    logFailureTold = true;
    err << kProgramName << ": "
        << QCoreApplication::translate("AdminCommandLine",
                                       "%1: the record of changes cannot be written (%2); the "
                                       "changes are made all the same.")
               .arg(shownPath(log->path()), error.text)
        << '\n';
    err.flush();
}

void Run::logRecord(const ChangeRecord& record) {
    if (record.action == QLatin1String("set")) {
        for (const LineChange& line : record.lines)
            logChange(settingChange({line.line, line.before, line.after}));
        return;
    }
    if (record.action == QLatin1String("create-folder")) {
        logChange({record.action, {}, 0, record.name});
        return;
    }
    // added, held, deleted, restored, erased: what became of the name.
    logChange({record.result, record.name, record.number, record.reason});
}

QString isoTime(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

} // namespace admin

namespace {

using namespace admin;

// The status a run ends with.
int statusOf(const Run& run) {
    if (run.refused)
        return kAdminRefused;
    if (run.request.check && std::any_of(run.report.changes.begin(), run.report.changes.end(),
                                         [](const ChangeRecord& change) { return change.changed; }))
        return kAdminWouldChange;
    return kAdminDone;
}

// Says where the trainer was looked for: a script run on many computers must
// tell which one lacks it.
QString trainerNotFoundText(const QString& named) {
    const QString shown = shownPath(named);
    if (!PathStatus(named).exists())
        return QCoreApplication::translate("AdminCommandLine", "%1: no such folder.").arg(shown);
    return QCoreApplication::translate("AdminCommandLine", "%1: \"%2\" is not there.")
        .arg(shown, QLatin1String(kTrainerExecutable));
}

// The last lines of the record of changes, as they stand in it.
void showLog(Run& run, const QString& folder, int count) {
    const QStringList lines = lastLoggedChanges(folder, count);
    if (run.request.format == ReportFormat::Json) {
        run.report.log = lines;
        return;
    }
    for (const QString& line : lines)
        run.out << line << '\n';
}

// The names of a batch: those given one by one, then those of each list
// (one a line, read as a class list is); nothing after telling why a list
// cannot be read.
std::optional<QStringList> batchEntries(Run& run, const QStringList& single,
                                        const QStringList& lists, QIODevice& standardInput) {
    QStringList entries = single;
    for (const QString& source : lists) {
        // Read as a class list is, its shape guessed; only its encoding is
        // chosen with the class lists'.
        ImportChoices guessed;
        guessed.encoding = run.request.importChoices.encoding;
        const ClassList list =
            readClassListOrStandardInput(source, standardInput, guessed, run.state.codePage());
        if (list.refusal) {
            run.refuse(list.refusal->prompt);
            return std::nullopt;
        }
        entries += list.names;
    }
    return entries;
}

void carryOut(Run& run, QIODevice& standardInput, const QDateTime& now) {
    const AdminRequest& request = run.request;
    const std::optional<QString> folder = namedTrainerFolder(request.trainer, run.state.pathPolicy);
    if (!folder) {
        run.refuse(trainerNotFoundText(request.trainer) + QLatin1Char('\n') +
                   locateTrainerRefusal().prompt);
        return;
    }
    run.report.trainer = shownPath(*folder);
    run.state.programFolder = *folder;
    run.state.docsInstalled = fileExists(*folder + QLatin1String(kDocumentationPage));
    run.state.startupDone = true;
    run.log.emplace(*folder, thisAuthor(ChangePlace::CommandLine));
    const std::optional<LoadedWindowValues> loaded = readOptionsFile(run.state, run.dialogs);
    if (!loaded) {
        run.refuse(QCoreApplication::translate("AdminCommandLine", "The trainer's folder: %1")
                       .arg(shownPath(*folder)));
        return;
    }
    copyOptionLines(run.state);
    run.linesAsRead = loaded->linesAsRead;

    if (!request.settings.isEmpty())
        saveSettings(run, request.settings, loaded->locationBoxText);

    std::optional<QStringList> toDelete =
        batchEntries(run, request.deleteUsers, request.deleteUserLists, standardInput);
    std::optional<QStringList> toRestore =
        batchEntries(run, request.restoreUsers, request.restoreUserLists, standardInput);
    if (!toDelete || !toRestore)
        return; // a list that cannot be read: nothing of the roster is changed
    const bool rosterChange =
        !request.addUsers.isEmpty() || !toDelete->isEmpty() || !toRestore->isEmpty();
    const QString historyFolder = run.folder();
    if (rosterChange && !request.check && !historyFolder.isEmpty())
        eraseExpired(run, historyFolder, *toRestore);
    if (!toDelete->isEmpty())
        deleteUsers(run, historyFolder, *toDelete, now);
    if (!toRestore->isEmpty())
        restoreUsers(run, historyFolder, *toRestore);
    for (const QString& source : request.addUsers)
        addUsers(run, historyFolder, source, standardInput);
    if (request.listUsers)
        listAllUsers(run, historyFolder);
    if (request.listDeleted)
        listDeletedUsers(run, historyFolder);
    if (request.show)
        show(run);
    if (!request.get.isEmpty())
        get(run, request.get);
    if (request.logLines > 0)
        showLog(run, *folder, request.logLines);
}

} // namespace

int runAdministration(const AdminRequest& request, QTextStream& out, QTextStream& err,
                      QIODevice& standardInput, const QDateTime& now) {
    Run run(request, out, err);
    carryOut(run, standardInput, now);
    run.report.status = statusOf(run);
    // JSON is one document, whole at the end; under --quiet only when
    // something was asked that is printed anyway.
    if (request.format == ReportFormat::Json && (!request.quiet || request.asksQuestions()))
        out << QString::fromUtf8(reportJson(run.report));
    out.flush();
    err.flush();
    return run.report.status;
}

} // namespace dexlan
