// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/path_policy.h"

#include <QByteArray>
#include <QString>

namespace dexlan {

// Entries are bytes in the trainer's code page; the windows show them as text.
QString screenText(const QByteArray& entry, const CodePage& codePage);

// The text as entry bytes. A character the code page cannot hold becomes "?";
// the save refuses such a location, so the pages only ever show it.
QByteArray entryBytes(const QString& text, const CodePage& codePage);

// Entry 5 as every page refresh takes it from the location box: "hist home"
// when the box is empty, otherwise the box's text in the platform's case.
QByteArray refreshedLocationEntry(const QString& boxText, const PathPolicy& policy);

// Entry 5 as the Enter key takes it in automatic mode: the text as typed.
QByteArray typedLocationEntry(const QString& boxText, const CodePage& codePage);

} // namespace dexlan
