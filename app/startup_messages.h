// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/message_box.h"

namespace dexlan {

// What start-up asks and refuses, and the names it looks for beside the trainer.

MsgBoxRequest anotherCopyQuestion();
MsgBoxRequest locateTrainerRefusal();

inline constexpr char kTrainerExecutable[] = "Corvantis Dexlan Trainer 4.exe";
inline constexpr char kDocumentationPage[] = "defaultdx.html";

} // namespace dexlan
