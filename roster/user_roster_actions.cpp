// SPDX-License-Identifier: GPL-3.0-or-later
// The roster's two actions on the list: adding names and deleting the one selected.
#include "roster/user_roster.h"

#include "platform/dialogs.h"
#include "roster/add_names_dialog.h"
#include "roster/background_listing.h"
#include "roster/bulk_add_window.h"
#include "roster/held_names.h"
#include "roster/held_names_messages.h"
#include "roster/history_file.h"
#include "roster/history_folder.h"
#include "roster/name_rules.h"
#include "roster/roster_decisions.h"
#include "roster/roster_messages.h"
#include "roster/user_list_model.h"

#include <QDateTime>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <algorithm>
#include <memory>
#include <utility>

namespace dexlan {

namespace {

// A file name under a location only Windows can reach, as Windows would form it.
QString windowsStylePath(const QString& location, const QString& fileName) {
    return location.endsWith(QLatin1Char('\\')) ? location + fileName
                                                : location + QLatin1Char('\\') + fileName;
}

} // namespace

int UserRoster::selectedRow() const {
    QListView* list = m_controls.userList;
    if (!list || !list->selectionModel())
        return -1;
    const QModelIndex current = list->currentIndex();
    if (current.isValid() && list->selectionModel()->isSelected(current))
        return current.row();
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void UserRoster::deleteSelectedName() {
    settleReading(); // a list that changes now has no selection
    const int selected = selectedRow();
    if (selected < 0)
        return;
    // The row as it was chosen: a question may be answered after the list changed.
    const QPersistentModelIndex entry = m_model->index(selected);
    const QString text = m_model->text(selected);
    const int number = m_model->number(selected);
    const QString listedPath = m_model->path(selected);
    if (number < 1) {
        // Such an entry comes from a file named with a minus sign or a zero;
        // no history file is named after it, so nothing is deleted.
        m_dialogs.msgBox(noUserNumberReport(text));
        return;
    }
    if (m_state.confirmDelete) {
        const MsgAnswer answer = m_dialogs.msgBox(deleteQuestion(text));
        if (answer != MsgAnswer::Ok)
            return;
        m_state.confirmDelete = false;
    }

    const DeleteTarget target =
        deleteTargetFor(listedPath, historyFolderPath(), m_state.historyFolder, number);
    FileError error = target.error;
    if (!error.failed()) {
        const quint64 before = historyFileDigest(target.path);
        // Held for a while so that it can be restored; deleted for good only
        // where it cannot be held and the user agrees.
        const Deletion deleted = deleteHoldingFirst(
            target.path, number, text, QDateTime::currentDateTimeUtc(),
            [this, &text](const QString& errorText) {
                return m_dialogs.msgBox(cannotHoldQuestion(errorText, text)) == MsgAnswer::Ok;
            },
            m_state.codePage());
        if (deleted.outcome == Deletion::Declined)
            return;
        if (deleted.outcome == Deletion::Replaced) {
            m_dialogs.msgBox(replacedFileReport(text, deleted.nameNow, target.path));
            if (m_controls.deleteNameButton)
                m_controls.deleteNameButton->setEnabled(false);
            fillUserList();
            return;
        }
        error = deleted.error;
        if (deleted.outcome != Deletion::Failed)
            countChangeIn(target.path, before);
    }
    if (error.failed()) {
        m_dialogs.msgBox(cannotDeleteReport(error.text, target.path));
        return;
    }

    QListView* list = m_controls.userList;
    if (entry.isValid())
        m_model->removeRowAt(entry.row());
    list->clearSelection();
    list->setCurrentIndex(QModelIndex());
    if (m_controls.deleteNameButton)
        m_controls.deleteNameButton->setEnabled(false);
    list->setFocus();
}

void UserRoster::addNames() {
    settleReading();
    AddNamesDialog dialog(m_controls.userList ? m_controls.userList->window() : nullptr);
    connect(&dialog, &AddNamesDialog::okPressed, this, [this, &dialog] { addName(dialog); });
    connect(&dialog, &AddNamesDialog::severalNamesPasted, this,
            [this, &dialog](const QStringList& names) {
                addNamesInBulk(*this, m_dialogs, names, &dialog);
            });
    m_dialogs.showModal(dialog);
    if (m_controls.historyPage)
        m_controls.historyPage->setFocus();
}

void UserRoster::addName(AddNamesDialog& dialog) {
    QLineEdit* box = dialog.nameEdit();
    // Checked and written as a class list's names are: trimmed and composed.
    const QString name = cleanedName(box->text());
    if (name.isEmpty()) {
        dialog.accept();
        return;
    }
    if (name.size() > kMaxNameLength) {
        m_dialogs.msgBox(unstorableNameReport(name, UnstorableReason::TooLong, m_state.codePage()));
        box->setFocus();
        return;
    }
    const QString folder = historyFolderPath();
    // Another copy or administrator may have added names since the list was
    // read: the name is checked against the folder as it is now, and no other
    // copy adds until its file is made.
    FolderLock lock;
    if (!folder.isEmpty()) {
        if (lockRoster(lock, folder, kRosterWaitInWindowMs) == RosterLocked::Busy) {
            m_dialogs.msgBox(rosterBusyReport(shownFolder()));
            box->setFocus();
            return;
        }
        refreshFromFolder(folder);
    }
    if (m_model->rowOfSameName(name) >= 0) {
        m_dialogs.msgBox(duplicateNameReport(name));
        box->clear();
        box->setFocus();
        return;
    }
    const StorableName storable = storableName(name, m_state.codePage());
    if (storable.problem != StorableName::None) {
        m_dialogs.msgBox(unstorableNameReport(name,
                                              storable.problem == StorableName::ControlCharacter
                                                  ? UnstorableReason::ControlCharacter
                                                  : UnstorableReason::OutsideCodePage,
                                              m_state.codePage()));
        box->setFocus();
        return;
    }

    const std::vector<int> listNumbers = m_model->numbers();

    auto cannotSave = [&](const QString& errorText, const QString& path) {
        m_dialogs.msgBox(cannotSaveReport(errorText, path));
        box->setFocus();
    };
    if (folder.isEmpty()) {
        const int number = smallestFreeNumber(listNumbers, {}).value_or(1);
        cannotSave(windowsOnlyLocationText(),
                   windowsStylePath(m_state.historyFolder, newHistoryFileName(number)));
        return;
    }

    const NewUserFile created = createUserFile(
        folder, listNumbers, storable.bytes, [this] { return m_random.forNewFile(); },
        [this] { return m_dialogs.msgBox(addFolderQuestion(shownFolder())) == MsgAnswer::Yes; });
    switch (created.outcome) {
    case NewUserFile::Created:
        break;
    case NewUserFile::FolderDeclined:
        box->setFocus();
        return;
    case NewUserFile::Failed:
        return cannotSave(created.error.text, created.path);
    case NewUserFile::NumbersUsedUp:
        return cannotSave(numbersUsedUpText(), folder);
    }
    countChangeIn(created.path, created.digestBefore);
    m_model->insertSorted(name, created.number, created.path);
    box->clear();
    box->setFocus();
}

} // namespace dexlan
