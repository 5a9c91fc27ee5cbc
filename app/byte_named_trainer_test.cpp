// SPDX-License-Identifier: GPL-3.0-or-later
// A trainer folder whose name is not UTF-8 (a Latin-1 "é" is the lone byte
// 0xE9) is administered like any other, from the command line and through
// the functions the window uses, and shown with U+FFFD for the byte.
#include "app/admin_command_line.h"
#include "app/startup_messages.h"
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "options_window/summary_text.h"
#include "platform/file_names.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_test_files.h"
#include "testing/linux_only.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QDir>
#include <QTextStream>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::TestFolder;

const QDateTime kNow = QDateTime(QDate(2026, 12, 10), QTime(11, 42), QTimeZone::utc());

const QByteArray& kOptions = testing::kTrainersOwnLinesOptions;

using testing::userFile;

// A trainer in a folder named "tr\xe9", with Ann in 1HIST.DX and Eve in a
// file whose name holds a byte that is no text either.
struct Latin1Trainer {
    Latin1Trainer() {
        testing::makeFolderBytesNamed(folderBytes);
        testing::writeBytesNamed(folderBytes + kTrainerExecutable, "stand-in");
        testing::writeBytesNamed(folderBytes + kOptionsFileName, kOptions);
        testing::writeBytesNamed(folderBytes + "1HIST.DX", userFile("Ann"));
        testing::writeBytesNamed(folderBytes + "5\xffHIST.DX", userFile("Eve"));
    }
    QByteArray options() const { return testing::readBytesNamed(folderBytes + kOptionsFileName); }
    // As main() hands it over from the command line's bytes.
    QString folder() const { return pathFromSystem(folderBytes); }
    // As a person sees it.
    QString shown() const { return shownPath(folder()); }

    TestFolder test;
    QByteArray folderBytes = testing::systemPath(test, "tr\xe9/");
};

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

Ran administer(const Latin1Trainer& trainer, AdminRequest request) {
    request.trainer = trainer.folder();
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QBuffer input;
    input.open(QIODevice::ReadOnly);
    const int status = runAdministration(request, outStream, errStream, input, kNow);
    return {status, out, err};
}

// Nothing printed may hold an escape: a terminal would show '?' or garbage.
void expectOnlyText(const Ran& ran) {
    EXPECT_EQ(shownPath(ran.out), ran.out);
    EXPECT_EQ(shownPath(ran.err), ran.err);
}

TEST(ByteNamedTrainer, CommandLineListsSavesShowsDeletesAndRestores) {
    DEXLAN_LINUX_ONLY("folder names that are not UTF-8 are made only there");
    const Latin1Trainer trainer;
    ASSERT_TRUE(trainer.shown().endsWith(QStringLiteral("tr\uFFFD/")));

    AdminRequest list;
    list.listUsers = true;
    Ran ran = administer(trainer, list);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, QStringLiteral("1\tAnn\n5\tEve\n"));
    EXPECT_EQ(ran.err, QString());

    AdminRequest set;
    set.settings = {QStringLiteral("sounds=beep")};
    ran = administer(trainer, set);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(trainer.options().contains("\r\nsfx beep\r\n"));
    expectOnlyText(ran);

    AdminRequest show;
    show.show = true;
    ran = administer(trainer, show);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.out.contains(trainer.shown() + QLatin1String(kOptionsFileName) + "\n"))
        << ran.out.toStdString();
    expectOnlyText(ran);

    AdminRequest remove;
    remove.deleteUsers = {QStringLiteral("Eve")};
    ran = administer(trainer, remove);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_FALSE(testing::existsBytesNamed(trainer.folderBytes + "5\xffHIST.DX"));
    AdminRequest restore;
    restore.restoreUsers = {QStringLiteral("Eve")};
    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(testing::readBytesNamed(trainer.folderBytes + "5HIST.DX"), userFile("Eve"));
}

TEST(ByteNamedTrainer, WindowFindsReadsSavesAndShowsTheFolder) {
    DEXLAN_LINUX_ONLY("folder names that are not UTF-8 are made only there");
    const Latin1Trainer trainer;
    SharedState state;
    state.pathPolicy = PathPolicy::posix();
    // Named without its trailing separator, and by its program file.
    const QString named = trainer.folder().chopped(1);
    const std::optional<QString> folder = namedTrainerFolder(named, state.pathPolicy);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(pathToSystem(*folder), trainer.folderBytes);
    EXPECT_EQ(namedTrainerFolder(trainer.folder() + kTrainerExecutable, state.pathPolicy), folder);
    EXPECT_TRUE(fileExists(*folder + kTrainerExecutable));
    {
        // Named from the folder it lies in, as typed in a shell.
        const QString before = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(trainer.test.path()));
        const std::optional<QString> relative =
            namedTrainerFolder(pathFromSystem("tr\xe9"), state.pathPolicy);
        QDir::setCurrent(before);
        EXPECT_EQ(relative, folder);
    }

    state.programFolder = *folder;
    ScriptedDialogs dialogs;
    const std::optional<LoadedWindowValues> loaded = readOptionsFile(state, dialogs);
    ASSERT_TRUE(loaded.has_value()) << "no missing-file report";
    copyOptionLines(state);
    EXPECT_EQ(state.optionLines[EntrySounds], "sfx all");

    state.optionLines[EntrySounds] = "sfx none";
    dialogs.answerNextBox(MsgAnswer::Yes); // save the changes?
    EXPECT_TRUE(saveOptionsFile(state, dialogs, loaded->locationBoxText).has_value());
    EXPECT_TRUE(trainer.options().contains("\r\nsfx none\r\n"));
    EXPECT_EQ(state.fileOptionLines[EntrySounds], "sfx none");

    const std::optional<SummaryTexts> summary = summaryTexts(state.optionLines, *folder);
    ASSERT_TRUE(summary.has_value());
    EXPECT_EQ(summary->programLocation.path, trainer.shown());
}

} // namespace
} // namespace dexlan
