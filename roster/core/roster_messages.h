// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/message_box.h"
#include "roster/core/history_folder.h"

#include <QString>

#include <vector>

namespace dexlan {

// The message boxes of the history location, the user list, adding and
// deleting names. Parts of a prompt are joined with CR LF.

// The history folder is missing: create it? (Yes / No)
MsgBoxRequest createFolderQuestion(const QString& errorText, const QString& historyFolder);
// History files cannot be read (or created) at the location.
MsgBoxRequest cannotReadReport(const QString& errorText, const QString& historyFolder);

// The description that opens the cannot-read message when history files could
// not be read: one line a file, up to a handful, then how many more.
QString unreadableFilesText(const std::vector<UnreadableFile>& files);

// The progress of a long reading of the history folder, as the user list shows it.
QString readingUsersText(qint64 read, qint64 total);

// The typed name is already in the list.
MsgBoxRequest duplicateNameReport(const QString& name);
// The typed name cannot stand on line 1 of a history file; outside the code
// page, the message names it.
enum class UnstorableReason { ControlCharacter, OutsideCodePage, TooLong };
MsgBoxRequest unstorableNameReport(const QString& name, UnstorableReason reason,
                                   const CodePage& codePage);
// Adding a name: the history folder is missing: create it? (Yes / No)
MsgBoxRequest addFolderQuestion(const QString& historyFolder);
// Adding a name: the history file cannot be created or written.
MsgBoxRequest cannotSaveReport(const QString& errorText, const QString& path);

// Why no history file can be made: every user number is taken.
QString numbersUsedUpText();

// Deleting a name: the once-per-window question (OK / Cancel).
MsgBoxRequest deleteQuestion(const QString& name);
// Deleting a name: the file no longer holds the listed name (another copy or
// administrator reused the number); nameNow is empty when it holds no name.
MsgBoxRequest replacedFileReport(const QString& listedName, const QString& nameNow,
                                 const QString& path);
// Deleting a name: the file cannot be deleted.
MsgBoxRequest cannotDeleteReport(const QString& errorText, const QString& deletePath);
// Deleting a name whose entry carries no user number, so names no file.
MsgBoxRequest noUserNumberReport(const QString& name);
// Another copy of the program kept the user list to itself for too long.
MsgBoxRequest rosterBusyReport(const QString& historyFolder);

} // namespace dexlan
