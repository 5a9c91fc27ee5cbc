// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/roster_decisions.h"

#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"

#include <set>

namespace dexlan {

FolderCheck checkFolder(const QString& folder,
                        const std::function<bool(const QString& errorText)>& createMissing) {
    if (folder.isEmpty())
        return {HistoryFolderState::Unusable, windowsOnlyLocationText()};
    const FileError probe = probeFolder(folder);
    if (!probe.failed())
        return {};
    if (probe.kind != FileError::FolderMissing)
        return {HistoryFolderState::Unusable, probe.text};
    if (!createMissing || !createMissing(probe.text))
        return {HistoryFolderState::MissingNotCreated, {}};
    const FileError created = createHistoryFolder(folder);
    if (created.failed())
        return {HistoryFolderState::Unusable, created.text};
    return {};
}

NewUserFile createUserFile(const QString& folder, const std::vector<int>& listNumbers,
                           const QByteArray& nameBytes,
                           const std::function<std::array<int, kRandomsPerFile>()>& drawRandoms,
                           const std::function<bool()>& createMissingFolder) {
    // Numbers found taken, or given up after races, are never tried again.
    std::set<int> passedOver;
    NumberInFolder inFolder;
    auto takenInFolder = [&](int number) {
        if (passedOver.count(number))
            return true;
        inFolder = inspectNumber(folder, number);
        if (inFolder.taken)
            passedOver.insert(number);
        return inFolder.taken;
    };
    auto next = [&] { return smallestFreeNumber(listNumbers, takenInFolder); };

    bool folderOffered = false;
    int raceRetries = 0;
    std::optional<int> number = next();
    while (number) {
        const QByteArray bytes = newHistoryFileBytes(nameBytes, drawRandoms());

        if (!inFolder.emptyNameFile.isEmpty()) {
            // A file with the empty name holds no user; it is replaced whole,
            // under its own spelling, rather than joined by a second file.
            const quint64 before = historyFileDigest(inFolder.emptyNameFile);
            const CreateResult replaced = replaceEmptyNameFile(inFolder.emptyNameFile, bytes);
            if (replaced.outcome == CreateResult::Failed)
                return {NewUserFile::Failed, *number, inFolder.emptyNameFile, replaced.error};
            if (replaced.outcome == CreateResult::Created)
                return {NewUserFile::Created, *number, inFolder.emptyNameFile, {}, before};
            passedOver.insert(*number);
            number = next();
            continue;
        }
        const QString path = folder + newHistoryFileName(*number);
        const CreateResult created = createFileExclusively(path, bytes);
        switch (created.outcome) {
        case CreateResult::Created:
            return {NewUserFile::Created, *number, path, {}, 0};
        case CreateResult::Skipped:
        case CreateResult::AlreadyExists:
            // Another copy of the program took the number a moment ago; look
            // at it again, and move on should it keep appearing and vanishing.
            if (++raceRetries > 3) {
                raceRetries = 0;
                passedOver.insert(*number);
            }
            break;
        case CreateResult::Failed:
            if (created.error.kind == FileError::FolderMissing && !folderOffered) {
                folderOffered = true;
                if (!createMissingFolder || !createMissingFolder())
                    return {NewUserFile::FolderDeclined, *number, path, {}};
                const FileError made = createHistoryFolder(folder);
                if (made.failed())
                    return {NewUserFile::Failed, *number, path, made};
                break;
            }
            return {NewUserFile::Failed, *number, path, created.error};
        }
        number = next();
    }
    return {NewUserFile::NumbersUsedUp, 0, folder, {}};
}

RosterLocked lockRoster(FolderLock& lock, const QString& folder, int waitMs) {
    switch (lock.take(folder, QLatin1String(kRosterLockName), waitMs)) {
    case FolderLock::Result::Taken:
        return RosterLocked::Locked;
    case FolderLock::Result::Busy:
        return RosterLocked::Busy;
    case FolderLock::Result::Failed:
        break;
    }
    return RosterLocked::Unlocked;
}

DeleteTarget deleteTargetFor(const QString& listedPath, const QString& folder,
                             const QString& historyFolder, int number) {
    if (!listedPath.isEmpty())
        return {listedPath, {}};
    const QString fileName = historyFileName(number);
    if (folder.isEmpty())
        return {historyFolder + fileName, {FileError::Other, windowsOnlyLocationText()}};
    const QString existing = existingHistoryFile(folder, number);
    return {existing.isEmpty() ? folder + fileName : existing, {}};
}

DeletedUser deleteUserFile(const QString& path, const QString& listedName,
                           const CodePage& codePage) {
    const FirstLine line = readFirstLineOfFile(path);
    if (line.status == FirstLine::ReadError)
        return {DeletedUser::Failed, {}, {FileError::Other, line.errorText}};
    const std::optional<QByteArray> name =
        line.status == FirstLine::Line ? nameFromFirstLine(line.bytes) : std::nullopt;
    const QString nameNow = name ? shownName(*name, codePage) : QString();
    if (nameNow != listedName)
        return {DeletedUser::Replaced, nameNow, {}};
    const FileError error = deleteHistoryFile(path);
    if (error.failed())
        return {DeletedUser::Failed, {}, error};
    return {DeletedUser::Deleted, {}, {}};
}

} // namespace dexlan
