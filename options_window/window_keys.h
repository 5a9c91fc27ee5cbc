// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

namespace dexlan {

// Key preview for one window: the handler sees every key pressed in the window
// or any of its controls once, before the control with the focus, which then
// handles the key as usual. Keys typed in other windows (Help, a dialog, a
// message box) are not the window's.
class WindowKeys : public QObject {
  public:
    // focused: the control the key was typed into.
    using Handler = std::function<void(const QKeyEvent& key, QObject* focused)>;

    WindowKeys(QWidget& window, Handler handler);
    ~WindowKeys() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool isWindowsKey(QObject* receiver) const;
    bool isPropagationOfHandledKey(QObject* receiver, const QEvent* event) const;
    void forgetHandledKey();

    QWidget& m_window;
    Handler m_handler;
    // The key press handled last, and where it first arrived.
    const QEvent* m_handledKey = nullptr;
    QPointer<QObject> m_handledKeyReceiver;
};

// Whether a key typed into this control edits text: Delete then belongs to the
// text, not to the user list.
bool editsText(const QObject* control);

// The page keys of every tab widget: +1 for the next page, -1 for the previous
// one, 0 for any other key.
int pageStep(int key, Qt::KeyboardModifiers modifiers);

} // namespace dexlan
