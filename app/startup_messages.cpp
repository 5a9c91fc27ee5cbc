// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_messages.h"

#include <QCoreApplication>

namespace dexlan {

MsgBoxRequest anotherCopyQuestion() {
    return {QCoreApplication::translate("StartupMessages",
                                        "The Corvantis Dexlan Options 4 program is already "
                                        "running. \r\n"
                                        "Do you wish to start ANOTHER copy of the program?"),
            MsgButtons::YesNo, MsgIcon::Critical, MsgAnswer::No,
            QCoreApplication::translate("StartupMessages", "Sorry...")};
}

MsgBoxRequest locateTrainerRefusal() {
    return {QCoreApplication::translate(
                "StartupMessages",
                "You must select the correct location of the Corvantis Dexlan Training 4 program "
                "before you can view or modify the program options."),
            MsgButtons::RetryCancel, MsgIcon::Critical, MsgAnswer::Retry,
            QCoreApplication::translate("StartupMessages", "Sorry...")};
}

} // namespace dexlan
