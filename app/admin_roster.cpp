// SPDX-License-Identifier: GPL-3.0-or-later
// The roster from the command line: deleting and restoring users, and the
// held names whose time is up.
#include "app/admin_run.h"

#include "roster/held_names.h"
#include "roster/held_names_messages.h"
#include "roster/roster_decisions.h"
#include "roster/roster_messages.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>

namespace dexlan::admin {

// --- The roster -----------------------------------------------------------------

// Takes the roster's lock on folder, waiting for another copy for a while;
// false after telling why it cannot be had.
bool lockRosterOrRefuse(Run& run, FolderLock& lock, const QString& folder) {
    if (lockRoster(lock, folder, kRosterWaitOnCommandLineMs) != RosterLocked::Busy)
        return true;
    run.refuse(rosterBusyReport(shownHistoryFolder(run.state)).prompt);
    return false;
}

// A history folder only Windows can reach: nothing can be read or changed there.
bool refusedForUnreachableFolder(Run& run, const QString& folder) {
    if (!folder.isEmpty())
        return false;
    run.refuse(cannotReadReport(windowsOnlyLocationText(), shownHistoryFolder(run.state)).prompt);
    return true;
}

// The folder's users, or nothing after telling why they cannot be read.
std::optional<UserListing> readUsers(Run& run, const QString& folder) {
    if (refusedForUnreachableFolder(run, folder))
        return std::nullopt;
    // Nothing here compares the folder later: no digest, so each file is
    // only opened, read and closed.
    ListingOptions options;
    options.digest = false;
    UserListing listing = listUsers(folder, options);
    if (listing.error.failed()) {
        run.refuse(cannotReadReport(listing.error.text, shownHistoryFolder(run.state)).prompt);
        return std::nullopt;
    }
    if (!listing.unreadable.empty())
        run.refuse(
            cannotReadReport(unreadableFilesText(listing.unreadable), shownHistoryFolder(run.state))
                .prompt);
    return listing;
}

namespace {

const ListedUser* userNamed(const UserListing& listing, const QString& name) {
    for (const ListedUser& user : listing.users) {
        if (shownName(user.name) == name)
            return &user;
    }
    return nullptr;
}

// A listed number below 1 comes from a file named with a minus sign or a zero;
// no history file is named after it, so the window deletes nothing, nor does this.
bool refusedForNoNumber(Run& run, const ListedUser& user, const QString& name) {
    if (user.number >= 1)
        return false;
    run.refuse(noUserNumberReport(name).prompt, change("delete", "refused", false, name));
    return true;
}

QString notKeptText(const QString& errorText, const QString& name) {
    return errorText + QLatin1Char('\n') +
           QCoreApplication::translate("AdminCommandLine",
                                       "%1 was not deleted: the history file cannot be "
                                       "kept for restoring.")
               .arg(name);
}

} // namespace

void deleteUser(Run& run, const QString& folder, const QString& name, const QDateTime& now) {
    const std::optional<UserListing> listing = readUsers(run, folder);
    if (!listing)
        return;
    std::vector<const ListedUser*> matches;
    for (const ListedUser& user : listing->users) {
        if (shownName(user.name) == name)
            matches.push_back(&user);
    }
    if (matches.empty() && run.request.ifPresent) {
        run.result(QCoreApplication::translate("AdminCommandLine",
                                               "%1 is not on the list: nothing to delete.\n")
                       .arg(name),
                   change("delete", "not-there", false, name));
        return;
    }
    if (matches.size() != 1) {
        run.refuse(matches.empty()
                       ? QCoreApplication::translate(
                             "AdminCommandLine", "There is no one named  '%1'  in the user list.")
                             .arg(name)
                       : QCoreApplication::translate("AdminCommandLine",
                                                     "%1 users are named  '%2'  in the user list: "
                                                     "delete the one you mean in the window.")
                             .arg(QString::number(matches.size()), name),
                   change("delete", "refused", false, name));
        return;
    }
    const ListedUser& user = *matches.front();
    if (refusedForNoNumber(run, user, name))
        return;
    if (run.request.check) {
        // What holding needs is only tried by doing it; a holding folder
        // that cannot be read is one that cannot be written either.
        const FileError unholdable = readHoldingFolder(folder);
        if (unholdable.failed() && !run.request.force) {
            run.refuse(notKeptText(unholdable.text, name),
                       change("delete", "refused", false, name, user.number));
            return;
        }
        run.result(
            QCoreApplication::translate("AdminCommandLine", "Would delete %1 (number %2).\n")
                .arg(name, QString::number(user.number)),
            change("delete", unholdable.failed() ? "deleted" : "held", true, name, user.number));
        return;
    }
    // Nobody to ask: what cannot be held for restoring is not deleted, unless
    // --force says beforehand that it may be.
    std::function<bool(const QString&)> deleteForGood;
    if (run.request.force)
        deleteForGood = [&run, &name](const QString& errorText) {
            run.dialogs.tell(errorText + QLatin1Char('\n') + cannotBeUndoneText(name));
            return true;
        };
    const Deletion deletion = deleteHoldingFirst(user.path, user.number, name, now, deleteForGood);
    switch (deletion.outcome) {
    case Deletion::Held:
        // All arguments in one arg(), so that a name holding "%2" stays as it is.
        run.result(
            QCoreApplication::translate(
                "AdminCommandLine",
                "Deleted %1 (number %2); --restore-user brings the name back within %3 days.\n")
                .arg(name, QString::number(user.number), QString::number(kHeldDays)),
            change("delete", "held", true, name, user.number));
        return;
    case Deletion::Deleted:
        run.result(
            QCoreApplication::translate("AdminCommandLine", "Deleted %1 (number %2) for good.\n")
                .arg(name, QString::number(user.number)),
            change("delete", "deleted", true, name, user.number));
        return;
    case Deletion::Replaced:
        run.refuse(replacedFileReport(name, deletion.nameNow, user.path).prompt,
                   change("delete", "refused", false, name, user.number));
        return;
    case Deletion::Declined:
        run.refuse(notKeptText(deletion.error.text, name),
                   change("delete", "refused", false, name, user.number));
        return;
    case Deletion::Failed:
        run.refuse(cannotDeleteReport(deletion.error.text, user.path).prompt,
                   change("delete", "refused", false, name, user.number));
        return;
    }
}

void restoreUser(Run& run, const QString& folder, const QString& name) {
    if (refusedForUnreachableFolder(run, folder))
        return;
    const std::vector<HeldName> held = listHeldNames(folder);
    // The newest deletion of that name, should it have been deleted twice.
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&name](const HeldName& one) { return one.name == name; });
    if (found == held.end()) {
        if (const FileError unreadable = readHoldingFolder(folder); unreadable.failed()) {
            run.refuse(QCoreApplication::translate("AdminCommandLine",
                                                   "The deleted names cannot be read: %1")
                           .arg(unreadable.text),
                       change("restore", "refused", false, name));
            return;
        }
        // Restored already (by an earlier run of the same command): done.
        const std::optional<UserListing> listing = readUsers(run, folder);
        if (!listing)
            return;
        if (const ListedUser* onList = userNamed(*listing, name)) {
            run.result(QCoreApplication::translate(
                           "AdminCommandLine", "%1 is on the list already: nothing to restore.\n")
                           .arg(name),
                       change("restore", "already-there", false, name, onList->number));
            return;
        }
        run.refuse(
            QCoreApplication::translate("AdminCommandLine", "%1 is not among the deleted names.")
                .arg(name),
            change("restore", "refused", false, name));
        return;
    }
    if (run.request.check) {
        const std::optional<UserListing> listing = readUsers(run, folder);
        if (!listing)
            return;
        if (userNamed(*listing, name)) {
            run.refuse(duplicateNameReport(name).prompt,
                       change("restore", "refused", false, name, found->number));
            return;
        }
        run.result(QCoreApplication::translate("AdminCommandLine", "Would restore %1.\n").arg(name),
                   change("restore", "restored", true, name, found->number));
        return;
    }
    const RestoreResult restored = restoreHeldName(folder, *found, kRosterWaitOnCommandLineMs);
    switch (restored.outcome) {
    case RestoreResult::Restored: {
        QString text = QCoreApplication::translate("AdminCommandLine", "Restored %1 (number %2).\n")
                           .arg(name, QString::number(restored.number));
        ChangeRecord record = change("restore", "restored", true, name, restored.number);
        if (restored.numberChanged) {
            record.reason = asLines(
                restoredUnderOtherNumberReport(name, found->number, restored.number).prompt);
            text += record.reason + QLatin1Char('\n');
        }
        run.result(text, std::move(record));
        return;
    }
    case RestoreResult::NameOnList:
        run.refuse(duplicateNameReport(name).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    case RestoreResult::Gone:
        run.refuse(noLongerHeldReport(name).prompt, change("restore", "refused", false, name));
        return;
    case RestoreResult::Failed:
        run.refuse(cannotRestoreReport(restored.error.text, restored.path).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    case RestoreResult::NumbersUsedUp:
        run.refuse(cannotRestoreReport(numbersUsedUpText(), found->heldPath).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    case RestoreResult::Busy:
        run.refuse(rosterBusyReport(shownHistoryFolder(run.state)).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    }
}

// Held names kept their time are erased by a command that changes the roster
// (never by one that only lists or checks), sparing those it restores.
void eraseExpired(Run& run, const QString& historyFolder) {
    for (const HeldName& erased : eraseExpiredHeldNames(historyFolder, run.request.restoreUsers)) {
        ChangeRecord record = change("erase", "erased", true, erased.name, erased.number);
        record.deletedAt = isoTime(erased.deletedAt);
        run.result(
            QCoreApplication::translate("AdminCommandLine",
                                        "%1, deleted on %2, was kept %3 days and is now erased.\n")
                .arg(erased.name, shownDeletionTime(erased.deletedAt), QString::number(kHeldDays)),
            std::move(record));
    }
}

} // namespace dexlan::admin
