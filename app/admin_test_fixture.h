// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A trainer's folder in a test, and the administrator's command line run on
// it in the test's own process.

#include "app/admin_command_line.h"
#include "roster/core/held_names.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_test_files.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <map>

namespace dexlan::admin_test {

using testing::TestFolder;

inline const QDateTime kNow = QDateTime(QDate(2026, 12, 10), QTime(11, 42), QTimeZone::utc());

inline const QByteArray& kOptions = testing::kTrainersOwnLinesOptions;

using testing::userFile;

// A trainer's folder with its options file and the given users (number, name).
struct Trainer {
    explicit Trainer(std::initializer_list<std::pair<int, QByteArray>> users = {},
                     bool documentation = false) {
        folder.write("Corvantis Dexlan Trainer 4.exe", "stand-in");
        folder.write("Dexlan4.ini", kOptions);
        if (documentation)
            folder.write("defaultdx.html", "<html></html>");
        for (const auto& [number, name] : users)
            folder.write(newHistoryFileName(number), userFile(name));
    }
    TestFolder folder;
};

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

inline Ran administer(const Trainer& trainer, AdminRequest request, const QByteArray& input = {},
                      const QDateTime& now = kNow) {
    request.trainer = trainer.folder.path();
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QByteArray inputBytes = input;
    QBuffer inputDevice(&inputBytes);
    inputDevice.open(QIODevice::ReadOnly);
    const int status = runAdministration(request, outStream, errStream, inputDevice, now);
    return {status, out, err};
}

// The file system's record of when each held name was held, as if days ago.
inline void heldDaysAgo(const QString& historyFolder, double days) {
    for (const HeldName& held : listHeldNames(historyFolder))
        testing::heldDaysAgo(held.notePath, days);
}

// Every file under the trainer's folder with its bytes: what a command that
// must change nothing may not change.
inline std::map<QString, QByteArray> everything(const Trainer& trainer) {
    std::map<QString, QByteArray> files;
    for (const QString& name : testing::allNamesUnder(trainer.folder.path())) {
        const QString path = trainer.folder.file(name);
        files[name] = QFileInfo(path).isDir() ? QByteArray("<folder>") : trainer.folder.read(name);
    }
    return files;
}

// The single JSON document a run printed, or an empty object after a failure.
inline QJsonObject jsonOf(const Ran& ran) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(ran.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << ran.out.toStdString();
    EXPECT_TRUE(document.isObject());
    return document.object();
}

} // namespace dexlan::admin_test
