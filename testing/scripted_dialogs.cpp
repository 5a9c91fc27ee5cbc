// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/scripted_dialogs.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace dexlan {

namespace {
const char* buttonsName(MsgButtons b) {
    switch (b) {
    case MsgButtons::Ok:
        return "Ok";
    case MsgButtons::OkCancel:
        return "OkCancel";
    case MsgButtons::YesNo:
        return "YesNo";
    case MsgButtons::RetryCancel:
        return "RetryCancel";
    }
    return "?";
}
const char* iconName(MsgIcon i) {
    switch (i) {
    case MsgIcon::None:
        return "None";
    case MsgIcon::Critical:
        return "Critical";
    case MsgIcon::Question:
        return "Question";
    case MsgIcon::Exclamation:
        return "Exclamation";
    case MsgIcon::Information:
        return "Information";
    }
    return "?";
}

const char* answerName(MsgAnswer answer) {
    switch (answer) {
    case MsgAnswer::Ok:
        return "Ok";
    case MsgAnswer::Cancel:
        return "Cancel";
    case MsgAnswer::Retry:
        return "Retry";
    case MsgAnswer::Yes:
        return "Yes";
    case MsgAnswer::No:
        return "No";
    }
    return "?";
}
} // namespace

QString describe(const MsgBoxRequest& r) {
    return QStringLiteral("title [%1] prompt [%2] buttons %3 icon %4 default %5")
        .arg(r.title, QString(r.prompt).replace(QLatin1String("\r\n"), QLatin1String("\\r\\n")),
             QLatin1String(buttonsName(r.buttons)), QLatin1String(iconName(r.icon)),
             QLatin1String(answerName(r.defaultButton)));
}

void ScriptedDialogs::expectBox(const MsgBoxRequest& request, MsgAnswer answer) {
    m_boxes.push_back({request, answer, true});
}

void ScriptedDialogs::answerNextBox(MsgAnswer answer) {
    m_boxes.push_back({{}, answer, false});
}

void ScriptedDialogs::answerNextFile(const QString& path) {
    m_files.push_back(path);
}

void ScriptedDialogs::onNextModal(std::function<void(QDialog&)> action) {
    m_modals.push_back(std::move(action));
}

MsgAnswer ScriptedDialogs::msgBox(const MsgBoxRequest& request) {
    boxesShown.push_back(request);
    if (m_boxes.empty()) {
        ADD_FAILURE() << "unexpected message box: " << describe(request).toStdString();
        return request.buttons == MsgButtons::Ok      ? MsgAnswer::Ok
               : request.buttons == MsgButtons::YesNo ? MsgAnswer::No
                                                      : MsgAnswer::Cancel;
    }
    ExpectedBox next = m_boxes.front();
    m_boxes.pop_front();
    if (next.checkRequest) {
        EXPECT_EQ(describe(next.request).toStdString(), describe(request).toStdString());
    }
    return next.answer;
}

QString ScriptedDialogs::openFile(const FileOpenRequest& request) {
    filesAsked.push_back(request);
    if (m_files.empty()) {
        ADD_FAILURE() << "unexpected file-open dialog: " << request.title.toStdString();
        return {};
    }
    QString next = m_files.front();
    m_files.pop_front();
    return next;
}

void ScriptedDialogs::showModal(QDialog& window) {
    modalsShown.push_back(window.objectName());
    window.show();
    if (!m_modals.empty()) {
        auto action = std::move(m_modals.front());
        m_modals.pop_front();
        if (action)
            action(window);
    } else if (!m_autoCloseModals) {
        ADD_FAILURE() << "unexpected modal window: " << window.objectName().toStdString();
    }
    if (window.isVisible())
        window.hide();
}

} // namespace dexlan
