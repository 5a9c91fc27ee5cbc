// SPDX-License-Identifier: GPL-3.0-or-later
// What holding and restoring share inside the roster, and nothing else needs.
#pragma once

#include <QLatin1String>
#include <QRandomGenerator>
#include <QString>

namespace dexlan::held_detail {

// A held file being restored is first renamed to its name and this mark and
// a tag of its own: whoever renames it away has it.
inline const QLatin1String kRestoringMark(".restoring-");

// Eight hex digits, for names no other copy makes at the same moment.
inline QString randomTag() {
    return QString::number(QRandomGenerator::global()->generate() | 0x10000000u, 16);
}

} // namespace dexlan::held_detail
