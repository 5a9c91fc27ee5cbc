// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_file/options_dialogue.h"

#include "options_file/option_lines.h"
#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/line_break.h"
#include "platform/regular_file.h"

#include <QCoreApplication>

namespace dexlan {

MsgBoxRequest missingFileReport() {
    return {
        QCoreApplication::translate(
            "OptionsDialogue",
            "There is no Corvantis Options 4.ini file at this location.  This file must be present "
            "for the Corvantis Dexlan Options 4 program to view or change ini settings."),
        MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
        QCoreApplication::translate("OptionsDialogue", "Sorry...")};
}

MsgBoxRequest lineTooLongReport(int line) {
    return {
        QCoreApplication::translate(
            "OptionsDialogue",
            "Line %1 of the Dexlan4.ini file is too long to be read.  This file must be corrected "
            "for the Corvantis Dexlan Options 4 program to view or change ini settings.")
            .arg(line),
        MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
        QCoreApplication::translate("OptionsDialogue", "Sorry...")};
}

MsgBoxRequest checkReport(const QByteArray& offendingLine, const QString& message,
                          const CodePage& codePage) {
    return {
        fromCodePage(offendingLine, codePage) + kCrLf + kCrLf + message + kCrLf + kCrLf +
            QCoreApplication::translate("OptionsDialogue", "Do you wish to use default settings?"),
        MsgButtons::OkCancel, MsgIcon::Critical, MsgAnswer::Ok,
        QCoreApplication::translate("OptionsDialogue", "Oops...")};
}

MsgBoxRequest updateQuestion() {
    return {
        QCoreApplication::translate(
            "OptionsDialogue", "You have selected new options for the Corvantis Dexlan Program.") +
            kCrLf + kCrLf +
            QCoreApplication::translate("OptionsDialogue",
                                        "Do you wish to update the program ini file?"),
        MsgButtons::YesNo, MsgIcon::Information, MsgAnswer::Yes,
        QCoreApplication::translate("OptionsDialogue", "Corvantis Dexlan Program options...")};
}

MsgBoxRequest changedOnDiskQuestion() {
    return {QCoreApplication::translate(
                "OptionsDialogue", "The Dexlan4.ini file has been changed by another program or "
                                   "user since the Corvantis Dexlan Options 4 program read it.") +
                kCrLf + kCrLf +
                QCoreApplication::translate("OptionsDialogue",
                                            "Do you wish to replace it with your options?  The "
                                            "changes made meanwhile will be lost."),
            MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::No,
            QCoreApplication::translate("OptionsDialogue", "Warning...")};
}

MsgBoxRequest saveErrorReport(const QString& errorText) {
    return {errorText + kCrLf + kCrLf +
                QCoreApplication::translate("OptionsDialogue", "Can't save the Dexlan4.ini file"),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
            QCoreApplication::translate("OptionsDialogue", "Sorry...")};
}

std::optional<LoadedWindowValues> readOptionsFile(SharedState& state, Dialogs& dialogs) {
    const LoadResult loaded =
        parseOptionsFile(state.programFolder + QLatin1String(kOptionsFileName));
    if (loaded.outcome == LoadOutcome::CheckFailed) {
        const MsgAnswer answer = dialogs.msgBox(
            checkReport(loaded.offendingLine, loaded.checkMessage, state.codePage()));
        if (answer != MsgAnswer::Ok)
            return std::nullopt;
    }
    if (loaded.outcome == LoadOutcome::LineTooLong) {
        dialogs.msgBox(lineTooLongReport(loaded.longLine));
        return std::nullopt;
    }
    if (loaded.outcome != LoadOutcome::Loaded) {
        dialogs.msgBox(missingFileReport());
        return std::nullopt;
    }
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry)
        state.fileOptionLines[entry] = loaded.lines[entry];
    state.fileDigest = loaded.digest;
    const QByteArray& location = state.fileOptionLines[EntryHistoryLocation];
    LoadedWindowValues window;
    if (location != values::kHistHome)
        window.locationBoxText = fromCodePage(location, state.codePage());
    window.installationCaption = installationCaption(state.fileOptionLines[EntryInstallation]);
    window.linesAsRead = loaded.linesAsRead;
    state.historyFolder = historyFolderFromEntry(location, state.pathPolicy);
    return window;
}

void copyOptionLines(SharedState& state) {
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry)
        state.optionLines[entry] = state.fileOptionLines[entry];
}

std::optional<QString> saveOptionsFile(SharedState& state, Dialogs& dialogs,
                                       const QString& locationText) {
    const bool changed = optionsChanged(state.optionLines, state.fileOptionLines);
    if (changed) {
        const MsgAnswer answer = dialogs.msgBox(updateQuestion());
        if (answer != MsgAnswer::Yes)
            return std::nullopt;
    }
    const std::optional<SavedLocation> location =
        locationForSaving(locationText, state.programFolder, state.pathPolicy);
    if (!location) {
        dialogs.msgBox(saveErrorReport(locationRefusal(locationText, state.pathPolicy)));
        return std::nullopt;
    }
    const QString path = state.programFolder + QLatin1String(kOptionsFileName);
    // Another copy of the program, the trainer or an editor may have written the
    // file since it was read; rewriting it unasked would revert their work.
    if (regularFileDigest(path) != state.fileDigest) {
        if (!changed && location->entry5 == state.fileOptionLines[EntryHistoryLocation])
            return std::nullopt;
        const MsgAnswer answer = dialogs.msgBox(changedOnDiskQuestion());
        if (answer != MsgAnswer::Yes)
            return std::nullopt;
    }
    state.optionLines[EntryHistoryLocation] = location->entry5;

    const FileError error = writeOptionsFile(path, state.optionLines);
    if (error.failed()) {
        dialogs.msgBox(saveErrorReport(error.text));
        return location->boxText;
    }
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry)
        state.fileOptionLines[entry] = state.optionLines[entry];
    state.fileDigest = contentDigest(optionsFileBytes(state.optionLines));
    return location->boxText;
}

} // namespace dexlan
