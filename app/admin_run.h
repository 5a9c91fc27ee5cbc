// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the parts of the administrator's command line share while one trainer
// is administered: the run's state, its report, and the way it tells.

#include "app/admin_command_line.h"
#include "options_file/change_log.h"
#include "options_file/options_dialogue.h"
#include "options_file/shared_state.h"
#include "platform/dialogs.h"
#include "platform/file_names.h"
#include "platform/folder_lock.h"
#include "roster/core/bulk_add.h"
#include "roster/core/history_folder.h"

#include <QDateTime>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace dexlan::admin {

inline const QString kProgramName = QStringLiteral("dexlan-options");

QString asLines(const QString& prompt);

// The Dialogs of a run without a window: nothing can be asked, so every
// question gets the answer that changes nothing, but for the one question
// the command line itself answers by being given: whether to save the
// options. Each message is written to stderr in the window's words.
class CommandLineDialogs final : public Dialogs {
  public:
    explicit CommandLineDialogs(QTextStream& err) : m_err(err) {}

    MsgAnswer msgBox(const MsgBoxRequest& request) override {
        if (request == updateQuestion())
            return MsgAnswer::Yes;
        tell(request.prompt);
        switch (request.buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
        case MsgButtons::RetryCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        }
        return MsgAnswer::Cancel;
    }
    QString openFile(const FileOpenRequest&) override { return {}; }
    void showModal(QDialog&) override {}

    void tell(const QString& prompt) {
        m_err << kProgramName << ": " << asLines(shownPath(prompt)) << '\n';
        m_err.flush();
        m_told = true;
    }
    bool told() const { return m_told; }

  private:
    QTextStream& m_err;
    bool m_told = false;
};

struct Run {
    Run(const AdminRequest& r, QTextStream& o, QTextStream& e)
        : request(r), out(o), err(e), dialogs(e) {
        state.pathPolicy.codePage = r.codePage;
        report.check = r.check;
        report.withChanges = !r.quiet;
    }
    const AdminRequest& request;
    QTextStream& out;
    QTextStream& err;
    CommandLineDialogs dialogs;
    SharedState state;
    AdminReport report;
    OptionLines linesAsRead; // Dexlan4.ini as it stands, before loading corrected it
    bool refused = false;
    std::optional<ChangeLog> log; // once the trainer is found
    bool logFailureTold = false;

    // Adds a change made to the record of changes; a record that cannot be
    // written is said once on stderr, and the change stands.
    void logChange(const LoggedChange& change);
    void logRecord(const ChangeRecord& record);

    void refuse(const QString& prompt) {
        dialogs.tell(prompt);
        refused = true;
    }
    // A refusal of one change: told on stderr, and kept in the report.
    void refuse(const QString& prompt, ChangeRecord record) {
        refuse(prompt);
        record.result = QStringLiteral("refused");
        record.changed = false;
        record.reason = asLines(shownPath(prompt));
        report.changes.push_back(std::move(record));
    }
    // A change done (or under --check, one that would be), or found done
    // already: text for a person, rows for a script, and kept for the JSON.
    void result(const QString& text, ChangeRecord record) {
        if (!request.quiet) {
            if (request.format == ReportFormat::Text)
                out << text;
            else if (request.format == ReportFormat::Tsv)
                out << changeRows(record);
        }
        if (record.changed && !request.check)
            logRecord(record);
        report.changes.push_back(std::move(record));
    }
    bool text() const { return request.format == ReportFormat::Text; }
    QString folder() const { return reachableHistoryFolder(state); }
};

inline ChangeRecord change(const char* action, const char* result, bool changed,
                           const QString& name = {}, int number = 0) {
    ChangeRecord record;
    record.action = QLatin1String(action);
    record.result = QLatin1String(result);
    record.changed = changed;
    record.name = name;
    record.number = number;
    return record;
}

QString isoTime(const QDateTime& time);

// Settings (admin_settings.cpp).
void saveSettings(Run& run, const QStringList& settings, const QString& loadedLocationText);
void show(Run& run);
void get(Run& run, const QStringList& keys);

// The roster (admin_roster.cpp, admin_roster_lists.cpp).
bool lockRosterOrRefuse(Run& run, FolderLock& lock, const QString& folder);
bool refusedForUnreachableFolder(Run& run, const QString& folder);
std::optional<UserListing> readUsers(Run& run, const QString& folder);

// The roster's commands (admin_roster.cpp, admin_roster_lists.cpp).
// A batch entry's user number: "#12" is the user numbered 12.
std::optional<int> userNumberGiven(const QString& entry);
// Deletes every user entries name (a name, or "#12"), the folder read once:
// all of them, or, when one is refused, none.
void deleteUsers(Run& run, const QString& folder, const QStringList& entries, const QDateTime& now);
// Restores every user entries name (a name, or "#12" for the number the user
// had): all of them, or, when one is refused, none.
void restoreUsers(Run& run, const QString& folder, const QStringList& entries);
// Erases the held names kept their time, sparing those restoring names.
void eraseExpired(Run& run, const QString& historyFolder, const QStringList& restoring);
// "-" is standard input, read within the same bound as a file.
ClassList readClassListOrStandardInput(const QString& source, QIODevice& standardInput,
                                       const ImportChoices& choices, const CodePage& codePage);
void addUsers(Run& run, const QString& folder, const QString& source, QIODevice& standardInput);
void listAllUsers(Run& run, const QString& folder);
void listDeletedUsers(Run& run, const QString& folder);

} // namespace dexlan::admin
