#pragma once

#include <QString>

namespace dexlan {

// Button sets, icons and answer codes of the program's message boxes. The answer
// codes are the classic Windows ones because routines share and compare them.
enum class MsgButtons { Ok, OkCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };

enum MsgAnswer : int {
    AnswerOk = 1,
    AnswerCancel = 2,
    AnswerRetry = 4,
    AnswerYes = 6,
    AnswerNo = 7,
};

struct MsgBoxRequest {
    QString prompt;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = AnswerOk; // an answer code of one of the buttons
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
