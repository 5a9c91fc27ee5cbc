// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/admin_report.h"
#include "options_file/option_lines.h"
#include "platform/code_page.h"
#include "roster/core/class_list_import.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class QIODevice;
class QTextStream;

namespace dexlan {

// What an administrator asks of the command line: settings and the roster of
// one trainer, without a window. Everything is done with the rules the windows
// follow. Each change names the state it brings about, so that asking for it
// again changes nothing and still succeeds.
struct AdminRequest {
    QString trainer;              // the trainer's folder or program file
    QStringList trainers;         // --trainer, given more than once: each in turn
    QStringList trainerLists;     // --trainers FILE: the folders, one a line
    bool show = false;            // --show
    QStringList get;              // --get KEY, in order
    QStringList settings;         // --set KEY=VALUE, in order
    bool listUsers = false;       // --list-users
    bool listDeleted = false;     // --list-deleted
    QStringList addUsers;         // --add-users FILE ("-": standard input)
    QStringList deleteUsers;      // --delete-user NAME, or #NUMBER
    QStringList restoreUsers;     // --restore-user NAME, or #NUMBER
    QStringList deleteUserLists;  // --delete-users FILE ("-": standard input)
    QStringList restoreUserLists; // --restore-users FILE ("-": standard input)
    // How class lists are read: --separator, --header or --no-header,
    // --name-columns, --encoding; what is not given is guessed from the file.
    ImportChoices importChoices;

    ReportFormat format = ReportFormat::Text; // --format
    bool check = false;        // --check: change nothing, say whether anything would change
    bool ifPresent = false;    // --if-present: a name to delete that is not there is no refusal
    bool createFolder = false; // --create-folder: a missing history folder is made
    bool force = false;        // --force: a deletion that cannot be held is made for good
    bool quiet = false;        // --quiet: no report of the changes, only the refusals
    int logLines = 0;          // --log N: the last N lines of the record of changes
    std::optional<int> codePageNumber; // --code-page N, for the windows too
    // The trainer's code page: chosen from --code-page, the configuration and
    // the system before the request is carried out.
    CodePage codePage = CodePage::windows1252();

    bool any() const {
        return show || !get.isEmpty() || !settings.isEmpty() || listUsers || listDeleted ||
               logLines != 0 || !addUsers.isEmpty() || !deleteUsers.isEmpty() ||
               !restoreUsers.isEmpty() || !deleteUserLists.isEmpty() || !restoreUserLists.isEmpty();
    }
    // Whether anything is asked to be printed, which --quiet leaves printed.
    bool asksQuestions() const {
        return show || !get.isEmpty() || listUsers || listDeleted || logLines != 0;
    }
};

// The exit statuses of the administrator's command line.
inline constexpr int kAdminDone = 0;        // everything asked is so now, changed or not
inline constexpr int kAdminRefused = 1;     // something was refused or failed
inline constexpr int kAdminUsage = 2;       // the command line was wrong
inline constexpr int kAdminWouldChange = 3; // --check: something would change

// One --set: the entry it changes and the value it stores; for the location,
// the text as typed into the location box.
struct AdminSetting {
    int entry = 0;
    QByteArray value;     // for every entry but the location
    QString locationText; // for the location; empty: the trainer's own folder
};

// The setting a KEY=VALUE stands for, or nothing when the key or the value is
// not one of those --help lists.
std::optional<AdminSetting> parseAdminSetting(const QString& keyAndValue);

// The help's lines on --set: each key with its values.
QString adminSettingKeysText();

// The keys --get takes: those of --set, and the installation's type.
QStringList adminGetKeys();

// Each key of --get with its value in the options file's lines, in the form
// --set takes (for the type: single-computer, network or individual); a line
// that holds none of the known values is given as it stands.
std::vector<std::pair<QString, QString>>
adminSettingValues(const OptionLines& lines, const CodePage& codePage = CodePage::windows1252());

// Carries out the request: settings first (saved once, safely, all or none),
// then the deletions, restorations and additions, then the listings. Reports
// go to out, refusals and errors to err. Answers the exit status: kAdminDone,
// kAdminRefused or, under --check, kAdminWouldChange.
int runAdministration(const AdminRequest& request, QTextStream& out, QTextStream& err,
                      QIODevice& standardInput, const QDateTime& now);

// Carries out the request on each trainer named (trainers, then those of
// each trainer list), in turn. For one trainer named once, exactly as
// runAdministration. For several, or for a list, each line printed begins
// with the trainer's folder (in text, "FOLDER: "; in rows, a first field),
// and JSON is one compact document per trainer, a line each. Answers the
// worst status: refused, then would change, then done.
int administerEach(const AdminRequest& request, QTextStream& out, QTextStream& err,
                   QIODevice& standardInput, const QDateTime& now);

} // namespace dexlan
