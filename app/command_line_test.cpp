// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace dexlan {
namespace {

TEST(CommandLine, ReadsTheTrainerAndAnswersHelpVersionAndMistakes) {
    using enum CommandLineAction;
    struct Case {
        QStringList arguments; // after the program's name
        CommandLineAction action;
        QString trainer;
        const char* messageHas;
    } cases[] = {
        {{}, Run, {}, ""},
        {{"/srv/trainer"}, Run, "/srv/trainer", ""},
        {{"/srv/trainer/Corvantis Dexlan Trainer 4.exe"},
         Run,
         "/srv/trainer/Corvantis Dexlan Trainer 4.exe",
         ""},
        {{"--", "-odd folder"}, Run, "-odd folder", ""},
        {{"--help"}, ShowHelp, {}, "Usage: dexlan-options [options] [trainer]\n"},
        {{"-h", "/srv/trainer"}, ShowHelp, {}, "Corvantis Dexlan Trainer 4.exe"},
        {{"--version"}, ShowVersion, {}, "dexlan-options 4.1.24"},
        {{"-v"}, ShowVersion, {}, "Version 4.1 R24"},
        {{"--bogus"}, Refuse, {}, "dexlan-options: Unknown option 'bogus'."},
        {{"-x", "/srv/trainer"}, Refuse, {}, "Try 'dexlan-options --help'"},
        {{"/srv/one", "/srv/two"}, Refuse, {}, "one trainer folder or program at most"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line =
            parseCommandLine(QStringList{"/usr/bin/dexlan-options"} + c.arguments);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.trainer, c.trainer);
        EXPECT_TRUE(line.message.contains(QLatin1String(c.messageHas)))
            << line.message.toStdString();
        EXPECT_EQ(line.message.isEmpty(), c.action == Run);
    }
}

TEST(CommandLine, HelpOffersOnlyWhatIsAccepted) {
    const QString help = parseCommandLine({"dexlan-options", "--help"}).message;
    EXPECT_TRUE(help.startsWith("Usage: dexlan-options [options] [trainer]\n"))
        << help.toStdString();
    EXPECT_TRUE(help.contains("-v, --version"));
    EXPECT_TRUE(help.contains("-h, --help"));
    // Qt's own options (-platform, -style) would be refused, so none is offered.
    EXPECT_FALSE(help.contains("--help-all"));
}

TEST(CommandLine, StatusesOfTheAnswers) {
    EXPECT_EQ(exitStatusOf(CommandLineAction::ShowHelp), 0);
    EXPECT_EQ(exitStatusOf(CommandLineAction::ShowVersion), 0);
    EXPECT_EQ(exitStatusOf(CommandLineAction::Refuse), 2);
}

TEST(CommandLine, VersionNamesTheLicenceAndCreditsQt) {
    const QString version = versionText();
    EXPECT_TRUE(
        version.startsWith("dexlan-options 4.1.24 (Corvantis Dexlan Options 4, Version 4.1 R24)\n"))
        << version.toStdString();
    EXPECT_TRUE(version.contains("GPL-3.0-or-later"));
    EXPECT_TRUE(version.contains(QStringLiteral("running on Qt %1").arg(qVersion())));
    EXPECT_TRUE(version.contains("GNU Lesser General Public License version 3"));
}

TEST(CommandLine, NoDisplayIsOneSentenceNamingWhatToSet) {
    const QString message = noDisplayMessage();
    EXPECT_EQ(message.count('\n'), 1);
    EXPECT_TRUE(message.endsWith(".\n"));
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        EXPECT_TRUE(message.contains(QLatin1String(name))) << name;
}

} // namespace
} // namespace dexlan
