// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;
class QTextStream;

namespace dexlan {

// What an administrator asks of the command line: settings and the roster of
// one trainer, without a window. Everything is done with the rules the windows
// follow.
struct AdminRequest {
    QString trainer;          // the trainer's folder or program file
    bool show = false;        // --show
    QStringList settings;     // --set KEY=VALUE, in order
    bool listUsers = false;   // --list-users
    QStringList addUsers;     // --add-users FILE ("-": standard input)
    QStringList deleteUsers;  // --delete-user NAME
    QStringList restoreUsers; // --restore-user NAME

    bool any() const {
        return show || !settings.isEmpty() || listUsers || !addUsers.isEmpty() ||
               !deleteUsers.isEmpty() || !restoreUsers.isEmpty();
    }
};

// One --set: the entry it changes and the value it stores; for the location,
// the text as typed into the location box.
struct AdminSetting {
    int entry = 0;
    QByteArray value;     // for every entry but the location
    QString locationText; // for the location; empty: the trainer's own folder
};

// The setting a KEY=VALUE stands for, or nothing when the key or the value is
// not one of those --help lists.
std::optional<AdminSetting> parseAdminSetting(const QString& keyAndValue);

// The help's lines on --set: each key with its values.
QString adminSettingKeysText();

// Carries out the request: settings first (saved once, safely), then the
// deletions, restorations and additions, then the listings. Reports go to out,
// every message to err. Answers the exit status: 0 when everything was done, 1
// when anything was refused.
int runAdministration(const AdminRequest& request, QTextStream& out, QTextStream& err,
                      QIODevice& standardInput, const QDateTime& now);

} // namespace dexlan
