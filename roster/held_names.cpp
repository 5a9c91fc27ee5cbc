// SPDX-License-Identifier: GPL-3.0-or-later
// Holding deleted users' history files, restoring and erasing them.
#include "roster/held_names.h"

#include "platform/file_names.h"
#include "platform/file_placing.h"
#include "roster/history_file.h"
#include "roster/history_folder.h"
#include "roster/history_folder_detail.h"
#include "roster/roster_decisions.h"

#include "platform/folder_access.h"
#include "platform/folder_lock.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimeZone>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <set>

namespace dexlan {

using namespace folder_detail;

namespace {

const QLatin1String kHeldSuffix(".dx");
const QLatin1String kNoteSuffix(".when");
const QLatin1String kNoteTimeFormat("yyyy-MM-ddTHH:mm:ssZ");

// What stands in the place of the holding folder at path: a link or a file
// (never followed, nor written through); nothing when it is a folder or not
// there at all.
FileError inTheHoldingFoldersPlace(const QString& path, const PathStatus& info) {
    if (info.isSymLink())
        return otherFailure(
            QCoreApplication::translate("HeldNames", "%1 is a link, not a folder.").arg(path));
    if (info.exists() && !info.isDir())
        return otherFailure(
            QCoreApplication::translate("HeldNames", "%1 is a file, not a folder.").arg(path));
    return FileError::ok();
}

// Makes the holding folder, hidden and shared as its history folder is,
// unless it is there; one that is there gets the history folder's access back
// where this account can give it (made by another administrator's program
// with a narrower mask, it would hold nobody else's deletions). Whatever is
// in the way, or cannot be used, is said.
FileError makeHoldingFolder(const QString& folder) {
    const QString path = withoutTrailingSeparator(folder);
    const QString historyFolder = withoutTrailingSeparator(folderOf(path));
    const PathStatus info(path);
    if (const FileError inTheWay = inTheHoldingFoldersPlace(path, info); inTheWay.failed())
        return inTheWay;
    if (info.isDir()) {
        giveAccessOf(historyFolder, path);
        if (const FileError usable = folderUsable(path); usable.failed())
            return otherFailure(QCoreApplication::translate("HeldNames", "%1 cannot be used: %2")
                                    .arg(path, usable.text));
        return FileError::ok();
    }
    const FileError made = createHistoryFolder(folder);
    if (made.failed())
        return made;
    giveAccessOf(historyFolder, path);
    // Its name's leading dot hides it on Linux only.
    markHidden(path);
    return FileError::ok();
}

QString randomTag() {
    return QString::number(QRandomGenerator::global()->generate() | 0x10000000u, 16);
}

QByteArray noteBytes(const QDateTime& deletedAt, int number, const QString& fileName) {
    return "deleted " + deletedAt.toUTC().toString(kNoteTimeFormat).toLatin1() + "\nnumber " +
           QByteArray::number(number) + "\nfile " + pathToSystem(fileName) + '\n';
}

// The held user of a note; nothing when the note or its file is not whole.
std::optional<HeldName> readNote(const QString& folder, const QString& noteName,
                                 const CodePage& codePage) {
    HeldName held;
    held.key = noteName.chopped(kNoteSuffix.size());
    held.notePath = folder + noteName;
    held.heldPath = folder + held.key + kHeldSuffix;
    QFile note;
    if (!openPath(note, held.notePath, QIODevice::ReadOnly) || note.size() > 4096)
        return std::nullopt;
    for (const QByteArray& line : note.readAll().split('\n')) {
        if (line.startsWith("deleted "))
            held.deletedAt =
                QDateTime::fromString(QString::fromLatin1(line.mid(8)), kNoteTimeFormat);
        else if (line.startsWith("number "))
            held.number = line.mid(7).toInt();
    }
    held.deletedAt.setTimeZone(QTimeZone::utc());
    held.heldAt = note.fileTime(QFileDevice::FileModificationTime).toUTC();
    if (!held.deletedAt.isValid() || held.number < 1 || !PathStatus(held.heldPath).isFile())
        return std::nullopt;
    const FirstLine line = readFirstLineOfFile(held.heldPath);
    if (line.status != FirstLine::Line)
        return std::nullopt;
    const std::optional<QByteArray> name = nameFromFirstLine(line.bytes);
    if (!name)
        return std::nullopt;
    held.name = shownName(*name, codePage);
    return held;
}

const QLatin1String kRestoringMark(".restoring-");

// Puts back every held file that a restore claimed and never placed: it was
// killed between the two. Only under the roster's lock, which every restore
// holds throughout, so that no restore still at work loses its file.
void recoverInterruptedRestores(const QString& historyFolder, const QString& folder) {
    const QString mark = kHeldSuffix + kRestoringMark;
    QStringList claimed = fileNamesIn(folder);
    claimed.removeIf([&mark](const QString& name) { return !name.contains(mark); });
    if (claimed.isEmpty())
        return;
    FolderLock lock;
    if (lockRoster(lock, historyFolder, 0) != RosterLocked::Locked)
        return;
    for (const QString& name : claimed) {
        const QString key = name.left(name.indexOf(mark));
        const QString heldPath = folder + key + kHeldSuffix;
        if (!PathStatus(folder + key + kNoteSuffix).isFile() || existsAsAnything(heldPath))
            continue;
        int ignored = 0;
        renameExclusively(folder + name, heldPath, &ignored);
    }
}

} // namespace

QString holdingFolder(const QString& historyFolder) {
    if (historyFolder.isEmpty())
        return {};
    return historyFolder + QLatin1String(kHoldingFolderName) + historyFolder.back();
}

HoldResult holdUserFile(const QString& path, int number, const QString& listedName,
                        const QDateTime& now, const CodePage& codePage) {
    HoldResult result;
    const FirstLine line = readFirstLineOfFile(path);
    if (line.status == FirstLine::ReadError) {
        result.error = otherFailure(line.errorText);
        return result;
    }
    const std::optional<QByteArray> name =
        line.status == FirstLine::Line ? nameFromFirstLine(line.bytes) : std::nullopt;
    const QString nameNow = name ? shownName(*name, codePage) : QString();
    if (nameNow != listedName) {
        result.outcome = HoldResult::Replaced;
        result.nameNow = nameNow;
        return result;
    }

    const QString folder = holdingFolder(folderOf(path));
    if (const FileError made = makeHoldingFolder(folder); made.failed()) {
        result.outcome = HoldResult::CannotHold;
        result.error = made;
        return result;
    }
    HeldName held;
    held.name = listedName;
    held.number = number;
    held.deletedAt = now.toUTC();
    held.key = QString::number(number) + QLatin1Char('-') +
               held.deletedAt.toString(QStringLiteral("yyyyMMddTHHmmsszzz")) + QLatin1Char('-') +
               randomTag();
    held.heldPath = folder + held.key + kHeldSuffix;
    held.notePath = folder + held.key + kNoteSuffix;

    // The note first: a file in the holding folder without its note would be
    // no held user, and could never be restored from the window.
    const CreateResult note =
        createFileExclusively(held.notePath, noteBytes(now, number, path.mid(fileNameAt(path))));
    if (note.outcome != CreateResult::Created) {
        result.outcome = HoldResult::CannotHold;
        result.error = note.error.failed() ? note.error : otherFailure(posixErrorText(EEXIST));
        return result;
    }
    // A plain rename: the held name is new and this call's own, and of two
    // copies deleting the same user only one can take the file away.
    int error = 0;
    QString errorText;
    if (!renameExclusively(path, held.heldPath, &error, &errorText)) {
        removePath(held.notePath);
        result.outcome = error == ENOENT ? HoldResult::Failed : HoldResult::CannotHold;
        result.error = otherFailure(errorText);
        return result;
    }
    result.outcome = HoldResult::Held;
    result.held = held;
    return result;
}

Deletion deleteHoldingFirst(const QString& path, int number, const QString& listedName,
                            const QDateTime& now,
                            const std::function<bool(const QString& errorText)>& deleteForGood,
                            const CodePage& codePage) {
    const HoldResult held = holdUserFile(path, number, listedName, now, codePage);
    switch (held.outcome) {
    case HoldResult::Held:
        return {Deletion::Held, {}, {}};
    case HoldResult::Replaced:
        return {Deletion::Replaced, held.nameNow, {}};
    case HoldResult::Failed:
        return {Deletion::Failed, {}, held.error};
    case HoldResult::CannotHold:
        break;
    }
    if (!deleteForGood || !deleteForGood(held.error.text))
        return {Deletion::Declined, {}, held.error};
    const DeletedUser deleted = deleteUserFile(path, listedName, codePage);
    switch (deleted.outcome) {
    case DeletedUser::Deleted:
        return {Deletion::Deleted, {}, {}};
    case DeletedUser::Replaced:
        return {Deletion::Replaced, deleted.nameNow, {}};
    case DeletedUser::Failed:
        break;
    }
    return {Deletion::Failed, {}, deleted.error};
}

std::vector<HeldName> listHeldNames(const QString& historyFolder, const CodePage& codePage) {
    std::vector<HeldName> held;
    const QString folder = holdingFolder(historyFolder);
    if (PathStatus(withoutTrailingSeparator(folder)).isSymLink())
        return held;
    recoverInterruptedRestores(historyFolder, folder);
    for (const QString& fileName : fileNamesIn(folder)) {
        if (!fileName.endsWith(kNoteSuffix))
            continue;
        if (std::optional<HeldName> one = readNote(folder, fileName, codePage))
            held.push_back(std::move(*one));
    }
    std::sort(held.begin(), held.end(), [](const HeldName& a, const HeldName& b) {
        if (a.deletedAt != b.deletedAt)
            return a.deletedAt > b.deletedAt;
        return a.key < b.key;
    });
    return held;
}

FileError readHoldingFolder(const QString& historyFolder) {
    const QString path = withoutTrailingSeparator(holdingFolder(historyFolder));
    const PathStatus info(path);
    if (const FileError inTheWay = inTheHoldingFoldersPlace(path, info); inTheWay.failed())
        return inTheWay;
    if (info.isDir() && (!info.isReadable() || !info.isExecutable()))
        return otherFailure(QCoreApplication::translate("HeldNames", "%1 cannot be read: %2")
                                .arg(path, posixErrorText(EACCES)));
    return FileError::ok();
}

RestoreResult restoreHeldName(const QString& historyFolder, const HeldName& held, int waitMs,
                              const CodePage& codePage) {
    RestoreResult result;
    // No copy adds a name or restores one meanwhile, and a claim left by a
    // restore cut short is told from one at work by the lock being free.
    FolderLock lock;
    if (lockRoster(lock, historyFolder, waitMs) == RosterLocked::Busy) {
        result.outcome = RestoreResult::Busy;
        return result;
    }
    const UserListing listing = listUsers(historyFolder);
    if (listing.error.failed()) {
        result.error = listing.error;
        result.path = historyFolder;
        return result;
    }
    std::vector<int> listNumbers;
    listNumbers.reserve(listing.users.size());
    for (const ListedUser& user : listing.users) {
        if (shownName(user.name, codePage) == held.name) {
            result.outcome = RestoreResult::NameOnList;
            result.number = user.number;
            result.path = user.path;
            return result;
        }
        listNumbers.push_back(user.number);
    }

    // Claimed first, under a name no other copy uses: whoever renames the
    // held file away has it, and every other copy finds it gone.
    const QString claimed = held.heldPath + kRestoringMark + randomTag();
    int error = 0;
    QString errorText;
    if (!renameExclusively(held.heldPath, claimed, &error, &errorText)) {
        if (error == ENOENT) {
            result.outcome = RestoreResult::Gone;
        } else {
            result.error = otherFailure(errorText);
            result.path = held.heldPath;
        }
        return result;
    }
    auto putBack = [&] {
        int ignored = 0;
        renameExclusively(claimed, held.heldPath, &ignored);
    };

    std::set<int> passedOver;
    auto takenInFolder = [&](int number) {
        if (passedOver.count(number))
            return true;
        // A file with the empty name is left alone too: restoring never replaces.
        const NumberInFolder inFolder = inspectNumber(historyFolder, number);
        return inFolder.taken || !inFolder.emptyNameFile.isEmpty();
    };
    const bool ownFree =
        std::find(listNumbers.begin(), listNumbers.end(), held.number) == listNumbers.end() &&
        !takenInFolder(held.number);
    std::optional<int> number =
        ownFree ? std::optional<int>(held.number) : smallestFreeNumber(listNumbers, takenInFolder);
    while (number) {
        const QString target = historyFolder + newHistoryFileName(*number);
        const PlacedFile placed = placeWithoutReplacing(claimed, target);
        if (placed.outcome == PlacedFile::Done) {
            removePath(held.notePath);
            result.outcome = RestoreResult::Restored;
            result.number = *number;
            result.numberChanged = *number != held.number;
            result.path = target;
            return result;
        }
        if (placed.outcome == PlacedFile::Failed) {
            putBack();
            result.error = failureIn(historyFolder, placed.errorText);
            result.path = target;
            return result;
        }
        passedOver.insert(*number); // another copy took it a moment ago
        number = smallestFreeNumber(listNumbers, takenInFolder);
    }
    putBack();
    result.outcome = RestoreResult::NumbersUsedUp;
    return result;
}

FileError eraseHeldName(const HeldName& held) {
    QString errorText;
    if (!removePath(held.heldPath, &errorText) && existsAsAnything(held.heldPath))
        return otherFailure(errorTextOr(errorText, lastSystemErrorText()));
    removePath(held.notePath);
    return FileError::ok();
}

bool heldTooLong(const HeldName& held, const QDateTime& fileSystemNow) {
    if (!held.heldAt.isValid() || !fileSystemNow.isValid())
        return false;
    return std::min(held.heldAt, fileSystemNow).addDays(kHeldDays) <= fileSystemNow;
}

std::vector<HeldName> eraseExpiredHeldNames(const QString& historyFolder, const QStringList& spared,
                                            const CodePage& codePage) {
    std::vector<HeldName> erased;
    std::vector<HeldName> held = listHeldNames(historyFolder, codePage);
    if (held.empty())
        return erased;
    const QDateTime now = fileSystemNow(holdingFolder(historyFolder));
    for (HeldName& one : held) {
        if (!spared.contains(one.name) && heldTooLong(one, now) && !eraseHeldName(one).failed())
            erased.push_back(std::move(one));
    }
    return erased;
}

QString shownDeletionTime(const QDateTime& deletedAt) {
    return deletedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace dexlan
