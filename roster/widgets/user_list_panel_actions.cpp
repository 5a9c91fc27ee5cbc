// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's two actions on the list: adding names and deleting the one selected.
#include "roster/widgets/user_list_panel.h"

#include "platform/dialogs.h"
#include "roster/core/name_rules.h"
#include "roster/widgets/add_names_dialog.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/widgets/user_roster.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace dexlan {

int UserListPanel::selectedRow() const {
    if (!m_list->selectionModel())
        return -1;
    const QModelIndex current = m_list->currentIndex();
    if (current.isValid() && m_list->selectionModel()->isSelected(current))
        return current.row();
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void UserListPanel::deleteSelectedName() {
    if (!m_roster)
        return;
    UserRoster& roster = *m_roster;
    roster.finishReading(); // a list that changes now has no selection
    const int selected = selectedRow();
    if (selected < 0)
        return;
    switch (roster.shown(roster.service().deleteUser(selected, roster.asker()))) {
    case RosterOutcome::Done:
        break;
    case RosterOutcome::Stale:
        m_deleteName->setEnabled(false);
        roster.fillUserList();
        return;
    default:
        return;
    }
    m_list->clearSelection();
    m_list->setCurrentIndex(QModelIndex());
    m_deleteName->setEnabled(false);
    m_list->setFocus();
}

void UserListPanel::addNames() {
    if (!m_roster)
        return;
    UserRoster& roster = *m_roster;
    roster.finishReading();
    AddNamesDialog dialog(window());
    connect(&dialog, &AddNamesDialog::okPressed, this, [this, &dialog] { addName(dialog); });
    connect(&dialog, &AddNamesDialog::severalNamesPasted, this,
            [&roster, &dialog](const QStringList& names) {
                addNamesInBulk(roster, roster.dialogs(), names, &dialog);
            });
    roster.dialogs().showModal(dialog);
    if (QWidget* page = roster.page())
        page->setFocus();
}

void UserListPanel::addName(AddNamesDialog& dialog) {
    QLineEdit* box = dialog.nameEdit();
    // Checked and written as a class list's names are: trimmed and composed.
    const QString name = cleanedName(box->text());
    if (name.isEmpty()) {
        dialog.accept();
        return;
    }
    if (!m_roster)
        return;
    UserRoster& roster = *m_roster;
    roster.finishReading();
    const RosterOutcome::Status status =
        roster.shown(roster.service().addName(name, roster.asker()));
    // A name added, or on the list already, makes room for the next; any
    // other is left to be corrected.
    if (status == RosterOutcome::Done || status == RosterOutcome::Duplicate)
        box->clear();
    box->setFocus();
}

} // namespace dexlan
