// SPDX-License-Identifier: GPL-3.0-or-later
// The roster's two actions on the list: adding names and deleting the one selected.
#include "roster/widgets/user_roster.h"

#include "platform/dialogs.h"
#include "roster/widgets/add_names_dialog.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/core/user_list_model.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace dexlan {

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
    switch (shown(m_service->deleteUser(selected, asker()))) {
    case RosterOutcome::Done:
        break;
    case RosterOutcome::Stale:
        if (m_controls.deleteNameButton)
            m_controls.deleteNameButton->setEnabled(false);
        fillUserList();
        return;
    default:
        return;
    }
    QListView* list = m_controls.userList;
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
    settleReading();
    const RosterOutcome::Status status = shown(m_service->addName(name, asker()));
    // A name added, or on the list already, makes room for the next; any
    // other is left to be corrected.
    if (status == RosterOutcome::Done || status == RosterOutcome::Duplicate)
        box->clear();
    box->setFocus();
}

void UserRoster::recordChange(const LoggedChange& change) {
    recordWindowChange(m_state, m_dialogs, change);
}

} // namespace dexlan
