// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/held_names_messages.h"

#include "platform/line_break.h"
#include "roster/held_names.h"

namespace dexlan {

namespace {

const QString kTwice = kCrLf + kCrLf;

} // namespace

QString cannotBeUndoneText(const QString& name) {
    return QStringLiteral("The name ") + name +
           QStringLiteral(" cannot be kept for restoring, so this deletion cannot be undone.");
}

MsgBoxRequest cannotHoldQuestion(const QString& errorText, const QString& name) {
    return {errorText + kTwice + cannotBeUndoneText(name) + kTwice +
                QStringLiteral("Do you wish to erase the name and all records for good?"),
            MsgButtons::OkCancel, MsgIcon::Exclamation, MsgAnswer::Cancel,
            QStringLiteral("Delete name...")};
}

MsgBoxRequest restoredUnderOtherNumberReport(const QString& name, int oldNumber, int newNumber) {
    return {QStringLiteral("The number %1 of %2 has been given to another user since %2 was "
                           "deleted.")
                    .arg(oldNumber)
                    .arg(name) +
                kTwice +
                QStringLiteral("%1 is back in the user list under the number %2.")
                    .arg(name)
                    .arg(newNumber),
            MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok,
            QStringLiteral("Restore deleted names...")};
}

MsgBoxRequest noLongerHeldReport(const QString& name) {
    return {name + QStringLiteral(" is no longer among the deleted names: another copy of the "
                                  "program has restored or erased it."),
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, QStringLiteral("Sorry...")};
}

MsgBoxRequest cannotRestoreReport(const QString& errorText, const QString& path) {
    return {errorText + kTwice + path + kTwice +
                QStringLiteral("The program cannot restore this history file."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral(" Sorry...")};
}

MsgBoxRequest eraseHeldQuestion(const QString& name) {
    return {QStringLiteral("You are about to erase the name and all records for ") + name +
                QStringLiteral(" for good.  This cannot be undone.  Do you really want to do "
                               "that?"),
            MsgButtons::OkCancel, MsgIcon::Exclamation, MsgAnswer::Cancel,
            QStringLiteral("Erase now...")};
}

QString keptForText() {
    return QStringLiteral("Deleted names are kept here for %1 days.  After that they are erased "
                          "when the program next starts.")
        .arg(kHeldDays);
}

} // namespace dexlan
