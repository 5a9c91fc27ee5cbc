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

// When a written file must reach the disk. Later leaves it to the sync of a
// SyncBatch: a sync per file costs a disk flush each, which a thousand
// deletions cannot afford.
enum class SyncTime { Now, Later };

// Writes made with SyncTime::Later while it is open reach the disk together
// when it is synced, names included. Where the system has no such call
// (Windows), or the folder is not surely on a local disk, it is not active
// and each file is synced as it is written.
class SyncBatch {
public:
    explicit SyncBatch(const QString& folder); // opened before the writes it covers
    ~SyncBatch();
    SyncBatch(const SyncBatch&) = delete;
    SyncBatch& operator=(const SyncBatch&) = delete;

    bool active() const { return m_folder >= 0; }
    // Everything written on the folder's file system, durable; false, with
    // the system's words, when a write or the sync failed.
    bool sync(QString* errorText = nullptr);

private:
    int m_folder = -1;
};

} // namespace dexlan
