// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;

class QFileDevice;

namespace dexlan {

// A failed file-system operation: whether its folder is missing (the one failure
// the program answers differently) and the platform's own text for it.
struct FileError {
    enum Kind { None, FolderMissing, Other };
    Kind kind = None;
    QString text;

    bool failed() const { return kind != None; }
    static FileError ok() { return {}; }
};

// Describes why an operation on path failed: FolderMissing when the folder that
// should hold path does not exist, else Other, with the device's error text.
FileError describeFailure(const QString& path, const QString& errorText);

// The platform's text for the last error of the C runtime.
QString lastSystemErrorText();

// The system's words for a POSIX error number. Qt's qt_error_string reads the
// number as a Windows error code there ("Not same device." for EEXIST), so on
// Windows the common failures take the words Windows itself uses for them.
QString posixErrorText(int error);

// The system's words for a file or folder that is not there, for where an
// operation failed without a text of its own.
QString notFoundText();

// A device's error text, or fallback where Qt has none to give: an empty text,
// or its "Unknown error".
QString errorTextOr(const QString& text, const QString& fallback);

// Writes every byte and, for a file, flushes: a short write or a failed flush
// is a failure, because a cut-short file must never be committed or kept. The
// failure carries the device's text, else the system's.
FileError writeAll(QIODevice& device, const QByteArray& bytes);

// Asks the system to put an open file's bytes on the disk; false when it cannot.
bool syncToDisk(QFileDevice& file);

#ifdef Q_OS_WIN
// The system's own description of a Windows error code (a DWORD).
QString windowsErrorText(unsigned long error);
#endif

} // namespace dexlan
