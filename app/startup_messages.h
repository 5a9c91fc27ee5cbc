// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/message_box.h"
#include "platform/path_policy.h"

#include <QString>

#include <optional>

namespace dexlan {

// What start-up asks and refuses, and the names it looks for beside the trainer.

MsgBoxRequest anotherCopyQuestion();
MsgBoxRequest locateTrainerRefusal();

inline constexpr char kTrainerExecutable[] = "Corvantis Dexlan Trainer 4.exe";
inline constexpr char kDocumentationPage[] = "defaultdx.html";

// Whether path names a normal file: not a folder, not hidden.
bool fileExists(const QString& path);

// The trainer's folder, in the platform's form and with its separator, for a
// folder or a trainer's program file named on the command line; nothing when
// the trainer's program is not there.
std::optional<QString> namedTrainerFolder(const QString& named, const PathPolicy& policy);

} // namespace dexlan
