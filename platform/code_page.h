// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace dexlan {

// The trainer's files are single-byte text in the system code page
// (Windows-1252). Bytes are kept as they are and converted only for the screen.
QString fromCodePage(const QByteArray& bytes);

// The text in the code page, or nothing when a character has no single-byte form.
std::optional<QByteArray> toCodePage(const QString& text);

// Whether text holds a control character (0x00 to 0x1F, or DEL). The trainer
// ends a line of its files at CR, and no file or folder name should hold one:
// a NUL would even cut the path short, and Qt refuses it with a stale error.
bool holdsControlCharacter(QStringView text);

} // namespace dexlan
