// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/roster_messages.h"

#include "platform/line_break.h"
#include "platform/system_code_page.h"
#include "roster/core/history_file.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

namespace dexlan {

namespace {

const QString kTwice = kCrLf + kCrLf;

} // namespace

MsgBoxRequest createFolderQuestion(const QString& errorText, const QString& historyFolder) {
    return {errorText + kTwice + historyFolder + kTwice +
                QCoreApplication::translate("RosterMessages",
                                            "The history file location you have selected does not "
                                            "exist.  Do you wish to create it?"),
            MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes,
            QCoreApplication::translate("RosterMessages", " Warning...")};
}

MsgBoxRequest cannotReadReport(const QString& errorText, const QString& historyFolder) {
    return {errorText + kTwice +
                QCoreApplication::translate(
                    "RosterMessages", "The program cannot read history files at this location: ") +
                kTwice + historyFolder,
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", "Warning...")};
}

QString unreadableFilesText(const std::vector<UnreadableFile>& files) {
    // A folder full of damaged files must not give a message taller than the screen.
    constexpr size_t kNamed = 10;
    QStringList lines;
    for (size_t i = 0; i < files.size() && i < kNamed; ++i) {
        const UnreadableFile& file = files[i];
        lines.append(
            file.errorText.isEmpty()
                ? QCoreApplication::translate("RosterMessages", "The history file %1 is empty.")
                      .arg(file.fileName)
                : QCoreApplication::translate("RosterMessages",
                                              "The history file %1 cannot be read: %2.")
                      .arg(file.fileName, file.errorText));
    }
    if (files.size() > kNamed)
        lines.append(
            QCoreApplication::translate("RosterMessages", "%1 more history files cannot be read.")
                .arg(files.size() - kNamed));
    return lines.join(kCrLf);
}

QString readingUsersText(qint64 read, qint64 total) {
    // Thousands grouped with commas, whatever the locale, as every other text
    // of the program is English.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return QCoreApplication::translate("RosterMessages", "Reading users\u2026 %1 of %2")
        .arg(english.toString(read), english.toString(total));
}

MsgBoxRequest duplicateNameReport(const QString& name) {
    return {QCoreApplication::translate("RosterMessages",
                                        "You already have a person namded  '%1'  in the list.  Two "
                                        "people with the same name would really be confusing!")
                .arg(name),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", "Sorry...")};
}

MsgBoxRequest unstorableNameReport(const QString& name, UnstorableReason reason,
                                   const CodePage& codePage) {
    QString why;
    QString again =
        QCoreApplication::translate("RosterMessages", "Please type the name again without it.");
    switch (reason) {
    case UnstorableReason::ControlCharacter:
        why = QCoreApplication::translate(
            "RosterMessages", "The name contains a line break or another control character.");
        break;
    case UnstorableReason::OutsideCodePage:
        why = QCoreApplication::translate("RosterMessages",
                                          "The name contains a character that the Dexlan Trainer "
                                          "cannot store in a history file.") +
              QLatin1Char(' ') +
              QCoreApplication::translate("RosterMessages", "(Code page in use: %1.)")
                  .arg(codePageName(codePage));
        break;
    case UnstorableReason::TooLong:
        why = QCoreApplication::translate("RosterMessages",
                                          "The name is longer than %1 characters, the most a "
                                          "history file holds.")
                  .arg(kMaxNameLength);
        again = QCoreApplication::translate("RosterMessages", "Please type a shorter name.");
        break;
    }
    return {why + kTwice + name + kTwice + again, MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", "Sorry...")};
}

MsgBoxRequest addFolderQuestion(const QString& historyFolder) {
    return {
        historyFolder + kTwice +
            QCoreApplication::translate(
                "RosterMessages",
                "The file location you have selected does not exist.  Do you wish to create it?"),
        MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes,
        QCoreApplication::translate("RosterMessages", " You cannot add names to this location...")};
}

MsgBoxRequest cannotSaveReport(const QString& errorText, const QString& path) {
    return {errorText + kTwice + path + kTwice +
                QCoreApplication::translate(
                    "RosterMessages", "The program cannot save your history file as shown above."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", " Sorry...")};
}

QString numbersUsedUpText() {
    return QCoreApplication::translate("RosterMessages", "Every user number is in use.");
}

MsgBoxRequest deleteQuestion(const QString& name) {
    return {QCoreApplication::translate("RosterMessages",
                                        "You are about to erase the name and all records for %1.  "
                                        "Do you really want to do that?")
                .arg(name),
            MsgButtons::OkCancel, MsgIcon::Question, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", "Delete name...")};
}

MsgBoxRequest replacedFileReport(const QString& listedName, const QString& nameNow,
                                 const QString& path) {
    const QString now =
        nameNow.isEmpty()
            ? QCoreApplication::translate("RosterMessages", "it holds no name now.")
            : QCoreApplication::translate("RosterMessages", "it now holds the name %1.")
                  .arg(nameNow);
    return {QCoreApplication::translate("RosterMessages",
                                        "The history file %1 no longer belongs to %2:  %3")
                    .arg(path, listedName, now) +
                kTwice +
                QCoreApplication::translate("RosterMessages",
                                            "Nothing has been erased.  The user list now shows the "
                                            "names found in the history files."),
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", "Sorry...")};
}

MsgBoxRequest cannotDeleteReport(const QString& errorText, const QString& deletePath) {
    return {
        errorText + kTwice +
            QCoreApplication::translate("RosterMessages", "The program cannot kill the file: ") +
            deletePath,
        MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
        QCoreApplication::translate("RosterMessages", "Sorry...")};
}

MsgBoxRequest noUserNumberReport(const QString& name) {
    return {QCoreApplication::translate("RosterMessages",
                                        "The history file of %1 carries no user number, so the "
                                        "program cannot tell which file to kill.")
                    .arg(name) +
                kTwice + QCoreApplication::translate("RosterMessages", "Nothing was deleted."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", "Sorry...")};
}

MsgBoxRequest rosterBusyReport(const QString& historyFolder) {
    return {QCoreApplication::translate("RosterMessages",
                                        "Another copy of the program is changing the user list "
                                        "at this location: ") +
                kTwice + historyFolder + kTwice +
                QCoreApplication::translate("RosterMessages",
                                            "Nothing was changed. Please try again in a moment."),
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok,
            QCoreApplication::translate("RosterMessages", "Sorry...")};
}

} // namespace dexlan
