// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/closing_rules.h"
#include "platform/line_break.h"

namespace dexlan {

namespace {}

bool networkLocationCheckApplies(const OptionLines& optionLines) {
    return optionLines[EntryInstallation] == values::kNetwork &&
           optionLines[EntryHistoryMode] == values::kHistAuto;
}

std::optional<MsgBoxRequest> networkLocationWarning(const OptionLines& optionLines) {
    if (!networkLocationCheckApplies(optionLines) ||
        optionLines[EntryHistoryLocation] != values::kHistHome)
        return std::nullopt;
    const char* parts[] = {
        "You have selected:",
        "        Network server",
        "        History files stored automatically on server",
        "        Drive letter or location for history files (none)",
        "You did not specify a drive letter or location for the history files.  Please select the "
        "History Files tab above, specify a location for storing these files on the server, and "
        "then exit the program.",
        "If you do not specify a location, a single history file will be saved in the same "
        "location as the program.",
        "Do you wish to exit now?",
    };
    QString prompt;
    for (const char* part : parts)
        prompt += QLatin1String(part) + kCrLf + kCrLf;
    return MsgBoxRequest{prompt, MsgButtons::OkCancel, MsgIcon::Question, MsgAnswer::Cancel,
                         QStringLiteral("History file location not specified...")};
}

} // namespace dexlan
