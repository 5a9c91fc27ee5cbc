// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"
#include "platform/file_error.h"
#include "platform/file_placing.h"
#include "platform/path_policy.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

namespace dexlan {

// --- The history location -------------------------------------------------

// A location that only Windows can reach: a drive letter and colon at its
// start, or a backslash (an options file written on Windows). Where the
// separator is the slash such a location names no folder here, and no file or
// folder is ever made from it.
bool isWindowsOnlyLocation(const QString& location, const PathPolicy& policy);

// The platform-style description that opens the messages about such a location.
QString windowsOnlyLocationText();

// Why a folder name with a colon cannot be made where names cannot hold one.
QString colonInFolderNameText();

// The location box's text as HistoryFolder holds it: with one separator at its
// end unless empty, in the case the platform stores. A Windows-only location
// is kept as typed, so that saving the options file gives it back unchanged;
// the marker "hist home" gives the empty text (the trainer's own folder).
QString normalisedLocation(const QString& typed, const PathPolicy& policy);

// The folder a HistoryFolder value names, ending in a separator: the trainer's
// own folder when it is empty, and relative locations taken from there too,
// never from the process's current folder.
QString resolvedHistoryFolder(const QString& historyFolder, const QString& programFolder,
                              const PathPolicy& policy);

// The folder the state's history files are read from and written to; empty
// for a location that only Windows can reach.
QString reachableHistoryFolder(const SharedState& state);
// The history location as messages name it: the trainer's folder when none is set.
QString shownHistoryFolder(const SharedState& state);

// --- Proving and creating the folder ----------------------------------------

// Proves that a file can be created in folder (ending in a separator) by
// creating one exclusively, under a hidden name no user file can have, and
// removing it. Nothing in the folder is touched. FolderMissing when the
// folder does not exist.
FileError probeFolder(const QString& folder);

// Creates the last level of folder, or says why it cannot be made. Whatever
// this file system takes as a folder name is made as it is; on Windows a colon
// in the last level is refused, as it would name a stream, not a folder.
FileError createHistoryFolder(const QString& folder);

// --- Listing users ----------------------------------------------------------

struct ListedUser {
    QByteArray name; // code-page bytes from line 1, without the quotes
    int number = 0;
    QString path; // the file the entry came from
    friend bool operator==(const ListedUser&, const ListedUser&) = default;
};

// A history file whose first line could not be read.
struct UnreadableFile {
    QString fileName;
    QString errorText; // the platform's description; empty when the file is empty
    friend bool operator==(const UnreadableFile&, const UnreadableFile&) = default;
};

struct UserListing {
    std::vector<ListedUser> users;          // in the order the folder gave the files
    std::vector<UnreadableFile> unreadable; // by file name
    FileError error;                        // the folder itself could not be listed
    std::optional<quint64> digest;          // historyFilesDigest() as the listing saw it
    // Set when the listing left the files' stamps for later: the digest then
    // counts names and identities only, and a file changed since this time
    // (by entryChangeClockNs) is a change. historyFilesUnchanged() settles it.
    std::optional<qint64> unstampedSinceNs;
};

// Where a listing can put its users as it finishes, in the folder's order,
// instead of in UserListing::users: the user list's rows, made without
// holding every user twice.
class ListedUserSink {
  public:
    virtual ~ListedUserSink() = default;
    // Called once before the users: how many come, their names' bytes in all.
    virtual void expect(qsizetype users, qsizetype nameBytes) = 0;
    virtual void take(QByteArray&& name, int number, QStringView folder,
                      const QString& fileName) = 0;
};

// How listUsers reads the history files' first lines.
struct ListingOptions {
    // Threads reading them: 0 for as many as the folder's file system suits
    // (readersFor: one a core, more on a share). With 1 and no progress, each file
    // is read as its name comes from the folder: the plain way, which every
    // other way gives the same listing as.
    int threads = 0;
    // The files a thread takes at a time.
    int batch = 256;
    // Called on the calling thread as the files are read, with the number
    // read so far and the number of history files in all.
    std::function<void(qsizetype read, qsizetype total)> progress;
    // Set by another thread when the listing is no longer wanted: the reading
    // ends at its next batch and the listing comes back failed.
    const std::atomic<bool>* stop = nullptr;
    // Whether the listing's digest is wanted. Without it, a file listed as a
    // regular file is only opened, read and closed.
    bool digest = true;
    // Whether the digest's stamps may wait until it is first compared, where
    // the folder allows it (stampsCanWait): each file is then only opened,
    // read and closed, and the stamps are taken by the check that comes
    // before any change anyway.
    bool stampsLater = false;
    // Where the users go instead of the listing's users, if anywhere.
    ListedUserSink* sink = nullptr;
};

// Lists the users of folder (ending in a separator): the normal files whose
// names end in "hist.dx" in any letter case, not hidden, not folders, whose
// first line holds a name. A file that cannot be read is noted and passed
// over: one damaged file must not hide every other user.
UserListing listUsers(const QString& folder, const ListingOptions& options = {});

// The folder's history files in one number, from their names and the files
// they stand for, read from the folder alone (no file is opened). The number
// changes when a history file is added, removed or replaced by another file,
// not when one is rewritten in place. Nothing when the folder cannot be read.
std::optional<quint64> historyFilesDigest(const QString& folder);
// How long before a listing began a change to a file makes the first check
// read the folder again, when the listing left its stamps for later: some
// file systems keep a file's times to 2 seconds, and round them down.
inline constexpr qint64 kChangeClockSlackNs = 2'000'000'000;
// Whether folder's history files are still those a listing saw, whose digest
// was listed (without its stamps when unstampedSinceNs is set). When they are,
// listed becomes the folder's whole digest, as historyFilesDigest() gives it,
// and unstampedSinceNs is cleared; when they are not, or the folder cannot be
// read, false and nothing changed.
bool historyFilesUnchanged(const QString& folder, quint64& listed,
                           std::optional<qint64>& unstampedSinceNs);
// The part the history file at path has in its folder's digest; 0 when there
// is no such file, so that a change the program makes itself can be counted
// in without reading the folder again: digest ^= before ^ after.
quint64 historyFileDigest(const QString& path);

// The text the user list shows for a name from a history file (code-page
// bytes). A line feed, which the trainer keeps within the line, shows as the
// symbol U+21B5 so that one name never looks like two; the file keeps its bytes.
QString shownName(const QByteArray& name, const CodePage& codePage = CodePage::windows1252());

// --- Choosing a number --------------------------------------------------------

// The candidates for a new user's number, ascending: every positive number
// that no list entry carries. Built in one pass over the list.
class FreeNumbers {
  public:
    explicit FreeNumbers(const std::vector<int>& listNumbers);
    // The next candidate, or nothing when the numbers are used up.
    std::optional<int> next();

  private:
    std::vector<bool> m_low; // m_low[n]: n is in the list, for n up to size
    std::vector<int> m_high; // listed numbers beyond m_low, sorted
    qint64 m_candidate = 0;
};

// The smallest positive number that no list entry carries and that takenInFolder
// does not claim.
std::optional<int> smallestFreeNumber(const std::vector<int>& listNumbers,
                                      const std::function<bool(int)>& takenInFolder);

// What the folder holds under a number.
struct NumberInFolder {
    bool taken = false;    // a file holds a name, or cannot be inspected
    QString emptyNameFile; // an existing file with the empty name, to reuse
};
NumberInFolder inspectNumber(const QString& folder, int number);

// --- Writing and deleting files ----------------------------------------------

struct CreateResult {
    enum Outcome {
        Created,
        AlreadyExists, // another file took the name first
        Skipped,       // the file there cannot be replaced: pass over its number
        Failed,
    };
    Outcome outcome = Failed;
    FileError error;
};

// Creates path with bytes, only if no file of that name exists. The file
// appears whole or not at all: the bytes are written and synced under a
// hidden temporary name beside it, which is then put in place without
// replacing anything. A copy killed meanwhile leaves at most that temporary
// file, which is never taken for a user's. With SyncTime::Later, neither the
// bytes nor the name are synced: a SyncBatch open on the folder does that.
CreateResult createFileExclusively(const QString& path, const QByteArray& bytes,
                                   SyncTime sync = SyncTime::Now);

// Puts a new file with bytes in the place of path, a file holding the empty
// name, in one step: the directory entry is replaced, so a symbolic link is
// replaced too and never written through. Skipped when the file holds a name
// by now, may not be written, or cannot be replaced.
CreateResult replaceEmptyNameFile(const QString& path, const QByteArray& bytes);

// The file of user number in folder, in whatever letter case it exists, or an
// empty text when there is none.
QString existingHistoryFile(const QString& folder, int number);

// Deletes a regular file.
FileError deleteHistoryFile(const QString& path);

} // namespace dexlan
