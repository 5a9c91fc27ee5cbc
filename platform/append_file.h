// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_error.h"

#include <QByteArray>
#include <QString>

namespace dexlan {

// Adds bytes at the end of the file at path, made when missing, with ONE
// write on a handle opened for appending only: O_APPEND on POSIX systems,
// FILE_APPEND_DATA alone on Windows. Each write then lands whole after every
// other, so lines appended by several processes at once never mix or
// overwrite one another. A write cut short is a failure.
FileError appendWhole(const QString& path, const QByteArray& bytes);

// Moves the file at from over to, replacing what is there, in one step.
FileError replaceByRename(const QString& from, const QString& to);

// The name of the account the program runs under, as the system has it.
QString accountName();

} // namespace dexlan
