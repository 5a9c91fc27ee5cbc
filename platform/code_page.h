// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace dexlan {

// The trainer's files are single-byte text in the system code page
// (Windows-1252). Bytes are kept as they are and converted only for the screen.
QString fromCodePage(const QByteArray& bytes);

// The text in the code page, or nothing when a character has no single-byte form.
std::optional<QByteArray> toCodePage(const QString& text);

} // namespace dexlan
