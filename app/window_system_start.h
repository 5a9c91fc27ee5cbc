// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace dexlan {

// Held while the application object connects to the window system. Without a
// display Qt's platform plugin prints a page of its own and aborts; instead the
// user reads noDisplayMessage() and the program ends with status 1. Qt's other
// messages meanwhile are held back and passed on once the connection is made.
class WindowSystemStart {
  public:
    WindowSystemStart();
    // The connection is made: the messages held back go out as usual.
    ~WindowSystemStart();

    WindowSystemStart(const WindowSystemStart&) = delete;
    WindowSystemStart& operator=(const WindowSystemStart&) = delete;

  private:
    struct HeldMessage {
        QtMsgType type;
        QByteArray category;
        QString text;
    };
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    QtMessageHandler m_previous = nullptr;
    QList<HeldMessage> m_held;
};

} // namespace dexlan
