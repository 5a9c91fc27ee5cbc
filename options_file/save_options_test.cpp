// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_file/options_dialogue.h"
#include "platform/atomic_file.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include "platform/file_error.h"

#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dexlan {
namespace {

using testing::TestFolder;

using testing::kElevenLineOptions;

class SaveOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state.programFolder = folder.path();
        state.pathPolicy = PathPolicy::posix();
        folder.write("Dexlan4.ini", kElevenLineOptions);
        ASSERT_TRUE(readOptionsFile(state, dialogs));
        copyOptionLines(state);
    }
    QByteArray onDisk() const { return folder.read("Dexlan4.ini"); }
    // Saves as the window does: the location box shows what the save answers.
    void save() {
        if (const std::optional<QString> text = saveOptionsFile(state, dialogs, box))
            box = *text;
    }

    TestFolder folder;
    SharedState state;
    ScriptedDialogs dialogs;
    QString box; // the history-location box
};

TEST_F(SaveOptionsTest, UnchangedOptionsAreWrittenWithoutAsking) {
    save();
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    EXPECT_EQ(onDisk(), kElevenLineOptions + "documents on\r\n") << "always twelve lines";
}

TEST_F(SaveOptionsTest, AChangeIsOfferedUntilSaved) {
    state.optionLines[EntrySounds] = "sfx none";
    const MsgBoxRequest question{
        "You have selected new options for the Corvantis Dexlan Program.\r\n\r\n"
        "Do you wish to update the program ini file?",
        MsgButtons::YesNo, MsgIcon::Information, MsgAnswer::Yes,
        "Corvantis Dexlan Program options..."};

    // No: nothing written, nothing changed, and the question comes again.
    box = "/srv/typed";
    dialogs.expectBox(question, MsgAnswer::No);
    save();
    EXPECT_EQ(onDisk(), kElevenLineOptions);
    EXPECT_EQ(state.optionLines[EntryHistoryLocation], "hist home");
    EXPECT_EQ(state.fileOptionLines[EntrySounds], "sfx all");

    dialogs.expectBox(question, MsgAnswer::Yes);
    save();
    EXPECT_TRUE(onDisk().contains("\r\n/srv/typed\r\n6\r\n"));
    EXPECT_TRUE(onDisk().endsWith("sfx none\r\ndocuments on\r\n"));
    EXPECT_EQ(state.fileOptionLines, state.optionLines);

    // Saved: the next save writes without asking.
    save();
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(dialogs.boxesShown.size(), 2);
}

TEST_F(SaveOptionsTest, TheLocationIsTakenAfterTheChangeTest) {
    // Only the box differs: no question, and the location is written.
    box = "/srv/dexlan";
    save();
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    EXPECT_EQ(state.fileOptionLines[EntryHistoryLocation], "/srv/dexlan");
}

// What someone else wrote after the file was read is not reverted: with nothing
// changed here the save writes nothing, and a change here asks first.
TEST_F(SaveOptionsTest, WhatOthersSavedMeanwhileIsKept) {
    const QByteArray theirs = QByteArray(kElevenLineOptions).replace("sfx all", "sfx beep");
    folder.write("Dexlan4.ini", theirs);

    // Nothing changed here.
    save();
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    EXPECT_EQ(onDisk(), theirs);

    // Changed here: the update question, then the warning; No writes nothing.
    state.optionLines[EntryManualAdvance] = "f2 off";
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    dialogs.expectBox(changedOnDiskQuestion(), MsgAnswer::No);
    save();
    EXPECT_EQ(onDisk(), theirs);
    EXPECT_EQ(state.optionLines[EntryManualAdvance], "f2 off");
    EXPECT_EQ(state.fileOptionLines[EntryManualAdvance], "f2 on");

    // Yes replaces it, and what was written is the new reference.
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    dialogs.expectBox(changedOnDiskQuestion(), MsgAnswer::Yes);
    save();
    EXPECT_TRUE(onDisk().contains("\r\nf2 off\r\nsfx all\r\ndocuments on\r\n"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
    save();
    EXPECT_EQ(dialogs.boxesShown.size(), 4) << "unchanged on both sides: written without asking";

    // A location typed into the box is a change too.
    folder.write("Dexlan4.ini", theirs);
    box = "/srv/typed";
    dialogs.expectBox(changedOnDiskQuestion(), MsgAnswer::No);
    save();
    EXPECT_EQ(onDisk(), theirs);
    EXPECT_EQ(box, "/srv/typed");
    EXPECT_EQ(state.optionLines[EntryHistoryLocation], "hist home");
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(SaveOptionsTest, TheSameBytesWrittenAgainAreNoChange) {
    folder.write("Dexlan4.ini", kElevenLineOptions); // rewritten, as by the trainer
    save();
    EXPECT_EQ(onDisk(), kElevenLineOptions + "documents on\r\n");
}

TEST_F(SaveOptionsTest, AFileRemovedMeanwhileIsNotMadeAgainUnasked) {
    QFile::remove(folder.file("Dexlan4.ini"));
    save();
    EXPECT_FALSE(QFile::exists(folder.file("Dexlan4.ini")));
    state.optionLines[EntrySounds] = "sfx none";
    dialogs.expectBox(updateQuestion(), MsgAnswer::Yes);
    dialogs.expectBox(changedOnDiskQuestion(), MsgAnswer::Yes);
    save();
    EXPECT_TRUE(onDisk().endsWith("sfx none\r\ndocuments on\r\n"));
}

TEST(ChangedOnDiskQuestion, IsAWarningThatDefaultsToNo) {
    const MsgBoxRequest question = changedOnDiskQuestion();
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.defaultButton, MsgAnswer::No);
    EXPECT_EQ(question.icon, MsgIcon::Exclamation);
    EXPECT_EQ(question.title, "Warning...");
    EXPECT_TRUE(question.prompt.contains("Dexlan4.ini"));
}

TEST(LocationForSaving, FollowsThePlatformPolicy) {
    struct Case {
        const char* what;
        PathPolicy policy;
        QString box;
        QString programFolder;
        QByteArray entry5;
        QString boxAfter;
    } cases[] = {
        {"empty box", PathPolicy::windows(), "", "C:\\TRAINER\\", "hist home", ""},
        {"drive letter", PathPolicy::windows(), "d", "C:\\TRAINER\\", "D:", "D"},
        {"folder", PathPolicy::windows(), "c:\\hist\\", "C:\\Trainer\\", "C:\\HIST\\",
         "C:\\HIST\\"},
        {"program folder", PathPolicy::windows(), "C:\\TRAINER\\", "C:\\Trainer\\", "hist home",
         "C:\\TRAINER\\"},
        {"program folder without its backslash", PathPolicy::windows(), "C:\\TRAINER",
         "C:\\Trainer\\", "C:\\TRAINER", "C:\\TRAINER"},
        {"case kept on Linux", PathPolicy::posix(), "/srv/Hist", "/opt/trainer/", "/srv/Hist",
         "/srv/Hist"},
        {"one letter is no drive on Linux", PathPolicy::posix(), "d", "/opt/trainer/", "d", "d"},
        {"program folder exactly", PathPolicy::posix(), "/opt/Trainer/", "/opt/Trainer/",
         "hist home", "/opt/Trainer/"},
        {"program folder in other case is another folder", PathPolicy::posix(), "/opt/TRAINER/",
         "/opt/Trainer/", "/opt/TRAINER/", "/opt/TRAINER/"},
        {"code page characters", PathPolicy::posix(), QString::fromUtf8("/srv/Élèves"),
         "/opt/trainer/", "/srv/\xc9l\xe8ves", QString::fromUtf8("/srv/Élèves")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto saved = locationForSaving(c.box, c.programFolder, c.policy);
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->entry5, c.entry5);
        EXPECT_EQ(saved->boxText, c.boxAfter);
    }
    EXPECT_FALSE(locationForSaving(QString::fromUtf8("/srv/Ωmega"), "/opt/", PathPolicy::posix()));
}

TEST_F(SaveOptionsTest, LocationOutsideTheCodePageIsNotWritten) {
    box = QString::fromUtf8("/srv/Ωmega");
    dialogs.answerNextBox(MsgAnswer::Ok);
    save();
    ASSERT_EQ(dialogs.boxesShown.size(), 1);
    EXPECT_EQ(dialogs.boxesShown.front().title, "Sorry...");
    EXPECT_TRUE(
        dialogs.boxesShown.front().prompt.endsWith("\r\n\r\nCan't save the Dexlan4.ini file"));
    EXPECT_EQ(onDisk(), kElevenLineOptions);
}

// Line 5 is written from the location box: a line break in it would give the
// trainer more lines than written, and a line past the reader's bound would
// lock this program out of its own file.
TEST_F(SaveOptionsTest, LocationTheFileCannotHoldIsRefusedAndNothingWritten) {
    const QString tooLong = QStringLiteral("/srv/") + QString(kMaxLineBytes, QLatin1Char('h'));
    const QString longText = QStringLiteral("The location is %1 characters long; the Dexlan4.ini "
                                            "file can hold at most %2.")
                                 .arg(tooLong.size())
                                 .arg(kMaxLineBytes);
    struct Case {
        const char* what;
        QString box;
        QString why;
    };
    const Case cases[] = {
        {"CR", QStringLiteral("/srv/h\rhist none"), controlCharacterInLocationText()},
        {"CR LF", QStringLiteral("/srv/h\r\nhist none/"), controlCharacterInLocationText()},
        {"LF", QStringLiteral("/srv/h\n"), controlCharacterInLocationText()},
        {"NUL", QStringLiteral("/srv/a") + QChar(0) + QStringLiteral("b/"),
         controlCharacterInLocationText()},
        {"tab", QStringLiteral("/srv/a\tb/"), controlCharacterInLocationText()},
        {"DEL", QStringLiteral("/srv/a\x7f"), controlCharacterInLocationText()},
        {"longer than the reader takes", tooLong, longText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        box = c.box;
        dialogs.expectBox({c.why + "\r\n\r\nCan't save the Dexlan4.ini file", MsgButtons::Ok,
                           MsgIcon::Critical, MsgAnswer::Ok, "Sorry..."},
                          MsgAnswer::Ok);
        save();
        EXPECT_TRUE(dialogs.allAnswersUsed());
        EXPECT_EQ(onDisk(), kElevenLineOptions);
        EXPECT_EQ(state.fileOptionLines[EntryHistoryLocation], "hist home");
        EXPECT_FALSE(locationForSaving(c.box, "/opt/", PathPolicy::posix()));
    }
}

TEST_F(SaveOptionsTest, TheLongestLocationIsSavedAndReadBack) {
    box = QStringLiteral("/") + QString(kMaxLineBytes - 1, QLatin1Char('h'));
    save();
    EXPECT_TRUE(dialogs.boxesShown.isEmpty());
    SharedState again;
    again.programFolder = folder.path();
    again.pathPolicy = PathPolicy::posix();
    const std::optional<LoadedWindowValues> loaded = readOptionsFile(again, dialogs);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->locationBoxText, box);
}

// The last guard: whatever fills the lines, the writer never writes a file that
// the trainer or this program would read as other lines than written.
TEST(WriteOptionsFile, LinesThatWouldNotReadBackAreRefusedAndTheFileKept) {
    TestFolder folder;
    const QByteArray before = kElevenLineOptions + "documents on\r\n";
    folder.write("Dexlan4.ini", before);
    const QString path = folder.file("Dexlan4.ini");
    OptionLines good;
    const LoadResult read = parseOptionsFile(path);
    ASSERT_EQ(read.outcome, LoadOutcome::Loaded);
    good = read.lines;
    struct Case {
        int entry;
        QByteArray line;
    };
    const Case cases[] = {
        {EntryHistoryLocation, "/srv/h\rhist none/"},
        {EntrySounds, "sfx all\r\n"},
        {7, "trainer\rline"},
        {EntryHistoryLocation, QByteArray(kMaxLineBytes + 1, 'h')},
        {7, QByteArray(kMaxTrainerLineBytes + 1, 't')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        OptionLines lines = good;
        lines[c.entry] = c.line;
        const FileError error = writeOptionsFile(path, lines);
        EXPECT_TRUE(error.failed());
        EXPECT_TRUE(error.text.startsWith(QStringLiteral("Line %1 ").arg(c.entry)))
            << error.text.toStdString();
        EXPECT_EQ(folder.read("Dexlan4.ini"), before);
    }
    // At their bounds the lines are written, and read back as written; so is
    // a trainer's line holding a lone LF, which belongs to the line.
    OptionLines longest = good;
    longest[EntryHistoryLocation] = QByteArray(kMaxLineBytes, 'h');
    longest[7] = QByteArray(kMaxTrainerLineBytes, 't');
    longest[8] = "\nthe trainer's\n own\n";
    ASSERT_FALSE(writeOptionsFile(path, longest).failed());
    const LoadResult back = parseOptionsFile(path);
    ASSERT_EQ(back.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(back.lines, longest);
}

// A failed save reports the system's text, keeps the file as it was and offers
// the changes again later.
void expectRefusedSave(SharedState& state, ScriptedDialogs& dialogs, const QString& expectedText,
                       const QByteArray& before, const QString& path) {
    QString box;
    state.optionLines[EntrySounds] = "sfx beep";
    dialogs.answerNextBox(MsgAnswer::Yes);
    dialogs.expectBox({expectedText + "\r\n\r\nCan't save the Dexlan4.ini file", MsgButtons::Ok,
                       MsgIcon::Critical, MsgAnswer::Ok, "Sorry..."},
                      MsgAnswer::Ok);
    saveOptionsFile(state, dialogs, box);
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(state.fileOptionLines[EntrySounds], "sfx all");
    EXPECT_EQ(testing::readFile(path), before);
}

// Linux-only: chattr +i; Windows' read-only attribute is tried in windows_files_test.
#ifdef Q_OS_UNIX
TEST_F(SaveOptionsTest, WriteProtectedFileIsNotReplaced) {
    const QString path = folder.file("Dexlan4.ini");
    if (QProcess::execute("chattr", {"+i", path}) != 0)
        GTEST_SKIP() << "chattr +i is not available on this file system";
    expectRefusedSave(state, dialogs, "Operation not permitted", kElevenLineOptions, path);
    QProcess::execute("chattr", {"-i", path});
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file is left behind";
}
#endif

TEST_F(SaveOptionsTest, FolderThatIsAFileIsReported) {
    folder.write("plain", "not a folder");
    state.programFolder = folder.file("plain/");
    state.fileDigest.clear(); // nothing was read from there
#ifdef Q_OS_WIN
    const QString expected = windowsErrorText(ERROR_PATH_NOT_FOUND); // the system's own words
#else
    const QString expected = QStringLiteral("Not a directory");
#endif
    expectRefusedSave(state, dialogs, expected, "not a folder", folder.file("plain"));
}

// Linux-only: hard links made with link() and a save cut short by fork() and ulimit.
#ifdef Q_OS_UNIX
// Runs body in a child process and answers its exit status.
template <typename Body> int inChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A second name of the options file keeps showing it after a save; a save that
// fails half-way in place leaves both names with the old bytes and says why.
TEST_F(SaveOptionsTest, ASecondNameKeepsShowingTheFile) {
    const QString path = folder.file("Dexlan4.ini");
    const QString other = folder.file("shared.ini");
    ASSERT_EQ(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    box = "/srv/one";
    save();
    const QByteArray saved = onDisk();
    EXPECT_TRUE(saved.contains("\r\n/srv/one\r\n"));
    EXPECT_EQ(testing::readFile(other), saved);

    state.optionLines[6] = QByteArray(4000, '6');
    const int status = inChild([&] {
        rlimit limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        dialogs.answerNextBox(MsgAnswer::Yes);
        dialogs.answerNextBox(MsgAnswer::Ok);
        save();
        return dialogs.boxesShown.size() == 2 &&
                       dialogs.boxesShown[1] == saveErrorReport("File too large")
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0) << "the save-error report names the system's error";
    EXPECT_EQ(onDisk(), saved);
    EXPECT_EQ(testing::readFile(other), saved);
}

#endif

} // namespace
} // namespace dexlan
