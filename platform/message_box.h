// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dexlan {

// Button sets, icons and answers of the program's message boxes.
enum class MsgButtons { Ok, OkCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };

enum class MsgAnswer { Ok, Cancel, Retry, Yes, No };

struct MsgBoxRequest {
    QString prompt;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    MsgAnswer defaultButton = MsgAnswer::Ok; // one of the buttons
    QString title;

    friend bool operator==(const MsgBoxRequest&, const MsgBoxRequest&) = default;
};

struct FileOpenRequest {
    QString title;
    QString defaultExtension; // with its dot, ".exe"
    QString filter;           // "Description (*pattern)"
    QString fileName;         // the file name the dialog starts with
    QString folder;           // where it opens when it has no file name
};

} // namespace dexlan
