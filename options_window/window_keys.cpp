// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/window_keys.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace dexlan {

// How Qt delivers a key, and why this filter counts on it:
//
// - An application event filter runs before the controls' own filters and
//   handlers, so the window sees the key first (the key preview).
// - A key the focused control leaves unhandled is sent on to each of its
//   parents in turn, as the same QKeyEvent object, and every one of those
//   deliveries passes this filter again.
// - So a key press is recognised as already handled by the event's address,
//   together with the control it first arrived at being a child of the
//   receiver. The address alone is not enough: a later press may be stored at
//   the same address. Every key press starts with its ShortcutOverride and
//   ends with its KeyRelease, and both clear the mark.
// - The control is remembered, not the focus: the handler may move the focus
//   (a tab change does) while the same event is still on its way up.
WindowKeys::WindowKeys(QWidget& window, Handler handler)
    : m_window(window), m_handler(std::move(handler)) {
    qApp->installEventFilter(this);
}

WindowKeys::~WindowKeys() {
    qApp->removeEventFilter(this);
}

bool WindowKeys::isWindowsKey(QObject* receiver) const {
    if (!receiver->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(receiver);
    return widget == &m_window || m_window.isAncestorOf(widget);
}

bool WindowKeys::isPropagationOfHandledKey(QObject* receiver, const QEvent* event) const {
    if (event != m_handledKey || !m_handledKeyReceiver)
        return false;
    const auto* first = static_cast<QWidget*>(m_handledKeyReceiver.data());
    return static_cast<QWidget*>(receiver)->isAncestorOf(first);
}

void WindowKeys::forgetHandledKey() {
    m_handledKey = nullptr;
    m_handledKeyReceiver = nullptr;
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
        forgetHandledKey();
        break;
    case QEvent::KeyPress:
        if (isWindowsKey(watched) && !isPropagationOfHandledKey(watched, event)) {
            m_handler(*static_cast<QKeyEvent*>(event), watched);
            // Marked afterwards: keys typed in a window the handler opened
            // (Help, a message box) clear the mark as they pass.
            m_handledKey = event;
            m_handledKeyReceiver = watched;
        }
        break;
    default:
        break;
    }
    // Never consumed: the focused control then handles the key as usual.
    return false;
}

bool editsText(const QObject* control) {
    if (const auto* line = qobject_cast<const QLineEdit*>(control))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(control))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(control))
        return !plain->isReadOnly();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control))
        return !spin->isReadOnly();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->isEditable();
    return false;
}

// Ctrl+Tab and Ctrl+PgDn go forward, Ctrl+Shift+Tab (which arrives as
// Backtab) and Ctrl+PgUp go back.
int pageStep(int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier) {
        if (key == Qt::Key_Tab || key == Qt::Key_PageDown)
            return 1;
        if (key == Qt::Key_PageUp)
            return -1;
    }
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) &&
        (key == Qt::Key_Backtab || key == Qt::Key_Tab))
        return -1;
    return 0;
}

} // namespace dexlan
