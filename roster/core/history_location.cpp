// SPDX-License-Identifier: GPL-3.0-or-later
// Where the history files lie: the location as typed, stored and shown, and
// the checks and creation of the folder.

#include "roster/core/history_folder.h"

#include "options_file/option_lines.h"
#include "options_file/options_file.h"
#include "platform/code_page.h"
#include "platform/file_names.h"
#include "roster/core/history_folder_detail.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>

namespace dexlan {

using namespace folder_detail;

bool isWindowsOnlyLocation(const QString& location, const PathPolicy& policy) {
    if (policy.separator == QLatin1Char('\\'))
        return false;
    if (location.contains(QLatin1Char('\\')))
        return true;
    return location.size() >= 2 && location.at(1) == QLatin1Char(':') &&
           ((location.at(0) >= QLatin1Char('A') && location.at(0) <= QLatin1Char('Z')) ||
            (location.at(0) >= QLatin1Char('a') && location.at(0) <= QLatin1Char('z')));
}

QString windowsOnlyLocationText() {
    return QCoreApplication::translate("HistoryFolder",
                                       "This location names a Windows drive or network share, "
                                       "which cannot be reached from this computer.");
}

QString colonInFolderNameText() {
    return QCoreApplication::translate("HistoryFolder", "A folder name cannot contain a colon.");
}

QString normalisedLocation(const QString& typed, const PathPolicy& policy) {
    // "hist home" is the options file's marker for the trainer's own folder,
    // never the name of a folder to look in or to create.
    if (typed == QLatin1String(values::kHistHome))
        return {};
    if (isWindowsOnlyLocation(typed, policy))
        return typed;
    // Windows takes both separators, but one mixed "a/b/\\" is no way to show
    // a folder, nor to store it for the trainer.
    const QString separated = policy.separator == QLatin1Char('\\')
                                  ? QString(typed).replace(QLatin1Char('/'), QLatin1Char('\\'))
                                  : typed;
    return policy.locationCase(policy.withTrailingSeparator(separated));
}

QString resolvedHistoryFolder(const QString& historyFolder, const QString& programFolder,
                              const PathPolicy& policy) {
    const QString program = policy.withTrailingSeparator(programFolder);
    if (historyFolder.isEmpty())
        return program;
    bool absolute = isSeparator(historyFolder.at(0));
    if (policy.separator == QLatin1Char('\\') && historyFolder.size() >= 2 &&
        historyFolder.at(1) == QLatin1Char(':'))
        absolute = true;
    const QString folder = policy.withTrailingSeparator(historyFolder);
    return absolute ? folder : program + folder;
}

QString reachableHistoryFolder(const SharedState& state) {
    if (isWindowsOnlyLocation(state.historyFolder, state.pathPolicy))
        return {};
    return resolvedHistoryFolder(state.historyFolder, state.programFolder, state.pathPolicy);
}

QString shownHistoryFolder(const SharedState& state) {
    return state.historyFolder.isEmpty() ? state.programFolder : state.historyFolder;
}

FileError probeFolder(const QString& folder) {
    if (holdsControlCharacter(folder))
        return otherFailure(controlCharacterInLocationText());
    // A user's own file "xxxx" must survive the check: the probe has a random,
    // hidden name and is only ever created, never opened over something else.
    QString lastError;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString path = folder + QLatin1String(".xxxx-probe-") +
                             QString::number(QRandomGenerator::global()->generate64(), 16);
        QFile probe;
        if (openPath(probe, path, QIODevice::WriteOnly | QIODevice::NewOnly, &lastError)) {
            probe.close();
            removePath(path);
            return FileError::ok();
        }
        if (!existsAsAnything(path))
            return failureIn(folder, lastError);
    }
    return otherFailure(lastError);
}

FileError createHistoryFolder(const QString& folder) {
    if (holdsControlCharacter(folder))
        return otherFailure(controlCharacterInLocationText());
    const QString path = withoutTrailingSeparator(folder);
    const QString last = path.mid(fileNameAt(path));
    if (last.isEmpty() || last == QLatin1String(".") || last == QLatin1String(".."))
        return otherFailure(posixErrorText(EEXIST));
    if (!colonAllowedInNames() && last.contains(QLatin1Char(':')))
        return otherFailure(colonInFolderNameText());
    const MadeFolder made = makeFolder(path);
    if (made.made)
        return FileError::ok();
    return {made.parentMissing ? FileError::FolderMissing : FileError::Other, made.errorText};
}

} // namespace dexlan
