// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_system_start.h"

#include "app/command_line.h"

#include <cstdio>
#include <cstdlib>

namespace dexlan {

namespace {
// Qt calls a message handler as a plain function; it finds the one start in
// progress here.
WindowSystemStart* g_start = nullptr;
} // namespace

WindowSystemStart::WindowSystemStart() {
    g_start = this;
    m_previous = qInstallMessageHandler(&WindowSystemStart::handle);
}

WindowSystemStart::~WindowSystemStart() {
    qInstallMessageHandler(m_previous);
    g_start = nullptr;
    for (const HeldMessage& message : m_held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        if (m_previous)
            m_previous(message.type, context, message.text);
        else
            std::fprintf(stderr, "%s\n",
                         qPrintable(qFormatLogMessage(message.type, context, message.text)));
    }
}

void WindowSystemStart::handle(QtMsgType type, const QMessageLogContext& context,
                               const QString& text) {
    if (type == QtFatalMsg) {
        // The only fatal end while connecting is a platform plugin that could
        // not start: Qt would abort right after this handler returns.
        std::fputs(noDisplayMessage().toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_start->m_held.append({type, QByteArray(context.category), text});
}

} // namespace dexlan
