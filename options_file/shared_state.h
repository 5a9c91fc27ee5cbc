// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"
#include "platform/path_policy.h"

#include <QString>

namespace dexlan {

// The layout's reference width in twips: screenScale is the screen's width over it.
inline constexpr double kLayoutReferenceWidthTwips = 9600.0;

// The verdict of the last check of the history folder.
enum class HistoryFolderState {
    Usable,
    MissingNotCreated, // missing, and the user chose not to create it
    Unusable,
};

// Everything the windows share for one run of the program. The application owns
// one; each test builds its own.
struct SharedState {
    OptionLines optionLines;     // the working copy every page reads and writes
    OptionLines fileOptionLines; // as read, or as last saved
    QByteArray fileDigest;       // of the whole file as read or last saved; empty when none
    QString programFolder;       // the trainer's folder, ending in a separator
    QString historyFolder;       // folder prefix ending in a separator, or empty
    HistoryFolderState historyFolderState = HistoryFolderState::Usable;
    double screenScale = 1.0;   // screen width in twips / 9600
    bool docsInstalled = false; // the trainer's documentation start page exists
    bool startupDone = false;   // the introduction window of start-up has been closed
    bool confirmDelete = true;  // the next deletion asks first
    bool changeLogFailureTold = false; // the record of changes failed, and the user was told
    PathPolicy pathPolicy = PathPolicy::native(); // with the code page in use

    // The code page of the trainer's files: names in history files, the location.
    const CodePage& codePage() const { return pathPolicy.codePage; }
};

} // namespace dexlan
