// SPDX-License-Identifier: GPL-3.0-or-later
// The real program, started as a shell starts it, without a display.
#include "app/command_line.h"

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
    ended.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    ended.err = QString::fromLocal8Bit(program.readAllStandardError());
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
    for (const auto& setting : kSettings) {
        SCOPED_TRACE(setting.isEmpty() ? "nothing set" : setting.front().second.toStdString());
        const Ended ended = run({}, setting);
        EXPECT_EQ(ended.status, 1);
        EXPECT_EQ(ended.out, "");
        EXPECT_EQ(ended.err, noDisplayMessage()) << "nothing of Qt's own text";
    }
}

} // namespace
} // namespace dexlan
