// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/admin_command_line.h"

#include "app/admin_run.h"
#include "app/startup_messages.h"
#include "platform/code_page.h"
#include "platform/line_break.h"
#include "roster/held_names.h"

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
    const std::optional<LoadedWindowValues> loaded = readOptionsFile(run.state, run.dialogs);
    if (!loaded) {
        run.refuse(QCoreApplication::translate("AdminCommandLine", "The trainer's folder: %1")
                       .arg(shownPath(*folder)));
        return;
    }
    copyOptionLines(run.state);

    if (!request.settings.isEmpty())
        saveSettings(run, request.settings, loaded->locationBoxText);

    const bool rosterChange = !request.addUsers.isEmpty() || !request.deleteUsers.isEmpty() ||
                              !request.restoreUsers.isEmpty();
    const QString historyFolder = run.folder();
    if (rosterChange && !request.check && !historyFolder.isEmpty())
        eraseExpired(run, historyFolder);
    for (const QString& name : request.deleteUsers)
        deleteUser(run, historyFolder, name, now);
    for (const QString& name : request.restoreUsers)
        restoreUser(run, historyFolder, name);
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
