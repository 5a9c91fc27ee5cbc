// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/held_names_messages.h"

#include "platform/line_break.h"
#include "roster/core/held_names.h"

#include <QCoreApplication>
#include <QStringList>

namespace dexlan {

namespace {

const QString kTwice = kCrLf + kCrLf;

} // namespace

QString cannotBeUndoneText(const QString& name) {
    return QCoreApplication::translate(
               "HeldNamesMessages",
               "The name %1 cannot be kept for restoring, so this deletion cannot be undone.")
        .arg(name);
}

MsgBoxRequest cannotHoldQuestion(const QString& errorText, const QString& name) {
    return {errorText + kTwice + cannotBeUndoneText(name) + kTwice +
                QCoreApplication::translate(
                    "HeldNamesMessages", "Do you wish to erase the name and all records for good?"),
            MsgButtons::OkCancel, MsgIcon::Exclamation, MsgAnswer::Cancel,
            QCoreApplication::translate("HeldNamesMessages", "Delete name...")};
}

MsgBoxRequest restoredUnderOtherNumberReport(const QString& name, int oldNumber, int newNumber) {
    // All arguments in one arg(), so that a name holding "%2" stays as it is.
    return {QCoreApplication::translate(
                "HeldNamesMessages",
                "The number %1 of %2 has been given to another user since %2 was deleted.")
                    .arg(QString::number(oldNumber), name) +
                kTwice +
                QCoreApplication::translate("HeldNamesMessages",
                                            "%1 is back in the user list under the number %2.")
                    .arg(name, QString::number(newNumber)),
            MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok,
            QCoreApplication::translate("HeldNamesMessages", "Restore deleted names...")};
}

MsgBoxRequest noLongerHeldReport(const QString& name) {
    return {QCoreApplication::translate(
                "HeldNamesMessages",
                "%1 is no longer among the deleted names: another copy of the program has "
                "restored or erased it.")
                .arg(name),
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok,
            QCoreApplication::translate("HeldNamesMessages", "Sorry...")};
}

MsgBoxRequest cannotRestoreReport(const QString& errorText, const QString& path) {
    return {errorText + kTwice + path + kTwice +
                QCoreApplication::translate("HeldNamesMessages",
                                            "The program cannot restore this history file."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
            QCoreApplication::translate("HeldNamesMessages", " Sorry...")};
}

MsgBoxRequest eraseHeldQuestion(const QString& name) {
    return {QCoreApplication::translate(
                "HeldNamesMessages",
                "You are about to erase the name and all records for %1 for good.  This cannot be "
                "undone.  Do you really want to do that?")
                .arg(name),
            MsgButtons::OkCancel, MsgIcon::Exclamation, MsgAnswer::Cancel,
            QCoreApplication::translate("HeldNamesMessages", "Erase now...")};
}

MsgBoxRequest erasedAtStartReport(const std::vector<HeldName>& erased) {
    QStringList lines;
    for (const HeldName& held : erased)
        lines.append(QCoreApplication::translate("HeldNamesMessages", "%1, deleted on %2")
                         .arg(held.name, shownDeletionTime(held.deletedAt)));
    return {QCoreApplication::translate("HeldNamesMessages",
                                        "These deleted names were kept %1 days and are now erased "
                                        "for good:")
                    .arg(kHeldDays) +
                kTwice + lines.join(kCrLf),
            MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok,
            QCoreApplication::translate("HeldNamesMessages", "Restore deleted names...")};
}

QString keptForText(bool noneHeld) {
    // One sentence group, so that a translation may join them as its language does.
    return (noneHeld ? QCoreApplication::translate(
                           "HeldNamesMessages",
                           "Deleted names are kept here for %1 days.  After that they are erased "
                           "when the program next starts.  No deleted names are held now.")
                     : QCoreApplication::translate(
                           "HeldNamesMessages",
                           "Deleted names are kept here for %1 days.  After that they are erased "
                           "when the program next starts."))
        .arg(kHeldDays);
}

} // namespace dexlan
