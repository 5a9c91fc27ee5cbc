// SPDX-License-Identifier: GPL-3.0-or-later
// The roster's actions on users: adding, deleting, restoring and erasing.
#include "roster/core/roster_service.h"

#include "platform/folder_lock.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_messages.h"

#include <QDateTime>
#include <QPersistentModelIndex>

#include <utility>

namespace dexlan {

namespace {

// A file name under a location only Windows can reach, as Windows would form it.
QString windowsStylePath(const QString& location, const QString& fileName) {
    return location.endsWith(QLatin1Char('\\')) ? location + fileName
                                                : location + QLatin1Char('\\') + fileName;
}

RosterOutcome cannotSave(const QString& errorText, const QString& path) {
    return RosterOutcome::with(RosterOutcome::Failed, cannotSaveReport(errorText, path));
}

} // namespace

RosterOutcome RosterService::addName(const QString& name, const RosterQuestion& ask) {
    // Refused as a class list refuses it, never cut.
    if (name.size() > kMaxNameLength)
        return RosterOutcome::with(
            RosterOutcome::Refused,
            unstorableNameReport(name, UnstorableReason::TooLong, m_state.codePage()));
    const QString folder = historyFolderPath();
    // Another copy or administrator may have added names since the list was
    // read: the name is checked against the folder as it is now, and no other
    // copy adds until its file is made.
    FolderLock lock;
    if (!folder.isEmpty()) {
        if (lockRoster(lock, folder, kRosterWaitInWindowMs) == RosterLocked::Busy)
            return RosterOutcome::with(RosterOutcome::Busy, rosterBusyReport(shownFolder()));
        refresh(folder);
    }
    if (m_model->rowOfSameName(name) >= 0)
        return RosterOutcome::with(RosterOutcome::Duplicate, duplicateNameReport(name));
    const StorableName storable = storableName(name, m_state.codePage());
    if (storable.problem != StorableName::None)
        return RosterOutcome::with(
            RosterOutcome::Refused,
            unstorableNameReport(name,
                                 storable.problem == StorableName::ControlCharacter
                                     ? UnstorableReason::ControlCharacter
                                     : UnstorableReason::OutsideCodePage,
                                 m_state.codePage()));

    const std::vector<int> listNumbers = m_model->numbers();
    if (folder.isEmpty()) {
        const int number = smallestFreeNumber(listNumbers, {}).value_or(1);
        return cannotSave(windowsOnlyLocationText(),
                          windowsStylePath(m_state.historyFolder, newHistoryFileName(number)));
    }
    const NewUserFile created = createUserFile(
        folder, listNumbers, storable.bytes, [this] { return m_random.forNewFile(); },
        [this, &ask] { return ask(addFolderQuestion(shownFolder())) == MsgAnswer::Yes; });
    switch (created.outcome) {
    case NewUserFile::Created:
        break;
    case NewUserFile::FolderDeclined:
        return RosterOutcome::with(RosterOutcome::Declined);
    case NewUserFile::Failed:
        return cannotSave(created.error.text, created.path);
    case NewUserFile::NumbersUsedUp:
        return cannotSave(numbersUsedUpText(), folder);
    }
    countChangeIn(created.path, created.digestBefore);
    m_model->insertSorted(name, created.number, created.path);
    RosterOutcome outcome = RosterOutcome::with(RosterOutcome::Done);
    outcome.number = created.number;
    outcome.path = created.path;
    outcome.change = QStringLiteral("added");
    outcome.name = name;
    return outcome;
}

std::pair<BulkAddPlan, std::vector<int>>
RosterService::planAgainstFolder(const QString& folder, const QStringList& names) {
    refresh(folder);
    QStringList namesOnList;
    namesOnList.reserve(m_model->rowCount());
    for (int row = 0; row < m_model->rowCount(); ++row)
        namesOnList.append(m_model->text(row));
    return {planBulkAdd(names, namesOnList, m_state.codePage()), m_model->numbers()};
}

RosterOutcome RosterService::addNames(const QStringList& names, const RosterQuestion& ask) {
    if (tooManyNames(names.size()))
        return RosterOutcome::with(RosterOutcome::Refused, tooManyNamesReport(names.size()));
    const QString folder = historyFolderPath();
    if (folder.isEmpty())
        return cannotSave(windowsOnlyLocationText(), shownFolder());
    // The folder as it is now, not as the list was read: another copy or
    // administrator may have added names since. The list is read again only
    // then, and the names and numbers come from it.
    const BulkAddPlan asked = planAgainstFolder(folder, names).first;
    if (!asked.toAdd.empty() && ask(bulkAddQuestion(int(asked.toAdd.size()))) != MsgAnswer::Yes)
        return RosterOutcome::with(RosterOutcome::Declined);
    // No other copy adds meanwhile; what it added while the question was
    // open is on the list read again now.
    FolderLock lock;
    if (lockRoster(lock, folder, kRosterWaitInWindowMs) == RosterLocked::Busy)
        return RosterOutcome::with(RosterOutcome::Busy, rosterBusyReport(shownFolder()));
    const auto [plan, numbers] = planAgainstFolder(folder, names);

    BulkAddResult result = addPlanned(
        folder, plan, numbers, [this] { return m_random.forNewFile(); },
        [this, &ask] { return ask(addFolderQuestion(shownFolder())) == MsgAnswer::Yes; });
    std::vector<UserListModel::NewRow> added;
    added.reserve(result.added.size());
    for (const AddedName& user : result.added)
        added.push_back({user.name, user.number, user.path});
    listAddedUsers(std::move(added));
    RosterOutcome outcome = RosterOutcome::with(RosterOutcome::Done);
    outcome.bulkAdded = std::move(result);
    return outcome;
}

RosterOutcome RosterService::deleteUser(int row, const RosterQuestion& ask) {
    if (row < 0 || row >= m_model->rowCount())
        return RosterOutcome::with(RosterOutcome::Unchanged);
    // The row as it was chosen: a question may be answered after the list changed.
    const QPersistentModelIndex entry = m_model->index(row);
    const QString text = m_model->text(row);
    const int number = m_model->number(row);
    const QString listedPath = m_model->path(row);
    // Such an entry comes from a file named with a minus sign or a zero; no
    // history file is named after it, so nothing is deleted.
    if (number < 1)
        return RosterOutcome::with(RosterOutcome::Refused, noUserNumberReport(text));
    if (m_state.confirmDelete) {
        if (ask(deleteQuestion(text)) != MsgAnswer::Ok)
            return RosterOutcome::with(RosterOutcome::Declined);
        m_state.confirmDelete = false;
    }

    const DeleteTarget target =
        deleteTargetFor(listedPath, historyFolderPath(), m_state.historyFolder, number);
    FileError error = target.error;
    bool heldIt = false;
    if (!error.failed()) {
        const quint64 before = historyFileDigest(target.path);
        // Held for a while so that it can be restored; deleted for good only
        // where it cannot be held and the user agrees.
        const Deletion deleted =
            deleteUsers({{target.path, number, text}}, QDateTime::currentDateTimeUtc(),
                        [&ask, &text](const UserToHold&, const QString& errorText) {
                            return ask(cannotHoldQuestion(errorText, text)) == MsgAnswer::Ok;
                        },
                        m_state.codePage())
                .front();
        if (deleted.outcome == Deletion::Declined)
            return RosterOutcome::with(RosterOutcome::Declined);
        if (deleted.outcome == Deletion::Replaced)
            return RosterOutcome::with(RosterOutcome::Stale,
                                       replacedFileReport(text, deleted.nameNow, target.path));
        error = deleted.error;
        heldIt = deleted.outcome == Deletion::Held;
        if (deleted.outcome != Deletion::Failed)
            countChangeIn(target.path, before);
    }
    if (error.failed())
        return RosterOutcome::with(RosterOutcome::Failed,
                                   cannotDeleteReport(error.text, target.path));
    if (entry.isValid())
        m_model->removeRowAt(entry.row());
    RosterOutcome outcome = RosterOutcome::with(RosterOutcome::Done);
    outcome.number = number;
    outcome.path = target.path;
    outcome.change = heldIt ? QStringLiteral("held") : QStringLiteral("deleted");
    outcome.name = text;
    return outcome;
}

namespace {

RosterOutcome restoreOutcome(const QString& folder, const HeldName& held,
                             const RestoreResult& restored, const QString& shownFolder) {
    RosterOutcome outcome;
    switch (restored.outcome) {
    case RestoreResult::Restored:
        outcome.status = RosterOutcome::Done;
        if (restored.numberChanged)
            outcome.message =
                restoredUnderOtherNumberReport(held.name, held.number, restored.number);
        break;
    case RestoreResult::NameOnList:
        return RosterOutcome::with(RosterOutcome::Duplicate, duplicateNameReport(held.name));
    case RestoreResult::Gone:
        return RosterOutcome::with(RosterOutcome::Unchanged, noLongerHeldReport(held.name));
    case RestoreResult::Failed:
        return RosterOutcome::with(RosterOutcome::Failed,
                                   cannotRestoreReport(restored.error.text, restored.path));
    case RestoreResult::NumbersUsedUp:
        return RosterOutcome::with(RosterOutcome::Failed,
                                   cannotRestoreReport(numbersUsedUpText(), held.heldPath));
    case RestoreResult::Busy:
        return RosterOutcome::with(
            RosterOutcome::Busy, rosterBusyReport(shownFolder.isEmpty() ? folder : shownFolder));
    }
    outcome.number = restored.number;
    outcome.path = restored.path;
    return outcome;
}

} // namespace

RosterOutcome RosterService::restore(const QString& folder, const HeldName& held, int waitMs,
                                     const QString& shownFolder, const CodePage& codePage) {
    return restoreOutcome(folder, held, restoreHeldName(folder, held, waitMs, codePage),
                          shownFolder);
}

std::vector<RosterOutcome> RosterService::restore(const QString& folder,
                                                  const std::vector<HeldName>& held, int waitMs,
                                                  const QString& shownFolder,
                                                  const CodePage& codePage) {
    const std::vector<RestoreResult> restored = restoreHeldNames(folder, held, waitMs, codePage);
    std::vector<RosterOutcome> outcomes;
    outcomes.reserve(held.size());
    for (size_t i = 0; i < held.size(); ++i)
        outcomes.push_back(restoreOutcome(folder, held[i], restored[i], shownFolder));
    return outcomes;
}

BulkAddResult RosterService::addPlanned(
    const QString& folder, const BulkAddPlan& plan, std::vector<int> listNumbers,
    const std::function<std::array<int, kRandomsPerFile>()>& drawRandoms,
    const std::function<bool()>& createMissingFolder) {
    return carryOutBulkAdd(folder, plan, std::move(listNumbers), drawRandoms, createMissingFolder);
}

std::vector<Deletion> RosterService::deleteUsers(
    const std::vector<UserToHold>& users, const QDateTime& now,
    const std::function<bool(const UserToHold&, const QString&)>& deleteForGood,
    const CodePage& codePage) {
    return deleteHoldingFirst(users, now, deleteForGood, codePage);
}

RosterOutcome RosterService::erase(const HeldName& held, const RosterQuestion& ask) {
    if (ask(eraseHeldQuestion(held.name)) != MsgAnswer::Ok)
        return RosterOutcome::with(RosterOutcome::Declined);
    const FileError error = eraseHeldName(held);
    if (error.failed())
        return RosterOutcome::with(RosterOutcome::Failed,
                                   cannotDeleteReport(error.text, held.heldPath));
    return RosterOutcome::with(RosterOutcome::Done);
}

} // namespace dexlan
