// SPDX-License-Identifier: GPL-3.0-or-later
// Restoring held users: one at a time from the window, many at once from the
// command line, each under the roster's lock and never over another's file.
#include "roster/core/held_names.h"
#include "roster/core/held_names_detail.h"

#include "platform/file_names.h"
#include "platform/file_placing.h"
#include "platform/folder_lock.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/history_folder_detail.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <set>

namespace dexlan {

using namespace folder_detail;
using namespace held_detail;

namespace {

// The list as restoring sees it, kept up to date as the batch adds to it.
struct ListNow {
    std::vector<int> numbers;
    QHash<QString, const ListedUser*> byName; // the first user of each shown name
    QHash<QString, std::pair<int, QString>> restored; // name: number and path
};

// One held user put back into historyFolder, the list as it is now given.
RestoreResult restoreOne(const QString& historyFolder, const HeldName& held, ListNow& list) {
    RestoreResult result;
    if (const ListedUser* onList = list.byName.value(held.name)) {
        result.outcome = RestoreResult::NameOnList;
        result.number = onList->number;
        result.path = onList->path;
        return result;
    }
    if (const auto at = list.restored.constFind(held.name); at != list.restored.cend()) {
        result.outcome = RestoreResult::NameOnList;
        result.number = at->first;
        result.path = at->second;
        return result;
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
        std::find(list.numbers.begin(), list.numbers.end(), held.number) == list.numbers.end() &&
        !takenInFolder(held.number);
    std::optional<int> number =
        ownFree ? std::optional<int>(held.number) : smallestFreeNumber(list.numbers, takenInFolder);
    while (number) {
        const QString target = historyFolder + newHistoryFileName(*number);
        const PlacedFile placed = placeWithoutReplacing(claimed, target);
        if (placed.outcome == PlacedFile::Done) {
            removePath(held.notePath);
            result.outcome = RestoreResult::Restored;
            result.number = *number;
            result.numberChanged = *number != held.number;
            result.path = target;
            list.numbers.push_back(*number);
            list.restored.insert(held.name, {*number, target});
            return result;
        }
        if (placed.outcome == PlacedFile::Failed) {
            putBack();
            result.error = failureIn(historyFolder, placed.errorText);
            result.path = target;
            return result;
        }
        passedOver.insert(*number); // another copy took it a moment ago
        number = smallestFreeNumber(list.numbers, takenInFolder);
    }
    putBack();
    result.outcome = RestoreResult::NumbersUsedUp;
    return result;
}

} // namespace

std::vector<RestoreResult> restoreHeldNames(const QString& historyFolder,
                                            const std::vector<HeldName>& held, int waitMs,
                                            const CodePage& codePage) {
    std::vector<RestoreResult> results(held.size());
    if (held.empty())
        return results;
    // No copy adds a name or restores one meanwhile, and a claim left by a
    // restore cut short is told from one at work by the lock being free.
    FolderLock lock;
    if (lockRoster(lock, historyFolder, waitMs) == RosterLocked::Busy) {
        for (RestoreResult& result : results)
            result.outcome = RestoreResult::Busy;
        return results;
    }
    // The folder is read once for the whole batch: under the lock, only the
    // batch itself changes the list.
    const UserListing listing = listUsers(historyFolder);
    if (listing.error.failed()) {
        for (RestoreResult& result : results) {
            result.error = listing.error;
            result.path = historyFolder;
        }
        return results;
    }
    ListNow list;
    list.numbers.reserve(listing.users.size() + held.size());
    for (const ListedUser& user : listing.users) {
        list.numbers.push_back(user.number);
        const QString name = shownName(user.name, codePage);
        if (!list.byName.contains(name))
            list.byName.insert(name, &user);
    }
    for (size_t i = 0; i < held.size(); ++i)
        results[i] = restoreOne(historyFolder, held[i], list);
    return results;
}

RestoreResult restoreHeldName(const QString& historyFolder, const HeldName& held, int waitMs,
                              const CodePage& codePage) {
    return restoreHeldNames(historyFolder, {held}, waitMs, codePage).front();
}

} // namespace dexlan
