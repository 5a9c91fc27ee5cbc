// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

namespace dexlan {

// Test stand-in for Dialogs: every call is recorded, and each answer comes from
// a queue the test filled beforehand. A call with no scripted answer fails the
// running test and answers Cancel, or No or OK where the box has no Cancel.
class ScriptedDialogs final : public Dialogs {
  public:
    struct ExpectedBox {
        MsgBoxRequest request; // compared in full when checkRequest is set
        MsgAnswer answer;
        bool checkRequest;
    };

    // Expects exactly this message box next and answers it.
    void expectBox(const MsgBoxRequest& request, MsgAnswer answer);
    // Answers the next message box, whatever it asks.
    void answerNextBox(MsgAnswer answer);
    // Answers the next file-open dialog with a path (empty: cancelled).
    void answerNextFile(const QString& path);
    // Runs an action on the next modal window while it is "open"; the action
    // typically types, clicks and closes it. With no action queued the window
    // is closed at once.
    void onNextModal(std::function<void(QDialog&)> action);
    void closeModalsAutomatically(bool on) { m_autoCloseModals = on; }

    MsgAnswer msgBox(const MsgBoxRequest& request) override;
    QString openFile(const FileOpenRequest& request) override;
    void showModal(QDialog& window) override;

    // What was asked, in order.
    QList<MsgBoxRequest> boxesShown;
    QList<FileOpenRequest> filesAsked;
    QStringList modalsShown; // objectName of each window shown modally

    bool allAnswersUsed() const { return m_boxes.empty() && m_files.empty() && m_modals.empty(); }

  private:
    std::deque<ExpectedBox> m_boxes;
    std::deque<QString> m_files;
    std::deque<std::function<void(QDialog&)>> m_modals;
    bool m_autoCloseModals = true;
};

QString describe(const MsgBoxRequest& request);

} // namespace dexlan
