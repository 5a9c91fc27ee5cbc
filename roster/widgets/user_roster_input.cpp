// SPDX-License-Identifier: GPL-3.0-or-later
// What the roster does with the user's input to its controls: the location
// box's Enter and focus, and input that arrives while the list is being read.
#include "roster/widgets/user_roster.h"

#include "platform/dialogs.h"
#include "roster/widgets/add_names_dialog.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_messages.h"
#include "roster/core/user_list_model.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
#include <memory>
#include <utility>

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

// The user's input, and of it what acts on the widget it is sent to (a key,
// a press, the wheel) rather than follow or pass over it.
enum class Input { None, Acting, Other };

Input inputKind(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return Input::Acting;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return Input::Other;
    default:
        return Input::None;
    }
}

} // namespace

void UserRoster::locationEnterPressed() {
    normaliseLocation();
    checkHistoryFolder();
    if (m_state.historyFolderState != HistoryFolderState::Usable)
        return; // the focus stays so that the location can be corrected
    const int fills = m_fills;
    if (m_controls.historyPage)
        m_controls.historyPage->setFocus();
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
    // While the folder is read the window paints, but the roster's controls
    // take no input: nothing may act on a list about to be replaced.
    if (m_reading && inputKind(event->type()) != Input::None)
        return true;
    // Read in the background: what acts on the list waits for the whole of
    // it. The buttons and the location box wait in what they do.
    if (isReadingInBackground() && inputKind(event->type()) == Input::Acting &&
        watched != m_controls.locationEdit && watched != m_controls.addNamesButton &&
        watched != m_controls.deleteNameButton) {
        const int changes = m_listChanges;
        settleReading();
        // A press aimed at the rows shown before the list changed under it
        // is not acted on.
        const bool press = event->type() == QEvent::MouseButtonPress ||
                           event->type() == QEvent::MouseButtonDblClick;
        if (press && m_listChanges != changes && m_controls.userList &&
            watched == m_controls.userList->viewport())
            return true;
    }
    if (watched == m_controls.locationEdit) {
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
                // A press on the list takes the focus before the list sees
                // the press: the rebuild lands between the two.
                QListView* list = m_controls.userList;
                const bool pressOnList =
                    reason == Qt::MouseFocusReason && list && QApplication::focusWidget() == list;
                const QStringList seen = pressOnList ? shownRows(model()) : QStringList();
                locationLostFocus();
                if (pressOnList && shownRows(model()) != seen)
                    m_listChangedForPress = true;
            }
        }
    } else if (m_controls.userList && watched != m_controls.addNamesButton &&
               watched != m_controls.deleteNameButton) {
        return listMouseEvent(watched, event);
    }
    return QObject::eventFilter(watched, event);
}

bool UserRoster::listMouseEvent(QObject* watched, QEvent* event) {
    // The list also sends events while it is being destroyed: nothing is
    // asked of it but for mouse events.
    QListView* list = m_controls.userList;
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == list)
            m_listChangedForPress = false; // that press went elsewhere in the list
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const bool changedForThisPress = std::exchange(m_listChangedForPress, false);
        if (watched != list->viewport())
            return false;
        const quint64 at = static_cast<QMouseEvent*>(event)->timestamp();
        const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        // The second press of a double click belongs to the gesture of the first.
        if (!m_gesture.started || at < m_gesture.began || at - m_gesture.began > interval)
            m_gesture = {m_listChanges, at, true};
        if (changedForThisPress)
            m_gesture.listChanges = -1;
        return m_gesture.listChanges != m_listChanges;
    }
    case QEvent::MouseMove:
        // Dragging with the button held selects too.
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
            return false;
        [[fallthrough]];
    case QEvent::MouseButtonRelease:
        return watched == list->viewport() && m_gesture.started &&
               m_gesture.listChanges != m_listChanges;
    default:
        return false;
    }
}

} // namespace dexlan
