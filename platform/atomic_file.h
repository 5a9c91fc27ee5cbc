// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_error.h"
#include "platform/file_placing.h"

#include <QByteArray>
#include <QString>

namespace dexlan {

// A new hidden file beside path (".<name>.new" and a random number), made
// only where nothing is, holding bytes complete and synced (or, with
// SyncTime::Later, left for a SyncBatch to sync); nothing is left on failure.
// Made: its path; otherwise the step that failed and the system's words.
struct TemporaryBeside {
    enum Outcome { Made, NotMade, NotWritten };
    Outcome outcome = NotMade;
    QString path;
    QString errorText;
};
TemporaryBeside writeTemporaryBeside(const QString& path, const QByteArray& bytes,
                                     SyncTime sync = SyncTime::Now);

// How a file is replaced. Both keep the old file whole until the new one is
// complete on disk; the named temporary is for network shares, where an unnamed
// temporary file cannot be made.
enum class ReplaceStrategy { Automatic, SaveFile, NamedTemporary };

// Replaces the file at path with bytes, or leaves it as it was and says why.
// A file that may not be written is not replaced, even where the folder would
// allow a rename over it.
FileError replaceFileAtomically(const QString& path, const QByteArray& bytes,
                                ReplaceStrategy strategy = ReplaceStrategy::Automatic);

// Rewrites the file at path with bytes and keeps it the same file to everyone
// else: a symbolic link keeps pointing at it, and its owner, group, permissions,
// extended attributes (access lists among them) and other hard links stay. The
// file is replaced by rename where that keeps all of these; otherwise it is
// rewritten in place, with the old bytes put back on any failure. On failure the
// file is as it was and the error says why.
FileError rewriteKeepingIdentity(const QString& path, const QByteArray& bytes);

} // namespace dexlan
