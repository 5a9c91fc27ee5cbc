// SPDX-License-Identifier: GPL-3.0-or-later
// The roster from the command line: deleting and restoring users, and the
// held names whose time is up.
#include "app/admin_run.h"

#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_service.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

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
    UserListing listing = RosterService::readUsersOnce(folder);
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

const ListedUser* userNamed(const UserListing& listing, const QString& name,
                            const CodePage& codePage) {
    for (const ListedUser& user : listing.users) {
        if (shownName(user.name, codePage) == name)
            return &user;
    }
    return nullptr;
}

// A name of an all-or-nothing batch left as it was, because another of the
// batch was refused: reported, though not as a refusal of its own.
void leftForTheBatch(Run& run, const char* action, const QString& name, int number,
                     const QString& reason) {
    ChangeRecord record = change(action, "refused", false, name, number);
    record.reason = reason;
    run.report.changes.push_back(std::move(record));
}

QString notKeptText(const QString& errorText, const QString& name) {
    return errorText + QLatin1Char('\n') +
           QCoreApplication::translate("AdminCommandLine",
                                       "%1 was not deleted: the history file cannot be "
                                       "kept for restoring.")
               .arg(name);
}

} // namespace

namespace {

// What one entry of a deletion names, found in the one listing of the batch.
struct ToDelete {
    QString given;                    // the entry as given: a name, or "#12"
    const ListedUser* user = nullptr; // the one user it names, if any
    QString name;                     // the user's name as the list shows it
    std::optional<QString> refusal;   // why it cannot be deleted
    bool notThere = false;            // not on the list, and --if-present given
};

// The users of a listing by name and by number, each made once: a batch of
// a thousand names then costs no more than one look at the list.
class ListedUsers {
  public:
    ListedUsers(const UserListing& listing, const CodePage& codePage) {
        m_names.reserve(qsizetype(listing.users.size()));
        for (const ListedUser& user : listing.users) {
            m_names.append(shownName(user.name, codePage));
            m_byName[m_names.constLast()].push_back(&user);
            m_byNumber[user.number].push_back(&user);
        }
    }
    std::vector<const ListedUser*> named(const QString& name) const { return m_byName.value(name); }
    std::vector<const ListedUser*> numbered(int number) const { return m_byNumber.value(number); }
    QString nameOf(const ListedUser& user, const UserListing& listing) const {
        return m_names[&user - listing.users.data()];
    }

  private:
    QStringList m_names;
    QHash<QString, std::vector<const ListedUser*>> m_byName;
    QHash<int, std::vector<const ListedUser*>> m_byNumber;
};

ToDelete findToDelete(const QString& given, const ListedUsers& users, const UserListing& listing,
                      bool ifPresent) {
    ToDelete found;
    found.given = given;
    found.name = given;
    const std::optional<int> number = userNumberGiven(given);
    const std::vector<const ListedUser*> matches =
        number ? users.numbered(*number) : users.named(given);
    if (matches.empty()) {
        if (ifPresent)
            found.notThere = true;
        else if (number)
            found.refusal =
                QCoreApplication::translate("AdminCommandLine", "No user has the number %1.")
                    .arg(*number);
        else
            found.refusal =
                QCoreApplication::translate("AdminCommandLine",
                                            "There is no one named  '%1'  in the user list.")
                    .arg(given);
        return found;
    }
    if (matches.size() > 1) {
        found.refusal =
            number ? QCoreApplication::translate("AdminCommandLine",
                                                 "%1 history files carry the number %2: delete "
                                                 "the one you mean in the window.")
                         .arg(QString::number(matches.size()), QString::number(*number))
                   : QCoreApplication::translate("AdminCommandLine",
                                                 "%1 users are named  '%2'  in the user list: "
                                                 "give the number of the one you mean, as "
                                                 "#NUMBER (--list-users shows them).")
                         .arg(QString::number(matches.size()), given);
        return found;
    }
    found.user = matches.front();
    found.name = users.nameOf(*found.user, listing);
    // A listed number below 1 comes from a file named with a minus sign or a
    // zero; no history file is named after it, so the window deletes
    // nothing, nor does this.
    if (found.user->number < 1)
        found.refusal = noUserNumberReport(found.name).prompt;
    return found;
}

// The users of a batch deleted at once: each held for restoring, their notes
// synced together; what cannot be held is deleted for good only with --force.
std::vector<Deletion> deleteAll(Run& run, const std::vector<const ToDelete*>& batch,
                                const QDateTime& now) {
    std::vector<UserToHold> users;
    users.reserve(batch.size());
    for (const ToDelete* one : batch)
        users.push_back({one->user->path, one->user->number, one->name});
    // Nobody to ask: what cannot be held for restoring is not deleted, unless
    // --force says beforehand that it may be.
    std::function<bool(const UserToHold&, const QString&)> deleteForGood;
    if (run.request.force)
        deleteForGood = [&run](const UserToHold& user, const QString& errorText) {
            run.dialogs.tell(errorText + QLatin1Char('\n') + cannotBeUndoneText(user.listedName));
            return true;
        };
    return RosterService::deleteUsers(users, now, deleteForGood, run.state.codePage());
}

void reportDeletion(Run& run, const ToDelete& one, const Deletion& deletion) {
    const QString& name = one.name;
    const ListedUser& user = *one.user;
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

} // namespace

std::optional<int> userNumberGiven(const QString& entry) {
    if (!entry.startsWith(QLatin1Char('#')))
        return std::nullopt;
    bool isNumber = false;
    const int number = entry.mid(1).toInt(&isNumber, 10);
    if (!isNumber || entry.size() < 2 || !entry.at(1).isDigit())
        return std::nullopt;
    return number;
}

void deleteUsers(Run& run, const QString& folder, const QStringList& entries,
                 const QDateTime& now) {
    const std::optional<UserListing> listing = readUsers(run, folder);
    if (!listing)
        return;
    const ListedUsers users(*listing, run.state.codePage());
    std::vector<ToDelete> batch;
    QSet<const ListedUser*> named;
    bool anyRefused = false;
    for (const QString& given : entries) {
        ToDelete one = findToDelete(given, users, *listing, run.request.ifPresent);
        // A user named twice (by name and by number, say) is deleted once.
        if (one.user && !one.refusal && named.contains(one.user))
            continue;
        if (one.user)
            named.insert(one.user);
        anyRefused = anyRefused || one.refusal.has_value();
        batch.push_back(std::move(one));
    }
    // Where nothing can be held, nothing is deleted, unless --force: found
    // before the first deletion, so that the batch is not cut in two.
    const FileError unholdable = readHoldingFolder(folder);
    const bool holdingRefused = unholdable.failed() && !run.request.force;
    const bool whole = !anyRefused && !holdingRefused;
    // Everyone to be deleted, deleted at once before any is reported.
    std::vector<const ToDelete*> toDelete;
    if (whole && !run.request.check) {
        for (const ToDelete& one : batch) {
            if (!one.notThere)
                toDelete.push_back(&one);
        }
    }
    const std::vector<Deletion> deletions = deleteAll(run, toDelete, now);
    size_t deleted = 0;
    for (const ToDelete& one : batch) {
        const int number = one.user ? one.user->number : 0;
        if (one.refusal) {
            run.refuse(*one.refusal, change("delete", "refused", false, one.name, number));
            continue;
        }
        if (one.notThere) {
            run.result(QCoreApplication::translate("AdminCommandLine",
                                                   "%1 is not on the list: nothing to delete.\n")
                           .arg(one.name),
                       change("delete", "not-there", false, one.name));
            continue;
        }
        if (holdingRefused) {
            run.refuse(notKeptText(unholdable.text, one.name),
                       change("delete", "refused", false, one.name, number));
            continue;
        }
        if (!whole) {
            // All or nothing: a batch with a refused entry deletes no one.
            leftForTheBatch(run, "delete", one.name, number,
                            QCoreApplication::translate(
                                "AdminCommandLine",
                                "Not deleted: another user of the same command was refused."));
            continue;
        }
        if (run.request.check) {
            run.result(
                QCoreApplication::translate("AdminCommandLine", "Would delete %1 (number %2).\n")
                    .arg(one.name, QString::number(number)),
                change("delete", unholdable.failed() ? "deleted" : "held", true, one.name, number));
            continue;
        }
        reportDeletion(run, one, deletions[deleted++]);
    }
    if (!whole && std::any_of(batch.begin(), batch.end(),
                              [](const ToDelete& one) { return !one.refusal && !one.notThere; }))
        run.dialogs.tell(QCoreApplication::translate(
            "AdminCommandLine", "No user was deleted: the others named are left as they were."));
}

namespace {

// What one entry of a restoration names: a held user, or one on the list already.
struct ToRestore {
    QString name;
    const HeldName* held = nullptr;
    int numberOnList = 0; // on the list already (restored by an earlier run)
    std::optional<QString> refusal;
};

ToRestore findToRestore(Run& run, const QString& folder, const QString& given,
                        const std::vector<HeldName>& held,
                        std::optional<std::optional<UserListing>>& listing) {
    ToRestore found;
    found.name = given;
    const std::optional<int> number = userNumberGiven(given);
    // The newest deletion of that name, should it have been deleted twice.
    const auto at = std::find_if(held.begin(), held.end(), [&](const HeldName& one) {
        return number ? one.number == *number : one.name == given;
    });
    if (at != held.end()) {
        found.held = &*at;
        found.name = at->name;
        return found;
    }
    if (number) {
        found.refusal =
            QCoreApplication::translate("AdminCommandLine", "No deleted user had the number %1.")
                .arg(*number);
        return found;
    }
    if (const FileError unreadable = readHoldingFolder(folder); unreadable.failed()) {
        found.refusal =
            QCoreApplication::translate("AdminCommandLine", "The deleted names cannot be read: %1")
                .arg(unreadable.text);
        return found;
    }
    // Restored already (by an earlier run of the same command): done. The
    // list is read once, for the first such name.
    if (!listing)
        listing = readUsers(run, folder);
    if (!*listing) {
        found.refusal = QString(); // told already
        return found;
    }
    if (const ListedUser* onList = userNamed(**listing, given, run.state.codePage())) {
        found.numberOnList = onList->number;
        return found;
    }
    found.refusal =
        QCoreApplication::translate("AdminCommandLine", "%1 is not among the deleted names.")
            .arg(given);
    return found;
}

void reportRestore(Run& run, const ToRestore& one, const RosterOutcome& restored) {
    const QString& name = one.name;
    if (restored.status == RosterOutcome::Done) {
        QString text = QCoreApplication::translate("AdminCommandLine", "Restored %1 (number %2).\n")
                           .arg(name, QString::number(restored.number));
        ChangeRecord record = change("restore", "restored", true, name, restored.number);
        if (restored.message) { // under another number
            record.reason = asLines(restored.message->prompt);
            text += record.reason + QLatin1Char('\n');
        }
        run.result(text, std::move(record));
        return;
    }
    // Gone meanwhile: it no longer has the number it was held with.
    const int number = restored.status == RosterOutcome::Unchanged ? 0 : one.held->number;
    run.refuse(restored.message ? restored.message->prompt : QString(),
               change("restore", "refused", false, name, number));
}

} // namespace

void restoreUsers(Run& run, const QString& folder, const QStringList& entries) {
    if (refusedForUnreachableFolder(run, folder))
        return;
    const std::vector<HeldName> held = listHeldNames(folder, run.state.codePage());
    std::optional<std::optional<UserListing>> listing;
    std::vector<ToRestore> batch;
    QSet<const HeldName*> named;
    bool anyRefused = false;
    for (const QString& given : entries) {
        ToRestore one = findToRestore(run, folder, given, held, listing);
        if (one.held && named.contains(one.held))
            continue; // named twice: restored once
        if (one.held)
            named.insert(one.held);
        anyRefused = anyRefused || one.refusal.has_value();
        batch.push_back(std::move(one));
    }
    // Everyone to be restored, restored at once (the window's own restore,
    // the folder read once) before any is reported.
    std::vector<HeldName> toRestore;
    if (!anyRefused && !run.request.check) {
        for (const ToRestore& one : batch) {
            if (one.held)
                toRestore.push_back(*one.held);
        }
    }
    const std::vector<RosterOutcome> restored =
        RosterService::restore(folder, toRestore, kRosterWaitOnCommandLineMs,
                               shownHistoryFolder(run.state), run.state.codePage());
    size_t next = 0;
    for (const ToRestore& one : batch) {
        const int number = one.held ? one.held->number : one.numberOnList;
        if (one.refusal) {
            if (one.refusal->isEmpty())
                run.refused = true;
            else
                run.refuse(*one.refusal, change("restore", "refused", false, one.name));
            continue;
        }
        if (!one.held) {
            run.result(QCoreApplication::translate(
                           "AdminCommandLine", "%1 is on the list already: nothing to restore.\n")
                           .arg(one.name),
                       change("restore", "already-there", false, one.name, number));
            continue;
        }
        if (anyRefused) {
            // All or nothing: a batch with a refused entry restores no one.
            leftForTheBatch(run, "restore", one.name, number,
                            QCoreApplication::translate(
                                "AdminCommandLine",
                                "Not restored: another name of the same command was refused."));
            continue;
        }
        if (run.request.check) {
            if (!listing)
                listing = readUsers(run, folder);
            if (!*listing)
                return;
            if (userNamed(**listing, one.name, run.state.codePage())) {
                run.refuse(duplicateNameReport(one.name).prompt,
                           change("restore", "refused", false, one.name, number));
                continue;
            }
            run.result(QCoreApplication::translate("AdminCommandLine", "Would restore %1.\n")
                           .arg(one.name),
                       change("restore", "restored", true, one.name, number));
            continue;
        }
        reportRestore(run, one, restored[next++]);
    }
}

// Held names kept their time are erased by a command that changes the roster
// (never by one that only lists or checks), sparing those it restores.
void eraseExpired(Run& run, const QString& historyFolder, const QStringList& restoring) {
    // A number names the user who had it: spared by name, as the erasing knows names.
    QStringList spared;
    std::vector<HeldName> held;
    for (const QString& entry : restoring) {
        const std::optional<int> number = userNumberGiven(entry);
        if (!number) {
            spared.append(entry);
            continue;
        }
        if (held.empty())
            held = listHeldNames(historyFolder, run.state.codePage());
        for (const HeldName& one : held) {
            if (one.number == *number)
                spared.append(one.name);
        }
    }
    for (const HeldName& erased : eraseExpiredHeldNames(historyFolder, spared, run.state.codePage())) {
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
