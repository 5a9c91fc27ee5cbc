// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_error.h"

#include <QDateTime>
#include <QString>

namespace dexlan {

// A short lock on a folder that every copy of the program honours, on a local
// disk and on a network share alike, where the kernel's own locks may not
// reach the other computers: a folder made beside the files (making a folder
// is one step everywhere, while some SMB clients let two computers each
// create the same file "exclusively") holding a file that names the computer
// and the process holding it. A lock whose holder ran on this computer and
// has ended is taken over at once; one from another computer once it is
// older than kStaleAfterSeconds by the file system's own clock. A lock file
// left by an older copy of the program is honoured the same way.
class FolderLock {
  public:
    static constexpr int kStaleAfterSeconds = 600;
    // A copy writes its name into the lock a moment after making the file:
    // one that names no holder this long after was left by a copy that ended
    // in between.
    static constexpr int kOwnerlessStaleAfterSeconds = 30;

    FolderLock() = default;
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    enum class Result {
        Taken,
        Busy,   // another copy held it for all of waitMs
        Failed, // the lock file cannot be made: error() says why
    };
    // Takes the lock file fileName in folder (ending in a separator), trying
    // again for up to waitMs while another copy holds it.
    Result take(const QString& folder, const QString& fileName, int waitMs);
    // Gives the lock up; so does the destructor.
    void release();
    bool held() const { return !m_path.isEmpty(); }
    const FileError& error() const { return m_error; }

  private:
    QString m_path;
    QByteArray m_owner; // what this copy wrote into it
    FileError m_error;
};

// The file system's time now, as it stamps a file made in folder (ending in a
// separator): on a share, the server's clock, the one that stamped every
// other file there too, whatever this computer's clock says. Invalid when no
// file can be made there.
QDateTime fileSystemNow(const QString& folder);

// Whether the process pid of this computer is still running.
bool processRunning(qint64 pid);

} // namespace dexlan
