// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace dexlan {

// What the administrator's command line reports, for a person or for a script:
// the changes asked for and the answers to its questions, as text, as
// tab-separated rows or as one JSON document.

enum class ReportFormat { Text, Tsv, Json };

// --format's word, or nothing for a word it does not take.
std::optional<ReportFormat> reportFormatNamed(const QString& word);

// The JSON document's name and version; a script can check it before reading on.
inline constexpr char kReportSchema[] = "dexlan-options-report/1";

struct LineChange {
    int line = 0;
    QString before;
    QString after;
    bool corrected = false; // made by the program itself, as every save makes it, not asked for
    friend bool operator==(const LineChange&, const LineChange&) = default;
};

// One change asked for: what was done or, under --check, what would be.
struct ChangeRecord {
    QString action; // set, create-folder, add, delete, restore, erase
    QString result; // changed, unchanged, created, added, already-there, held, deleted,
                    // not-there, restored, erased, refused
    bool changed = false;
    QString name;                  // the user's name; for create-folder, the folder
    int number = 0;                // the user's number; 0 when there is none to tell
    QString reason;                // why it was refused, or why nothing was needed
    std::vector<LineChange> lines; // for set: each line of Dexlan4.ini changed
    QString deletedAt;             // for erase: when the user was deleted (ISO 8601)
};

// A user as listed, or a deleted user as held.
struct ReportedUser {
    int number = 0;
    QString name;
    QString deletedAt; // ISO 8601 in UTC; held users only
};

struct AdminReport {
    QString trainer; // the trainer's folder
    bool check = false;
    int status = 0;
    bool withChanges = true; // false under --quiet
    std::vector<ChangeRecord> changes;
    std::vector<std::pair<QString, QString>> values;                  // --get, in the order asked
    std::optional<std::vector<std::pair<QString, QString>>> settings; // --show
    std::optional<QStringList> lines;                                 // --show: the twelve lines
    std::optional<std::vector<ReportedUser>> users;                   // --list-users
    std::optional<std::vector<ReportedUser>> deleted;                 // --list-deleted
    std::optional<QStringList> log;                                   // --log: its lines
};

// A change as tab-separated rows, each of five fields: the action, the result,
// a number (the line of Dexlan4.ini for set, otherwise the user's), then for
// set the old and the new line, otherwise the name and the reason. A set that
// changed nothing is one row with the three last fields empty. Refusals have
// no row: they are said on standard error.
QString changeRows(const ChangeRecord& change);

// The whole report as one JSON document, ended by a line break.
QByteArray reportJson(const AdminReport& report);

} // namespace dexlan
