// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_error.h"
#include "platform/message_box.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace dexlan {

// A record of who changed what: every change made from the window or the
// command line adds one line to a log beside the options file. The trainer
// never reads it, so it is UTF-8 text, one line per change, fields parted by
// tabs: the time (ISO 8601 with the zone), the account, the computer, where
// the change was made ("window" or "command line"), what was done, the
// user's name and number, and the detail (for a setting, the line's old and
// new value). A tab, line break or backslash inside a field is written as
// \t, \n, \r or \\, so that a line is always one change.
inline constexpr char kChangeLogName[] = "Dexlan4-changes.log";
// The log is capped: past this size it becomes the one previous file, whose
// name ends in kPreviousLogSuffix, and a new log begins.
inline constexpr qint64 kChangeLogCapBytes = 1024 * 1024;
inline constexpr char kPreviousLogSuffix[] = ".1";
// How many lines --log prints when no number is given.
inline constexpr int kDefaultLogLines = 20;

enum class ChangePlace { Window, CommandLine };

// One change, as the log says it.
struct LoggedChange {
    QString action; // set, create-folder, added, held, deleted, restored, erased, class-list
    QString name;   // the user's name; empty for a setting
    int number = 0; // the user's number; 0 when there is none to tell
    QString detail; // for set: line N: "old" -> "new"; for class-list: its count and source
};

// Who makes the changes, and how the time is read.
struct ChangeAuthor {
    QString account;
    QString machine;
    ChangePlace place = ChangePlace::Window;
    std::function<QDateTime()> clock; // empty: this computer's time, with its zone
};
// This account on this computer.
ChangeAuthor thisAuthor(ChangePlace place);

// A field as the log writes it.
QString escapedLogField(const QString& field);

// The line for one change, ended by a line break.
QByteArray changeLogLine(const QDateTime& at, const ChangeAuthor& author,
                         const LoggedChange& change);

// The log of the trainer in programFolder (ending in a separator).
class ChangeLog {
  public:
    ChangeLog(const QString& programFolder, ChangeAuthor author);
    // Appends the change's line in one write, after making the log the
    // previous one when it has grown past its cap. A log that cannot be
    // written never stops the change: the caller only tells.
    FileError record(const LoggedChange& change) const;
    QString path() const { return m_path; }

  private:
    QString m_folder;
    QString m_path;
    ChangeAuthor m_author;
};

// The last count lines of the log of programFolder (the previous file's
// first, where the log alone has fewer), oldest first, as written.
QStringList lastLoggedChanges(const QString& programFolder, int count);

// The lines of a setting's save: one for each line of Dexlan4.ini changed.
struct LineValues {
    int line;
    QString before;
    QString after;
};
LoggedChange settingChange(const LineValues& line);

struct SharedState;
class Dialogs;

// Said once in a session, the first time the log cannot be written; the
// change itself is made all the same.
MsgBoxRequest changeLogUnwritableReport(const QString& errorText, const QString& path);

// Records a change made in the window to the log of state's trainer. A log
// that cannot be written is told once a session, through dialogs.
void recordWindowChange(SharedState& state, Dialogs& dialogs, const LoggedChange& change);

} // namespace dexlan
