// SPDX-License-Identifier: GPL-3.0-or-later
// The real program's administration on the school's share (tools/school-share),
// from two teachers' computers at once: the right bytes, nothing else left in
// the trainer's folder, and the old files whole when a copy is killed.
#include "options_file/change_log.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_test_files.h"
#include "testing/school_share.h"
#include "testing/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace dexlan {
namespace {

using testing::readFile;
using testing::ShareTest;
using testing::TestFolder;
using testing::writeFile;

const QByteArray kOptions = "Options File\r\nCorvantis Dexlan Training System 4\r\nnetwork\r\n"
                            "hist roster open\r\nhist home\r\n0\r\ntrainer's own\r\n\xe9t\xe9\r\n"
                            "0\r\nf2 on\r\nsfx all\r\ndocuments off\r\n";

QByteArray withSounds(const QByteArray& sounds) {
    return QByteArray(kOptions).replace("sfx all", sounds);
}

using testing::userFile;

// Our hidden temporary files, as a save or an add names them.
const QRegularExpression kTemporary(QStringLiteral("^\\..+\\.new[0-9a-f]{1,8}$"));

// One teacher's computer: the program started with its own runtime folder and
// home, as on a machine of its own, and without a display.
class Teacher {
  public:
    QProcess* start(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        environment.insert("XDG_RUNTIME_DIR", m_home.path());
        environment.insert("HOME", m_home.path());
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(DEXLAN_PROGRAM), arguments);
        EXPECT_TRUE(m_process.waitForStarted()) << m_process.errorString().toStdString();
        return &m_process;
    }
    // Waits for the end: the status, and what the program printed.
    int finish(QString* out = nullptr, QString* err = nullptr) {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(120000)) {
            m_process.kill();
            m_process.waitForFinished();
            ADD_FAILURE() << "the program did not end";
            return -1;
        }
        const QString printed = QString::fromUtf8(m_process.readAllStandardOutput());
        const QString complaints = QString::fromUtf8(m_process.readAllStandardError());
        if (out)
            *out = printed;
        if (err)
            *err = complaints;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : 128;
    }
    int run(const QStringList& arguments, QString* out = nullptr, QString* err = nullptr) {
        start(arguments);
        return finish(out, err);
    }
    void kill() {
        m_process.kill();
        m_process.waitForFinished();
    }

  private:
    QTemporaryDir m_home;
    QProcess m_process;
};

class ShareProgramTest : public ShareTest {
  protected:
    void SetUp() override {
        ShareTest::SetUp();
        if (IsSkipped())
            return;
        writeFile(folder->a() + "Corvantis Dexlan Trainer 4.exe", "stand-in");
        writeFile(folder->a() + "Dexlan4.ini", kOptions);
        writeFile(folder->a() + "1HIST.DX", userFile("Ann Carter"));
        writeFile(folder->a() + "2HIST.DX", userFile("Bob Lindqvist"));
        laidOut = folder->names();
    }

    // A class list, kept on the teacher's own disk.
    QString classList(const QByteArray& prefix, int count) {
        QByteArray names;
        for (int n = 1; n <= count; ++n)
            names += prefix + ' ' + QByteArray::number(n) + "\r\n";
        const QString path = local.file(QString::fromLatin1(prefix) + ".txt");
        writeFile(path, names);
        return path;
    }

    // number -> name, as a teacher's computer lists them.
    std::map<int, QString> listed(Teacher& teacher, const QString& trainer) {
        QString out, err;
        EXPECT_EQ(teacher.run({"--trainer", trainer, "--list-users"}, &out, &err), 0)
            << err.toStdString();
        std::map<int, QString> users;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split('\t');
            EXPECT_EQ(fields.size(), 2) << line.toStdString();
            if (fields.size() == 2)
                EXPECT_TRUE(users.emplace(fields[0].toInt(), fields[1]).second) << "number twice";
        }
        return users;
    }

    // The history files on the server, other than the two laid out: number -> first line.
    std::map<int, QByteArray> addedFiles() const {
        std::map<int, QByteArray> files;
        static const QRegularExpression historyName(QStringLiteral("^([0-9]+)HIST\\.DX$"));
        for (const QString& name : folder->names()) {
            const auto match = historyName.match(name);
            if (match.hasMatch() && !laidOut.contains(name))
                files[match.captured(1).toInt()] =
                    readFirstLineOfFile(folder->onServer() + name).bytes;
        }
        return files;
    }

    QStringList temporaries() const { return folder->names().filter(kTemporary); }

    TestFolder local;
    QStringList laidOut;
    // The trainer's folder as laid out, and the record of the changes made since.
    QStringList laidOutAndLog() const {
        QStringList names = laidOut;
        names.append(QString::fromLatin1(kChangeLogName));
        names.sort();
        return names;
    }
    Teacher teacherA, teacherB;
};

TEST_F(ShareProgramTest, EachCommandLeavesTheRightBytesAndNothingElse) {
    const QString trainer = folder->a();
    const QByteArray ann = readFile(folder->onServer() + "1HIST.DX");
    QString out, err;
    ASSERT_EQ(teacherA.run({"--trainer", trainer, "--set", "sounds=beep"}, &out, &err), 0)
        << err.toStdString();
    EXPECT_EQ(readFile(folder->onServer() + "Dexlan4.ini"), withSounds("sfx beep"));
    EXPECT_EQ(folder->names(), laidOutAndLog());

    ASSERT_EQ(
        teacherA.run({"--trainer", trainer, "--add-users", classList("Pupil", 3)}, &out, &err), 0)
        << err.toStdString();
    const std::map<int, QByteArray> added = addedFiles();
    std::set<QByteArray> names;
    for (const auto& [number, line] : added)
        names.insert(line);
    EXPECT_EQ(names, (std::set<QByteArray>{"\"Pupil 1\"", "\"Pupil 2\"", "\"Pupil 3\""}));
    EXPECT_EQ(folder->names().size(), laidOutAndLog().size() + 3)
        << folder->names().join(' ').toStdString();

    ASSERT_EQ(teacherB.run({"--trainer", folder->b(), "--delete-user", "Ann Carter"}, &out, &err),
              0)
        << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder->onServer() + "1HIST.DX"));
    // Restored by the teacher who deleted it: the other computer's mount may
    // still see the name for a moment, and would rightly choose another number.
    ASSERT_EQ(teacherB.run({"--trainer", folder->b(), "--restore-user", "Ann Carter"}, &out, &err),
              0)
        << err.toStdString();
    EXPECT_EQ(readFile(folder->onServer() + "1HIST.DX"), ann) << "back byte for byte";

    QStringList expected = laidOutAndLog() + QStringList{".deleted"};
    for (const auto& [number, line] : added)
        expected.append(QString::number(number) + "HIST.DX");
    expected.sort();
    EXPECT_EQ(folder->names(), expected);
    EXPECT_TRUE(QDir(folder->onServer() + ".deleted")
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    EXPECT_EQ(listed(teacherA, trainer).size(), 5u);
}

TEST_F(ShareProgramTest, TwoTeachersAddingAtOnceNeverShareANumberOrAFile) {
    const QString listA = classList("Ada", 15);
    const QString listB = classList("Ben", 15);
    teacherA.start({"--trainer", folder->a(), "--add-users", listA});
    teacherB.start({"--trainer", folder->b(), "--add-users", listB});
    QString err;
    EXPECT_EQ(teacherA.finish(nullptr, &err), 0) << err.toStdString();
    EXPECT_EQ(teacherB.finish(nullptr, &err), 0) << err.toStdString();

    const std::map<int, QByteArray> added = addedFiles();
    std::set<QByteArray> names;
    for (const auto& [number, line] : added)
        EXPECT_TRUE(names.insert(line).second) << line.constData() << " twice";
    EXPECT_EQ(added.size(), 30u);
    const std::map<int, QString> users = listed(teacherA, folder->a());
    EXPECT_EQ(users.size(), 32u);
    EXPECT_EQ(folder->names().size(), laidOutAndLog().size() + 30)
        << "no lock or temporary file is left: " << folder->names().join(' ').toStdString();
    // Both recorded every change, one copy at a time: a class list and its
    // fifteen names each, no line lost or torn.
    QList<QByteArray> logged = readFile(folder->onServer() + kChangeLogName).split('\n');
    logged.removeAll(QByteArray());
    EXPECT_EQ(logged.size(), 32);
    for (const QByteArray& line : logged)
        EXPECT_EQ(line.count('\t'), 7) << line.constData();
}

TEST_F(ShareProgramTest, ListingWhileTheOtherTeacherAddsAndDeletes) {
    for (const QStringList& change :
         {QStringList{"--add-users", classList("Cal", 25)}, QStringList{"--delete-user", "Cal 3"},
          QStringList{"--delete-user", "Bob Lindqvist"}}) {
        SCOPED_TRACE(change.join(' ').toStdString());
        QProcess* other = teacherB.start(QStringList{"--trainer", folder->b()} + change);
        int listings = 0;
        do {
            for (const auto& [number, name] : listed(teacherA, folder->a())) {
                EXPECT_GT(number, 0);
                EXPECT_TRUE(name == "Ann Carter" || name == "Bob Lindqvist" ||
                            QRegularExpression("^Cal [0-9]+$").match(name).hasMatch())
                    << "a name cut short or made up: " << name.toStdString();
            }
            ++listings;
            other->waitForFinished(1); // notices the end
        } while (other->state() != QProcess::NotRunning || listings < 2);
        QString err;
        EXPECT_EQ(teacherB.finish(nullptr, &err), 0) << err.toStdString();
    }
    const std::map<int, QString> users = listed(teacherA, folder->a());
    EXPECT_EQ(users.size(), 25u) << "Ann and 24 of the class";
    EXPECT_TRUE(temporaries().isEmpty()) << temporaries().join(' ').toStdString();
}

// Killed at every moment of a save or an add, a copy leaves each file either as
// it was or as it was meant to be, never cut short; what it leaves of its own
// (temporaries) goes with the next run, once old enough that no copy can still
// be writing it.
TEST_F(ShareProgramTest, ACopyKilledWhileSavingOrAddingLeavesEveryFileWhole) {
    const QByteArray ann = readFile(folder->onServer() + "1HIST.DX");
    const std::set<QByteArray> saved{kOptions, withSounds("sfx beep"), withSounds("sfx none")};
    const QString pupils = classList("Dot", 40);
    QElapsedTimer spent;
    for (int round = 0; round < 16; ++round) {
        const bool adding = round % 2 == 1;
        teacherA.start(adding ? QStringList{"--trainer", folder->a(), "--add-users", pupils}
                              : QStringList{"--trainer", folder->a(), "--set",
                                            round % 4 ? "sounds=beep" : "sounds=none"});
        QThread::msleep(QRandomGenerator::global()->bounded(20u, 400u));
        teacherA.kill();
        EXPECT_TRUE(saved.count(readFile(folder->onServer() + "Dexlan4.ini"))) << "round " << round;
        EXPECT_EQ(readFile(folder->onServer() + "1HIST.DX"), ann);
        for (const auto& [number, line] : addedFiles())
            EXPECT_TRUE(
                QRegularExpression("^\"Dot [0-9]+\"$").match(QString::fromLatin1(line)).hasMatch())
                << number << ": " << line.constData();
    }

    // What the killed copies left, made old; beside it another copy's save in
    // progress, just begun, and a hidden file that is not ours.
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-20 * 60);
    for (const QString& name : temporaries()) {
        QFile left(folder->onServer() + name);
        ASSERT_TRUE(left.open(QIODevice::Append));
        ASSERT_TRUE(left.setFileTime(old, QFileDevice::FileModificationTime));
    }
    writeFile(folder->onServer() + ".Dexlan4.ini.new1a2b3c", "in progress");
    writeFile(folder->onServer() + ".notes", "not ours");
    {
        QFile notOurs(folder->onServer() + ".notes");
        ASSERT_TRUE(notOurs.open(QIODevice::Append));
        ASSERT_TRUE(notOurs.setFileTime(old, QFileDevice::FileModificationTime));
    }

    QString err;
    EXPECT_EQ(teacherB.run({"--trainer", folder->b(), "--set", "sounds=beep"}, nullptr, &err), 0)
        << err.toStdString();
    EXPECT_EQ(readFile(folder->onServer() + "Dexlan4.ini"), withSounds("sfx beep"));
    const int status =
        teacherB.run({"--trainer", folder->b(), "--add-users", pupils}, nullptr, &err);
    EXPECT_TRUE(status == 0 || status == 1) << err.toStdString(); // names added before are refused
    EXPECT_EQ(addedFiles().size(), 40u);
    EXPECT_EQ(temporaries(), QStringList{".Dexlan4.ini.new1a2b3c"});
    EXPECT_TRUE(QFileInfo::exists(folder->onServer() + ".notes"));
    EXPECT_FALSE(QFileInfo::exists(folder->onServer() + ".dexlan-roster.lock"));
}

} // namespace
} // namespace dexlan
