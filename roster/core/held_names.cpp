// SPDX-License-Identifier: GPL-3.0-or-later
// Holding deleted users' history files, restoring and erasing them.
#include "roster/core/held_names.h"
#include "roster/core/held_names_detail.h"

#include "platform/file_names.h"
#include "platform/file_placing.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/history_folder_detail.h"
#include "roster/core/roster_decisions.h"

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
using namespace held_detail;

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

namespace {

// Whether the file at path may be held: it must still hold listedName.
std::optional<HoldResult> cannotBeHeld(const QString& path, const QString& listedName,
                                       const CodePage& codePage) {
    const FirstLine line = readFirstLineOfFile(path);
    if (line.status == FirstLine::ReadError) {
        HoldResult result;
        result.error = otherFailure(line.errorText);
        return result;
    }
    const std::optional<QByteArray> name =
        line.status == FirstLine::Line ? nameFromFirstLine(line.bytes) : std::nullopt;
    const QString nameNow = name ? shownName(*name, codePage) : QString();
    if (nameNow != listedName) {
        HoldResult result;
        result.outcome = HoldResult::Replaced;
        result.nameNow = nameNow;
        return result;
    }
    return std::nullopt;
}

HeldName heldNameFor(const QString& folder, const UserToHold& user, const QDateTime& now) {
    HeldName held;
    held.name = user.listedName;
    held.number = user.number;
    held.deletedAt = now.toUTC();
    held.key = QString::number(user.number) + QLatin1Char('-') +
               held.deletedAt.toString(QStringLiteral("yyyyMMddTHHmmsszzz")) + QLatin1Char('-') +
               randomTag();
    held.heldPath = folder + held.key + kHeldSuffix;
    held.notePath = folder + held.key + kNoteSuffix;
    return held;
}

HoldResult cannotHold(const FileError& error) {
    HoldResult result;
    result.outcome = HoldResult::CannotHold;
    result.error = error;
    return result;
}

} // namespace

std::vector<HoldResult> holdUserFiles(const std::vector<UserToHold>& users, const QDateTime& now,
                                      const CodePage& codePage) {
    std::vector<HoldResult> results(users.size());
    std::vector<size_t> holdable;
    for (size_t i = 0; i < users.size(); ++i) {
        if (std::optional<HoldResult> refused =
                cannotBeHeld(users[i].path, users[i].listedName, codePage))
            results[i] = *refused;
        else
            holdable.push_back(i);
    }
    if (holdable.empty())
        return results;
    const QString folder = holdingFolder(folderOf(users.front().path));
    if (const FileError made = makeHoldingFolder(folder); made.failed()) {
        for (const size_t i : holdable)
            results[i] = cannotHold(made);
        return results;
    }
    // The notes first, all of them: a file in the holding folder without its
    // note would be no held user, and could never be restored from the
    // window. A batch's notes reach the disk together, before any file moves.
    SyncBatch batch(folder);
    const SyncTime sync = holdable.size() > 1 && batch.active() ? SyncTime::Later : SyncTime::Now;
    std::vector<size_t> noted;
    for (const size_t i : holdable) {
        const UserToHold& user = users[i];
        const HeldName held = heldNameFor(folder, user, now);
        const CreateResult note = createFileExclusively(
            held.notePath, noteBytes(now, user.number, user.path.mid(fileNameAt(user.path))), sync);
        if (note.outcome != CreateResult::Created) {
            results[i] =
                cannotHold(note.error.failed() ? note.error : otherFailure(posixErrorText(EEXIST)));
            continue;
        }
        results[i].held = held;
        noted.push_back(i);
    }
    if (sync == SyncTime::Later && !noted.empty()) {
        if (QString errorText; !batch.sync(&errorText)) {
            for (const size_t i : noted) {
                removePath(results[i].held.notePath);
                results[i] = cannotHold(otherFailure(errorText));
            }
            return results;
        }
    }
    // A plain rename: the held name is new and this call's own, and of two
    // copies deleting the same user only one can take the file away.
    bool anyHeld = false;
    for (const size_t i : noted) {
        int error = 0;
        QString errorText;
        if (!renameExclusively(users[i].path, results[i].held.heldPath, &error, &errorText)) {
            removePath(results[i].held.notePath);
            results[i].outcome = error == ENOENT ? HoldResult::Failed : HoldResult::CannotHold;
            results[i].error = otherFailure(errorText);
            results[i].held = {};
            continue;
        }
        results[i].outcome = HoldResult::Held;
        anyHeld = true;
    }
    // The moves reach the disk too, once for the batch.
    if (anyHeld) {
        syncFolder(folderOf(users.front().path));
        syncFolder(folder);
    }
    return results;
}

HoldResult holdUserFile(const QString& path, int number, const QString& listedName,
                        const QDateTime& now, const CodePage& codePage) {
    return holdUserFiles({{path, number, listedName}}, now, codePage).front();
}

std::vector<Deletion>
deleteHoldingFirst(const std::vector<UserToHold>& users, const QDateTime& now,
                   const std::function<bool(const UserToHold&, const QString&)>& deleteForGood,
                   const CodePage& codePage) {
    const std::vector<HoldResult> holds = holdUserFiles(users, now, codePage);
    std::vector<Deletion> deletions(users.size());
    for (size_t i = 0; i < users.size(); ++i) {
        const HoldResult& held = holds[i];
        Deletion& deletion = deletions[i];
        switch (held.outcome) {
        case HoldResult::Held:
            deletion = {Deletion::Held, {}, {}};
            continue;
        case HoldResult::Replaced:
            deletion = {Deletion::Replaced, held.nameNow, {}};
            continue;
        case HoldResult::Failed:
            deletion = {Deletion::Failed, {}, held.error};
            continue;
        case HoldResult::CannotHold:
            break;
        }
        if (!deleteForGood || !deleteForGood(users[i], held.error.text)) {
            deletion = {Deletion::Declined, {}, held.error};
            continue;
        }
        const DeletedUser deleted = deleteUserFile(users[i].path, users[i].listedName, codePage);
        switch (deleted.outcome) {
        case DeletedUser::Deleted:
            deletion = {Deletion::Deleted, {}, {}};
            continue;
        case DeletedUser::Replaced:
            deletion = {Deletion::Replaced, deleted.nameNow, {}};
            continue;
        case DeletedUser::Failed:
            break;
        }
        deletion = {Deletion::Failed, {}, deleted.error};
    }
    return deletions;
}

Deletion deleteHoldingFirst(const QString& path, int number, const QString& listedName,
                            const QDateTime& now,
                            const std::function<bool(const QString& errorText)>& deleteForGood,
                            const CodePage& codePage) {
    std::function<bool(const UserToHold&, const QString&)> forGood;
    if (deleteForGood)
        forGood = [&deleteForGood](const UserToHold&, const QString& errorText) {
            return deleteForGood(errorText);
        };
    return deleteHoldingFirst({{path, number, listedName}}, now, forGood, codePage).front();
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
