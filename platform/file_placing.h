// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dexlan {

// Gives the file at from the name to, unless something has that name; the
// file moves whole, in one step, and the move is written through.
struct PlacedFile {
    enum Outcome { Done, NameTaken, Failed };
    Outcome outcome = Failed;
    QString errorText; // for Failed: the system's words
};
PlacedFile placeWithoutReplacing(const QString& from, const QString& to);

// Gives the file at from the name to in one step, replacing what is there;
// false when the system refuses.
bool replaceWithFile(const QString& from, const QString& to);

// Makes the names just given in folder durable: without it a crash may forget
// the entry. Nothing where the system does so by itself.
void syncFolder(const QString& folder);

} // namespace dexlan
