// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/closing_rules.h"
#include "platform/line_break.h"

#include <QCoreApplication>

namespace dexlan {

bool networkLocationCheckApplies(const OptionLines& optionLines) {
    return optionLines[EntryInstallation] == values::kNetwork &&
           optionLines[EntryHistoryMode] == values::kHistAuto;
}

std::optional<MsgBoxRequest> networkLocationWarning(const OptionLines& optionLines) {
    if (!networkLocationCheckApplies(optionLines) ||
        optionLines[EntryHistoryLocation] != values::kHistHome)
        return std::nullopt;
    static const char* const parts[] = {
        QT_TRANSLATE_NOOP("ClosingRules", "You have selected:"),
        QT_TRANSLATE_NOOP("ClosingRules", "        Network server"),
        QT_TRANSLATE_NOOP("ClosingRules", "        History files stored automatically on server"),
        QT_TRANSLATE_NOOP("ClosingRules",
                          "        Drive letter or location for history files (none)"),
        QT_TRANSLATE_NOOP("ClosingRules",
                          "You did not specify a drive letter or location for the history files.  "
                          "Please select the History Files tab above, specify a location for "
                          "storing these files on the server, and then exit the program."),
        QT_TRANSLATE_NOOP("ClosingRules", "If you do not specify a location, a single history file "
                                          "will be saved in the same location as the program."),
        QT_TRANSLATE_NOOP("ClosingRules", "Do you wish to exit now?"),
    };
    QString prompt;
    for (const char* part : parts)
        prompt += QCoreApplication::translate("ClosingRules", part) + kCrLf + kCrLf;
    return MsgBoxRequest{
        prompt, MsgButtons::OkCancel, MsgIcon::Question, MsgAnswer::Cancel,
        QCoreApplication::translate("ClosingRules", "History file location not specified...")};
}

} // namespace dexlan
