// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/message_box.h"
#include "roster/core/held_names.h"

#include <QString>

#include <vector>

namespace dexlan {

// The message boxes of holding, restoring and erasing deleted names. Parts of
// a prompt are joined with CR LF.

// The holding folder cannot be made or written: delete for good? (OK / Cancel)
MsgBoxRequest cannotHoldQuestion(const QString& errorText, const QString& name);
// The sentence of that question that says what it means; the command line says it too.
QString cannotBeUndoneText(const QString& name);
// Restored, but under another number: its own had been taken meanwhile.
MsgBoxRequest restoredUnderOtherNumberReport(const QString& name, int oldNumber, int newNumber);
// Another copy restored or erased the held name first.
MsgBoxRequest noLongerHeldReport(const QString& name);
// The held file cannot be put back.
MsgBoxRequest cannotRestoreReport(const QString& errorText, const QString& path);
// Erase now: the one confirmation (OK / Cancel).
MsgBoxRequest eraseHeldQuestion(const QString& name);
// The held names that start-up erased, each with the time of its deletion.
MsgBoxRequest erasedAtStartReport(const std::vector<HeldName>& erased);
// The restore window's note on how long deleted names are kept; with
// noneHeld, it also says that there are none.
QString keptForText(bool noneHeld = false);

} // namespace dexlan
