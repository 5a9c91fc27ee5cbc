// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup_messages.h"

#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

bool fileExists(const QString& path) {
    const PathStatus info(path);
    return info.isFile() && !info.isHidden();
}

std::optional<QString> namedTrainerFolder(const QString& named, const PathPolicy& policy) {
    const QString absolute = absolutePathOf(named);
    const QString executable = QLatin1String(kTrainerExecutable);
    QString folder;
    if (PathStatus(named).isDir())
        folder = absolute;
    else if (named.endsWith(executable, Qt::CaseSensitive))
        folder = absolute.chopped(executable.size());
    if (folder.isEmpty())
        return std::nullopt;
    folder = policy.withTrailingSeparator(QDir::toNativeSeparators(folder));
    if (!fileExists(folder + executable))
        return std::nullopt;
    return folder;
}

} // namespace dexlan
