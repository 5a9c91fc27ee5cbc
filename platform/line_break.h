// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dexlan {

// The trainer's line end, CR LF: in its files, and between the parts of a
// message's prompt.
inline const QString kCrLf = QStringLiteral("\r\n");
// The same in a file's bytes.
inline constexpr char kCrLfBytes[] = "\r\n";

} // namespace dexlan
