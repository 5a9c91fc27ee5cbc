// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/roster_messages.h"

#include "platform/line_break.h"

#include <QLocale>
#include <QStringList>

namespace dexlan {

namespace {

const QString kTwice = kCrLf + kCrLf;

} // namespace

MsgBoxRequest createFolderQuestion(const QString& errorText, const QString& historyFolder) {
    return {errorText + kTwice + historyFolder + kTwice +
                QStringLiteral("The history file location you have selected does not exist.  Do "
                               "you wish to create it?"),
            MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes, QStringLiteral(" Warning...")};
}

MsgBoxRequest cannotReadReport(const QString& errorText, const QString& historyFolder) {
    return {errorText + kTwice +
                QStringLiteral("The program cannot read history files at this location: ") +
                kTwice + historyFolder,
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, QStringLiteral("Warning...")};
}

QString unreadableFilesText(const std::vector<UnreadableFile>& files) {
    // A folder full of damaged files must not give a message taller than the screen.
    constexpr size_t kNamed = 10;
    QStringList lines;
    for (size_t i = 0; i < files.size() && i < kNamed; ++i) {
        const UnreadableFile& file = files[i];
        lines.append(file.errorText.isEmpty()
                         ? QStringLiteral("The history file %1 is empty.").arg(file.fileName)
                         : QStringLiteral("The history file %1 cannot be read: %2.")
                               .arg(file.fileName, file.errorText));
    }
    if (files.size() > kNamed)
        lines.append(
            QStringLiteral("%1 more history files cannot be read.").arg(files.size() - kNamed));
    return lines.join(kCrLf);
}

QString readingUsersText(qint64 read, qint64 total) {
    // Thousands grouped with commas, whatever the locale, as every other text
    // of the program is English.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return QStringLiteral("Reading users\u2026 %1 of %2")
        .arg(english.toString(read), english.toString(total));
}

MsgBoxRequest duplicateNameReport(const QString& name) {
    return {QStringLiteral("You already have a person namded  '") + name +
                QStringLiteral("'  in the list.  Two people with the same name would really be "
                               "confusing!"),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral("Sorry...")};
}

MsgBoxRequest unstorableNameReport(const QString& name, UnstorableReason reason) {
    const QString why =
        reason == UnstorableReason::ControlCharacter
            ? QStringLiteral("The name contains a line break or another control character.")
            : QStringLiteral("The name contains a character that the Dexlan Trainer cannot store "
                             "in a history file.");
    return {why + kTwice + name + kTwice + QStringLiteral("Please type the name again without it."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral("Sorry...")};
}

MsgBoxRequest addFolderQuestion(const QString& historyFolder) {
    return {historyFolder + kTwice +
                QStringLiteral("The file location you have selected does not exist.  Do you wish "
                               "to create it?"),
            MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes,
            QStringLiteral(" You cannot add names to this location...")};
}

MsgBoxRequest cannotSaveReport(const QString& errorText, const QString& path) {
    return {errorText + kTwice + path + kTwice +
                QStringLiteral("The program cannot save your history file as shown above."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral(" Sorry...")};
}

MsgBoxRequest deleteQuestion(const QString& name) {
    return {QStringLiteral("You are about to erase the name and all records for ") + name +
                QStringLiteral(".  Do you really want to do that?"),
            MsgButtons::OkCancel, MsgIcon::Question, MsgAnswer::Ok,
            QStringLiteral("Delete name...")};
}

MsgBoxRequest replacedFileReport(const QString& listedName, const QString& nameNow,
                                 const QString& path) {
    const QString now = nameNow.isEmpty()
                            ? QStringLiteral("it holds no name now.")
                            : QStringLiteral("it now holds the name ") + nameNow + QLatin1Char('.');
    return {QStringLiteral("The history file ") + path + QStringLiteral(" no longer belongs to ") +
                listedName + QStringLiteral(":  ") + now + kTwice +
                QStringLiteral("Nothing has been erased.  The user list now shows the names "
                               "found in the history files."),
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, QStringLiteral("Sorry...")};
}

MsgBoxRequest cannotDeleteReport(const QString& errorText, const QString& deletePath) {
    return {errorText + kTwice + QStringLiteral("The program cannot kill the file: ") + deletePath,
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral("Sorry...")};
}

MsgBoxRequest noUserNumberReport(const QString& name) {
    return {QStringLiteral("The history file of ") + name +
                QStringLiteral(" carries no user number, so the program cannot tell which file "
                               "to kill.") +
                kTwice + QStringLiteral("Nothing was deleted."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral("Sorry...")};
}

} // namespace dexlan
