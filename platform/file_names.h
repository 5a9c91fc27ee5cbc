// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>

class QFile;

namespace dexlan {

// --- Paths as the file system holds them ---------------------------------------
//
// On Linux a file name is any bytes, and not every folder was named in UTF-8:
// a Latin-1 "é" is the lone byte 0xE9. Qt decodes such a byte as U+FFFD, and
// the name it gives back names another file, which is then "not there". The
// program holds every path as a QString that keeps the bytes: valid UTF-8 is
// decoded as usual, and each byte outside it becomes the lone surrogate
// U+DC80 + byte (as other runtimes keep such names), which no valid UTF-8
// decodes to. On Windows names are UTF-16 already and Qt's conversion stays.

// The path for the file system's bytes of a name or path.
QString pathFromSystem(QByteArrayView bytes);
// The file system's bytes for a path: the exact inverse of pathFromSystem.
QByteArray pathToSystem(const QString& path);

// Whether Qt's file classes (QFile, QFileInfo, QDir) reach the file that path
// names; false for a path that keeps bytes Qt cannot give back.
bool qtReachesPath(const QString& path);

// A path (or a text holding paths) as it is shown to a person: each byte that
// is no text shows as the replacement mark U+FFFD.
QString shownPath(const QString& path);

// The path made absolute (from the current folder) and clean, as
// QFileInfo::absoluteFilePath gives it, but with every byte kept.
QString absolutePathOf(const QString& path);

// The folder of the running program's file, without a trailing separator,
// by the bytes of its name.
QString runningProgramFolder();

// --- Asking the system with the path's exact bytes ---------------------------

// What is at a path, as QFileInfo tells it but found through the exact bytes.
// exists, isFile, isFolder and the access tests follow symbolic links;
// isSymLink does not.
class PathStatus {
  public:
    explicit PathStatus(const QString& path);
    bool exists() const { return m_exists; }
    bool isSymLink() const { return m_symLink; }
    bool isFile() const { return m_file; }
    bool isDir() const { return m_folder; }
    // Names beginning with a dot; on Windows the hidden attribute.
    bool isHidden() const { return m_hidden; }
    bool isReadable() const;
    bool isWritable() const;
    bool isExecutable() const;

  private:
    QString m_path;
    bool m_exists = false;
    bool m_symLink = false;
    bool m_file = false;
    bool m_folder = false;
    bool m_hidden = false;
};

// Opens file on path with mode (ReadOnly, WriteOnly, Append, NewOnly,
// ExistingOnly and Unbuffered are honoured). A path Qt cannot reach is opened
// by the system and handed to the file as a descriptor; the file's fileName()
// is then empty. False with the system's words in *errorText.
bool openPath(QFile& file, const QString& path, QIODevice::OpenMode mode,
              QString* errorText = nullptr);

// Removes the file (not a folder) at path. False with the system's words in
// *errorText.
bool removePath(const QString& path, QString* errorText = nullptr);

// Gives the file at from the name to, which nothing may have yet (on POSIX
// systems a file there would be replaced: callers name to uniquely). On POSIX
// systems errno says why not; a share's passing EBUSY is waited out.
bool renamePath(const QString& from, const QString& to);

// Renames from to to with the system's plain rename, which gives the name to
// exactly one caller: the file is then this call's alone. *error is ENOENT
// when from is gone; false on every failure, with the system's words in *text.
// A share's passing EBUSY is waited out, as renamePath does.
bool renameExclusively(const QString& from, const QString& to, int* error,
                       QString* text = nullptr);

// Makes the file or folder at path hidden where a leading dot in its name
// does not (Windows); elsewhere nothing.
void markHidden(const QString& path);

// The path without its trailing separators ("/" and "\\" alike), so that
// asking about it asks about the folder itself; a root keeps its one.
QString withoutTrailingSeparator(const QString& path);

// Makes the one folder at path (without a trailing separator; its parent
// must be there). On failure, the system's words and whether it was the
// parent that is missing.
struct MadeFolder {
    bool made = false;
    bool parentMissing = false;
    QString errorText;
};
MadeFolder makeFolder(const QString& path);

// Whether a file or folder name may hold a colon: not on Windows, where it
// names a stream of a file or a drive.
bool colonAllowedInNames();

// Whether two names that differ only in letter case name two files: on Linux
// yes, on Windows no.
bool letterCaseTellsNamesApart();

// The names in folder (ending in a separator or not) of the entries that are
// files, through symbolic links, hidden ones included; "." and ".." never.
QStringList fileNamesIn(const QString& folder);

} // namespace dexlan
