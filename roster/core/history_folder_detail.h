// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers that listing the history folder and writing its files share; not
// for use outside the roster core.

#include "platform/file_error.h"
#include "platform/file_names.h" // withoutTrailingSeparator

#include <QString>

namespace dexlan::folder_detail {

bool isSeparator(QChar c);
bool existsAsAnything(const QString& path);
// A failure in folder: FolderMissing only when the folder itself is absent.
FileError failureIn(const QString& folder, QString text);
FileError otherFailure(const QString& text);
// Where the file name begins in path: just after its last separator, or 0.
qsizetype fileNameAt(QStringView path);
// The folder part of path, ending in a separator, or empty.
QString folderOf(const QString& path);

// With DEXLAN_CROSS_CHECK_LISTINGS set when the program starts, every listing
// read on several threads is read once more one file after another, and a
// difference ends the program: the tests set it, so that every folder they
// list proves the two ways equal.
bool listingsCrossChecked();

} // namespace dexlan::folder_detail
