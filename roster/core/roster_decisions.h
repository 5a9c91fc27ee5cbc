// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"
#include "platform/file_error.h"
#include "platform/folder_lock.h"
#include "roster/core/history_file.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace dexlan {

// What the roster does on disk, decided without a window: the widget
// controller gathers the inputs, calls one of these and shows the result.

// --- Checking the history folder --------------------------------------------

struct FolderCheck {
    HistoryFolderState state = HistoryFolderState::Usable;
    QString errorText; // opens the cannot-read report; empty when none is due
};

// Proves folder (ending in a separator; empty for a location this computer
// cannot reach) usable. A missing folder is made only when createMissing,
// asked with the system's text, says so.
FolderCheck checkFolder(const QString& folder,
                        const std::function<bool(const QString& errorText)>& createMissing);

// --- Adding a user ----------------------------------------------------------

struct NewUserFile {
    enum Outcome {
        Created,
        FolderDeclined, // the folder is missing and the user would not have it made
        Failed,
        NumbersUsedUp,
    };
    Outcome outcome = Failed;
    int number = 0;
    QString path;             // the new file; for Failed, the file the error is about
    FileError error;          // for Failed
    quint64 digestBefore = 0; // the path's part of the folder's digest before
};

// Gives the user with nameBytes a history file in folder (ending in a
// separator) under the smallest number that neither the list nor the folder
// holds. The list may be stale (another administrator on the same share) or
// partial (a read failure at start-up): a number whose file holds a name is
// passed over, and a new file is only ever created where none exists.
// drawRandoms gives each try its random numbers; createMissingFolder is asked
// once should the folder have gone.
NewUserFile createUserFile(const QString& folder, const std::vector<int>& listNumbers,
                           const QByteArray& nameBytes,
                           const std::function<std::array<int, kRandomsPerFile>()>& drawRandoms,
                           const std::function<bool()>& createMissingFolder);

// --- One copy at a time ------------------------------------------------------

// Adding and restoring users check the folder for the name and then make its
// file; two copies doing both at once would each find the name free. Every
// copy does the two under this lock, beside the history files.
inline constexpr char kRosterLockName[] = ".dexlan-roster.lock";
// How long the window waits for another copy before saying so, and the
// command line, which nobody watches, before giving up.
inline constexpr int kRosterWaitInWindowMs = 5000;
inline constexpr int kRosterWaitOnCommandLineMs = 60000;

enum class RosterLocked {
    Locked,
    // No lock file can be made there (no folder yet, no right to write): nor
    // can any other copy's, and making the user's file tells why it fails.
    Unlocked,
    Busy, // another copy kept it the whole while
};
RosterLocked lockRoster(FolderLock& lock, const QString& folder, int waitMs);

// --- Deleting a user ----------------------------------------------------------

struct DeleteTarget {
    QString path;    // the file to delete, or the one the error is about
    FileError error; // the location names no folder here
};

// The file an entry of the list stands for: the file it was read from
// (listedPath) when known, else user number's file under the history location.
DeleteTarget deleteTargetFor(const QString& listedPath, const QString& folder,
                             const QString& historyFolder, int number);

struct DeletedUser {
    enum Outcome { Deleted, Replaced, Failed };
    Outcome outcome = Failed;
    QString nameNow; // for Replaced: the name the file holds now, empty for none
    FileError error; // for Failed
};

// Deletes the file at path only while it still holds listedName (as the list
// shows it): the number may have been given to somebody else since the list
// was read (another administrator, another copy).
DeletedUser deleteUserFile(const QString& path, const QString& listedName,
                           const CodePage& codePage = CodePage::windows1252());

} // namespace dexlan
