// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_error.h"
#include "roster/core/roster_decisions.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace dexlan {

// A deleted user's history file is held for a while in a hidden folder inside
// the history folder, so that a deletion can be undone. The trainer lists only
// the history folder itself and never sees a held file.

inline constexpr char kHoldingFolderName[] = ".deleted";
// Held files older than this are erased when the program next starts.
inline constexpr int kHeldDays = 30;

// The holding folder of a history folder (both ending in a separator).
QString holdingFolder(const QString& historyFolder);

// One held user: the history file as it was, and beside it a small note with
// the time of deletion and the number the user had.
struct HeldName {
    QString key;         // the pair's common name in the holding folder
    QString name;        // the user's name, as the list showed it
    int number = 0;      // the number the user had
    QDateTime deletedAt; // UTC, as this computer's clock had it, for showing
    QDateTime heldAt;    // UTC: when the file system made the note, by its own clock
    QString heldPath;    // the history file, in the holding folder
    QString notePath;    // the note beside it
};

struct HoldResult {
    enum Outcome {
        Held,
        Replaced,   // the file no longer holds the listed name: nothing was done
        CannotHold, // the holding folder cannot be made or written: nothing was done
        Failed,     // the file itself cannot be moved (gone, say): nothing was done
    };
    Outcome outcome = Failed;
    QString nameNow; // for Replaced
    FileError error; // for CannotHold and Failed
    HeldName held;   // for Held
};

// Moves the history file at path (a user numbered number, listed as
// listedName) into its folder's holding folder, whole and in one step, with a
// note of the time now. Only while the file still holds listedName.
HoldResult holdUserFile(const QString& path, int number, const QString& listedName,
                        const QDateTime& now, const CodePage& codePage = CodePage::windows1252());

// Several users of one history folder held at once, as holdUserFile would
// each; their notes reach the disk together, and the moves after them.
struct UserToHold {
    QString path;
    int number = 0;
    QString listedName;
};
std::vector<HoldResult> holdUserFiles(const std::vector<UserToHold>& users, const QDateTime& now,
                                      const CodePage& codePage = CodePage::windows1252());

// Deleting a user as the window and the command line do: held when it can be;
// where it cannot, deleted for good only once deleteForGood, told why, agrees.
struct Deletion {
    enum Outcome { Held, Deleted, Declined, Replaced, Failed };
    Outcome outcome = Failed;
    QString nameNow; // for Replaced
    FileError error; // for Failed; for Declined, why it could not be held
};
Deletion deleteHoldingFirst(const QString& path, int number, const QString& listedName,
                            const QDateTime& now,
                            const std::function<bool(const QString& errorText)>& deleteForGood,
                            const CodePage& codePage = CodePage::windows1252());
// Several users of one history folder, as above; deleteForGood is asked about
// each that cannot be held.
std::vector<Deletion>
deleteHoldingFirst(const std::vector<UserToHold>& users, const QDateTime& now,
                   const std::function<bool(const UserToHold&, const QString& errorText)>& deleteForGood,
                   const CodePage& codePage = CodePage::windows1252());

// The users held for historyFolder, newest deletion first. A note without its
// file, or a file without its note, is no held user. A file left claimed by a
// restore that was cut short (the program killed) is put back first, once no
// other copy holds the roster's lock.
std::vector<HeldName> listHeldNames(const QString& historyFolder,
                                    const CodePage& codePage = CodePage::windows1252());

// Why the held users of historyFolder cannot be read: the holding folder is a
// file, a link, or may not be read. No failure when there is none yet.
FileError readHoldingFolder(const QString& historyFolder);

struct RestoreResult {
    enum Outcome {
        Restored,
        NameOnList,    // a user of the same name is on the list now: nothing was done
        Gone,          // no longer held (restored or erased by another copy)
        Failed,        // nothing was done
        NumbersUsedUp, // nothing was done
        Busy,          // another copy kept the roster's lock all the while: nothing was done
    };
    Outcome outcome = Failed;
    int number = 0;             // the number the user has now
    bool numberChanged = false; // its own number had been taken meanwhile
    QString path;               // the history file now
    FileError error;            // for Failed
};

// Puts a held user's file back into historyFolder under the number it had, or
// when that is taken by now under the smallest free number, without ever
// replacing a file. The held file is first claimed under a name of this call's
// own, so two copies restoring at once never both take it; and all of it is
// done under the roster's lock, waiting up to waitMs for another copy.
RestoreResult restoreHeldName(const QString& historyFolder, const HeldName& held,
                              int waitMs = kRosterWaitInWindowMs,
                              const CodePage& codePage = CodePage::windows1252());
// Several held users restored in turn, as above, under one hold of the lock
// and one reading of the folder; each name restored counts as on the list for
// those after it.
std::vector<RestoreResult> restoreHeldNames(const QString& historyFolder,
                                            const std::vector<HeldName>& held, int waitMs,
                                            const CodePage& codePage = CodePage::windows1252());

// Erases a held user's file and note for good. Gone counts as done.
FileError eraseHeldName(const HeldName& held);

// Whether a held user has been kept for kHeldDays at fileSystemNow, the time
// of the file system that holds it. A note made later than that (a clock put
// back since) counts as made now.
bool heldTooLong(const HeldName& held, const QDateTime& fileSystemNow);

// Erases every held user kept too long by the file system's own clock (never
// by this computer's, which may be a month out), but those named in spared;
// answers those erased.
std::vector<HeldName> eraseExpiredHeldNames(const QString& historyFolder,
                                            const QStringList& spared = {},
                                            const CodePage& codePage = CodePage::windows1252());

// The time of deletion as the restore window and the command line show it.
QString shownDeletionTime(const QDateTime& deletedAt);

} // namespace dexlan
