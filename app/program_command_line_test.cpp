// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, started as a shell starts it, without a display.
#include "app/command_line.h"
#include "roster/core/history_file.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

struct Ended {
    int status = -1;
    QString out;
    QString err;
};

// Runs the program with no window system to reach: DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM unset, then the given variables set.
Ended run(const QStringList& arguments, const QList<std::pair<QString, QString>>& set = {}) {
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        environment.remove(QLatin1String(name));
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    environment.insert("HOME", runtime.path());
    for (const auto& [name, value] : set)
        environment.insert(name, value);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(DEXLAN_PROGRAM), arguments);
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        ADD_FAILURE() << "the program did not end";
        return {};
    }
    Ended ended;
    ended.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : 128;
    // The program writes UTF-8; Windows' C runtime writes each line end as CR LF.
    ended.out = QString::fromUtf8(program.readAllStandardOutput()).replace("\r\n", "\n");
    ended.err = QString::fromUtf8(program.readAllStandardError()).replace("\r\n", "\n");
    return ended;
}

const QList<std::pair<QString, QString>> kSettings[] = {
    {},                                           // nothing set
    {{"QT_QPA_PLATFORM", "bogus"}},               // a platform plugin Qt does not have
    {{"WAYLAND_DISPLAY", "wayland-dexlan-none"}}, // a compositor that is not there
    {{"DISPLAY", ":4711"}},                       // an X server that is not there
};

TEST(ProgramCommandLine, HelpAndVersionNeedNoDisplay) {
    for (const auto& setting : kSettings) {
        SCOPED_TRACE(setting.isEmpty() ? "nothing set" : setting.front().second.toStdString());
        const Ended help = run({"--help"}, setting);
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: dexlan-options [options] [trainer]\n"));
        EXPECT_EQ(help.err, "");

        const Ended version = run({"--version"}, setting);
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, versionText());
        EXPECT_EQ(version.err, "");
    }
}

TEST(ProgramCommandLine, UnknownOptionEndsWithStatusTwo) {
    for (const auto& setting : kSettings) {
        SCOPED_TRACE(setting.isEmpty() ? "nothing set" : setting.front().second.toStdString());
        const Ended ended = run({"--bogus", "/srv/trainer"}, setting);
        EXPECT_EQ(ended.status, 2);
        EXPECT_EQ(ended.out, "");
        EXPECT_TRUE(ended.err.startsWith("dexlan-options: Unknown option 'bogus'.\n"))
            << ended.err.toStdString();
    }
}

TEST(ProgramCommandLine, NoDisplayIsOneSentenceAndStatusOne) {
    DEXLAN_LINUX_ONLY("Windows always has its window system; there is no display to miss");
    for (const auto& setting : kSettings) {
        SCOPED_TRACE(setting.isEmpty() ? "nothing set" : setting.front().second.toStdString());
        const Ended ended = run({}, setting);
        EXPECT_EQ(ended.status, 1);
        EXPECT_EQ(ended.out, "");
        EXPECT_EQ(ended.err, noDisplayMessage()) << "nothing of Qt's own text";
    }
}

// A trainer's folder with an open user list of network users, and the users given.
struct Trainer {
    explicit Trainer(const QList<QByteArray>& users) {
        folder.write("Corvantis Dexlan Trainer 4.exe", "stand-in");
        folder.write("Dexlan4.ini",
                     "Options File\r\nCorvantis Dexlan Training System 4\r\nnetwork\r\n"
                     "hist roster open\r\nhist home\r\n0\r\n0\r\n0\r\n0\r\nf2 on\r\n"
                     "sfx all\r\ndocuments off\r\n");
        for (int i = 0; i < users.size(); ++i)
            folder.write(newHistoryFileName(i + 1),
                         newHistoryFileBytes(users[i], {201, 302, 403, 504, 605, 706, 807, 908}));
    }
    QStringList with(const QStringList& arguments) const {
        return QStringList{"--trainer", folder.path()} + arguments;
    }
    testing::TestFolder folder;
};

TEST(ProgramCommandLine, AClassListOfThirtyFromAFileWithTwoRefused) {
    Trainer trainer({"Ann Carter", "Bob Lindqvist"});
    // A spreadsheet's export: a heading-free CSV in UTF-8, first column the name.
    QByteArray csv;
    QStringList expected;
    for (int i = 1; i <= 28; ++i) {
        const QString name = QString::fromUtf8("Pupil %1 Müller").arg(i, 2, 10, QLatin1Char('0'));
        csv += "\"" + name.toUtf8() + "\",4b," + QByteArray::number(i) + "\r\n";
        expected.append(name);
    }
    csv.insert(csv.indexOf("\"Pupil 10"), "Bob Lindqvist,4b,0\r\n");
    csv += QString::fromUtf8("Łucja Nowak,4b,29\r\n").toUtf8();
    trainer.folder.write("class-4b.csv", csv);

    const Ended added = run(trainer.with({"--add-users", trainer.folder.file("class-4b.csv")}));
    EXPECT_EQ(added.status, 1) << "a name was refused";
    EXPECT_EQ(added.out, "28 names added:\n    " + expected.join("\n    ") +
                             "\n\n1 name already there:\n"
                             "    Bob Lindqvist: already on the list\n");
    EXPECT_EQ(added.err, QString::fromUtf8("dexlan-options: 1 name refused:\n"
                                           "    Łucja Nowak: a character that cannot be "
                                           "stored in a history file (code page Windows-1252)\n"));

    const Ended listed = run(trainer.with({"--list-users"}));
    EXPECT_EQ(listed.status, 0);
    const QStringList rows = listed.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 30);
    EXPECT_EQ(rows[0], "1\tAnn Carter");
    EXPECT_EQ(rows[1], "2\tBob Lindqvist");
    EXPECT_EQ(rows[2], QString::fromUtf8("3\tPupil 01 Müller"));
    EXPECT_EQ(rows[29], QString::fromUtf8("30\tPupil 28 Müller"));
    // The trainer reads the name in its code page.
    EXPECT_EQ(readFirstLineOfFile(trainer.folder.file("30HIST.DX")).bytes,
              "\"Pupil 28 M\xfcller\"");
}

TEST(ProgramCommandLine, ANameIsDeletedAndRestored) {
    Trainer trainer({"Ann Carter", "Bob Lindqvist", "Chiara Rossi"});
    const QByteArray bob = trainer.folder.read("2HIST.DX");

    const Ended deleted = run(trainer.with({"--delete-user", "Bob Lindqvist", "--list-users"}));
    EXPECT_EQ(deleted.status, 0) << deleted.err.toStdString();
    EXPECT_EQ(deleted.out, "Deleted Bob Lindqvist (number 2); --restore-user brings the name "
                           "back within 30 days.\n1\tAnn Carter\n3\tChiara Rossi\n");

    const Ended restored = run(trainer.with({"--restore-user", "Bob Lindqvist", "--list-users"}));
    EXPECT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(
        restored.out,
        "Restored Bob Lindqvist (number 2).\n1\tAnn Carter\n2\tBob Lindqvist\n3\tChiara Rossi\n");
    EXPECT_EQ(trainer.folder.read("2HIST.DX"), bob) << "the records come back byte for byte";

    const Ended again = run(trainer.with({"--restore-user", "Bob Lindqvist"}));
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, "Bob Lindqvist is on the list already: nothing to restore.\n");
    EXPECT_EQ(again.err, "");

    const Ended nobody = run(trainer.with({"--restore-user", "Dee Nobody"}));
    EXPECT_EQ(nobody.status, 1);
    EXPECT_EQ(nobody.err, "dexlan-options: Dee Nobody is not among the deleted names.\n");
}

TEST(ProgramCommandLine, SettingsChangedAndShownWithoutADisplay) {
    Trainer trainer({});
    const Ended set = run(trainer.with(
        {"--set", "history=roster-protected", "--set", "sounds=none", "--set", "documents=on"}));
    EXPECT_EQ(set.status, 1) << "the documentation is not installed";
    EXPECT_EQ(set.out, "") << "nothing saved of a refused command";
    EXPECT_TRUE(set.err.startsWith("dexlan-options: The Documentations was not selected"));
    EXPECT_TRUE(set.err.endsWith("dexlan-options: Dexlan4.ini was not changed.\n"));

    const Ended saved = run(trainer.with(
        {"--set", "history=roster-protected", "--set", "sounds=none", "--set", "documents=off"}));
    EXPECT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out, "Line 4: \"hist roster open\" -> \"hist roster protected\"\n"
                         "Line 11: \"sfx all\" -> \"sfx none\"\n");

    const Ended shown = run(trainer.with({"--show"}));
    EXPECT_EQ(shown.status, 0);
    EXPECT_TRUE(shown.out.contains("Sound Effects Option\n"));
    EXPECT_TRUE(shown.out.contains("11  sfx none\n"));

    const Ended usage = run(trainer.with({"--set", "sounds=loud"}));
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.err.startsWith("dexlan-options: --set sounds=loud: not one of these"));
}

// A configuration tool's run: wanted state, reported as JSON, then the same
// command again, which finds everything so and says it changed nothing.
TEST(ProgramCommandLine, TheSameCommandTwiceReportsNothingChangedTheSecondTime) {
    Trainer trainer({"Ann Carter", "Bob Lindqvist"});
    trainer.folder.write("class-4b.txt", "Ann Carter\nChiara Rossi\n");
    const QStringList command = trainer.with(
        {"--format", "json", "--set", "sounds=none", "--set", "f2=off", "--add-users",
         trainer.folder.file("class-4b.txt"), "--delete-user", "Bob Lindqvist", "--if-present"});
    for (const bool second : {false, true}) {
        SCOPED_TRACE(second ? "second run" : "first run");
        const Ended check = run(QStringList(command) << "--check");
        EXPECT_EQ(check.status, second ? 0 : 3) << check.err.toStdString();

        const Ended ended = run(command);
        EXPECT_EQ(ended.status, 0) << ended.err.toStdString();
        EXPECT_EQ(ended.err, "");
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(ended.out.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << ended.out.toStdString();
        const QJsonArray changes = json["changes"].toArray();
        ASSERT_EQ(changes.size(), 4) << ended.out.toStdString(); // set, delete, two adds
        int changed = 0;
        for (const QJsonValue& change : changes)
            changed += change.toObject()["changed"].toBool() ? 1 : 0;
        EXPECT_EQ(changed, second ? 0 : 3);
    }
}

} // namespace
} // namespace dexlan
