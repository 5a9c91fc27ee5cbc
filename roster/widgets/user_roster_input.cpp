// SPDX-License-Identifier: GPL-3.0-or-later
// What the roster does with the user's input to the location box: its Enter
// and its focus.
#include "roster/widgets/user_roster.h"

#include "roster/core/history_folder.h"
#include "roster/core/user_list_model.h"
#include "roster/widgets/user_list_panel.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

namespace dexlan {

namespace {

// What the list shows, row by row: each name and the file it stands for.
QStringList shownRows(const UserListModel& model) {
    QStringList rows;
    rows.reserve(model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row)
        rows.append(model.text(row) + QChar(0) + model.path(row));
    return rows;
}

} // namespace

void UserRoster::locationEnterPressed() {
    normaliseLocation();
    checkHistoryFolder();
    if (m_state.historyFolderState != HistoryFolderState::Usable)
        return; // the focus stays so that the location can be corrected
    const int fills = m_fills;
    if (m_page)
        m_page->setFocus();
    // Leaving the box rebuilds the list; where no focus change arrives (the
    // window is not active) it is rebuilt all the same.
    if (m_fills == fills)
        fillUserList();
}

void UserRoster::locationLostFocus() {
    normaliseLocation();
    fillUserList();
}

bool UserRoster::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_locationEdit)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            !(key->modifiers() & Qt::ControlModifier)) {
            locationEnterPressed();
            return true; // no beep, no line break
        }
    } else if (event->type() == QEvent::FocusOut) {
        // The window losing the focus to a message box or another program
        // is not the user leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            // A press on the list takes the focus before the list sees the
            // press: the rebuild lands between the two.
            QListView* list = m_panel ? m_panel->userList() : nullptr;
            const bool pressOnList =
                reason == Qt::MouseFocusReason && list && QApplication::focusWidget() == list;
            const QStringList seen = pressOnList ? shownRows(model()) : QStringList();
            locationLostFocus();
            if (pressOnList && m_panel && shownRows(model()) != seen)
                m_panel->listChangedUnderPress();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace dexlan
