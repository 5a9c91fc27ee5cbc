// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_error.h"

#include <QString>

namespace dexlan {

// Gives folder the access that model has, so that a folder the program makes
// inside a shared one is shared alike: on POSIX systems model's permission bits
// and group (a group it cannot give is left as it is); on Windows a new folder
// inherits its parent's access list already.
void giveAccessOf(const QString& model, const QString& folder);

// Whether this account may list, read and make files in folder; the system's
// text for why not.
FileError folderUsable(const QString& folder);

} // namespace dexlan
