// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/options_file.h"
#include "options_file/shared_state.h"
#include "platform/message_box.h"

#include <QString>

#include <optional>

namespace dexlan {

class Dialogs;

// Loading and saving the options file as the user meets them: the questions
// and reports, through the Dialogs seam. Reading and writing the bytes is
// options_file.h's.

// The message boxes of loading and saving.
MsgBoxRequest missingFileReport();
MsgBoxRequest lineTooLongReport(int line);
MsgBoxRequest checkReport(const QByteArray& offendingLine, const QString& message,
                          const CodePage& codePage);
MsgBoxRequest updateQuestion();
MsgBoxRequest changedOnDiskQuestion();
MsgBoxRequest saveErrorReport(const QString& errorText);

// What loading puts on the options window.
struct LoadedWindowValues {
    QString locationBoxText;
    QString installationCaption;
    // The lines as the file holds them, before the corrections loading makes
    // (a single computer's location, a missing documentation line): a save
    // writes those corrections too, and whoever reports a save says so.
    OptionLines linesAsRead;
};

// Loads ProgramFolder's options file into FileOptionLines and HistoryFolder. On
// a missing or wrong file it reports so and answers nothing: the program must
// then end at once.
std::optional<LoadedWindowValues> readOptionsFile(SharedState& state, Dialogs& dialogs);

// Starts the working copy of the options from the file's.
void copyOptionLines(SharedState& state);

// The save dialogue: asks when anything changed, takes entry 5 from the
// location text and replaces the file whole. What someone else wrote since the
// file was read is kept when nothing changed here, and replaced only when the
// user says so. Answers the text the location box shows from now on, or
// nothing when the save stopped before taking the location.
std::optional<QString> saveOptionsFile(SharedState& state, Dialogs& dialogs,
                                       const QString& locationText);

} // namespace dexlan
