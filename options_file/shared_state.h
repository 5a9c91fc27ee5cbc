#pragma once

#include "options_file/option_lines.h"
#include "platform/path_policy.h"

#include <QString>

namespace dexlan {

// Everything the windows share for one run of the program. The application owns
// one; each test builds its own.
struct SharedState {
    OptionLines optionLines;     // the working copy every page reads and writes
    OptionLines fileOptionLines; // as read, or as last saved
    QByteArray fileDigest;       // of the whole file as read or last saved; empty when none
    QString programFolder;       // the trainer's folder, ending in a separator
    QString historyFolder;       // folder prefix ending in a separator, or empty
    int historyFolderState = 0;  // 0 usable, 1 missing and not created, 99 unusable
    double screenScale = 1.0;    // screen width in twips / 9600
    int docsInstalled = 0;
    int startupDone = 0;
    int confirmDelete = 1;
    int answer = 0; // the last message-box answer
    PathPolicy pathPolicy = PathPolicy::native();
};

} // namespace dexlan
