// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/message_box.h"

#include <QString>

class QDialog;
class QWidget;

namespace dexlan {

// The one door through which the program asks the user anything: message boxes,
// the file-open dialog and modal windows. Production shows Qt dialogs; tests
// script the answers and check what was asked.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Shows a message box and answers with one of the MsgAnswer codes.
    virtual MsgAnswer msgBox(const MsgBoxRequest& request) = 0;

    // Asks for a file to open; answers the chosen full path, or an empty text
    // when the user cancelled.
    virtual QString openFile(const FileOpenRequest& request) = 0;

    // Shows a window modally and returns when it is closed or hidden.
    virtual void showModal(QDialog& window) = 0;
};

} // namespace dexlan
