// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_messages.h"

namespace dexlan {

MsgBoxRequest anotherCopyQuestion() {
    return {QStringLiteral("The Corvantis Dexlan Options 4 program is already running. \r\n"
                           "Do you wish to start ANOTHER copy of the program?"),
            MsgButtons::YesNo, MsgIcon::Critical, MsgAnswer::No, QStringLiteral("Sorry...")};
}

MsgBoxRequest locateTrainerRefusal() {
    return {QStringLiteral("You must select the correct location of the Corvantis Dexlan Training "
                           "4 program before you can view or modify the program options."),
            MsgButtons::RetryCancel, MsgIcon::Critical, MsgAnswer::Retry,
            QStringLiteral("Sorry...")};
}

} // namespace dexlan
