// SPDX-License-Identifier: GPL-3.0-or-later
// Class lists as school systems export them, added from the command line with
// the choices of how they are read given or guessed.
#include "app/admin_command_line.h"
#include "app/admin_test_fixture.h"
#include "app/command_line.h"
#include "roster/core/history_file.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using admin_test::administer;
using admin_test::Ran;
using admin_test::Trainer;

// The request the command line makes of these arguments after --trainer.
AdminRequest requestOf(const QStringList& arguments) {
    const CommandLine line =
        parseCommandLine(QStringList{"dexlan-options", "--trainer", "/t"} + arguments);
    EXPECT_EQ(line.action, CommandLineAction::Administer) << line.message.toStdString();
    return line.admin;
}

// The names in the history files as the trainer reads them, by number.
QByteArrayList namesInFiles(const Trainer& trainer) {
    QByteArrayList names;
    for (int number = 1; number < 20; ++number) {
        const QString path = trainer.folder.file(newHistoryFileName(number));
        if (QFile::exists(path))
            names.append(readFirstLineOfFile(path).bytes);
    }
    return names;
}

TEST(ClassListCommandLine, ExportsAddExactlyTheirNames) {
    struct Case {
        const char* what;
        const char* file;
        QByteArray bytes;
        QStringList options;
        QByteArrayList names;
    };
    const Case cases[] = {
        {"a semicolon export with a Nachname;Vorname header",
         "klasse.csv",
         "Nachname;Vorname;Klasse\r\nM\xc3\xbcller;Anna;4b\r\nSchmidt;Tom;4b\r\n",
         {},
         {"\"Anna M\xfcller\"", "\"Tom Schmidt\""}},
        {"the same with every choice given",
         "klasse.txt",
         "Nachname;Vorname;Klasse\r\nM\xc3\xbcller;Anna;4b\r\n",
         {"--separator", "semicolon", "--header", "--name-columns", "Vorname,Nachname"},
         {"\"Anna M\xfcller\""}},
        {"columns by number, no header",
         "klasse.csv",
         "Lee;Bob\n",
         {"--no-header", "--name-columns", "2,1"},
         {"\"Bob Lee\""}},
        {"tab-separated",
         "class.txt",
         "Ann Carter\t4b\nBob Lee\t4c\n",
         {},
         {"\"Ann Carter\"", "\"Bob Lee\""}},
        {"quoted commas and line breaks",
         "class.csv",
         "Name,Class\n\"Carter, Ann\",4b\n\"Lee, Bob\",\"4\nc\"\n",
         {},
         {"\"Carter, Ann\"", "\"Lee, Bob\""}},
        {"CR-only line ends", "class.csv", "Ann;4b\rBob;4c\r", {}, {"\"Ann\"", "\"Bob\""}},
        {"a header that is a name after all",
         "class.txt",
         "Name\nAnn\n",
         {"--no-header"},
         {"\"Name\"", "\"Ann\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Trainer trainer;
        trainer.folder.write(c.file, c.bytes);
        const Ran ran =
            administer(trainer, requestOf(QStringList{"--add-users", trainer.folder.file(c.file)} +
                                          c.options));
        EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
        EXPECT_EQ(namesInFiles(trainer), c.names);
    }
}

// A UTF-8 list with one line in the code page is never silently read as
// either: refused naming the line, then added as the encoding given says.
TEST(ClassListCommandLine, AnAlmostUtf8ListIsRefusedNamingItsLineUntilTheEncodingIsGiven) {
    const QByteArray list = "Jos\xc3\xa9 Garc\xc3\xad"
                            "a\r\nAnn Lee\r\nZo\xeb Ray\r\n";
    {
        Trainer trainer;
        trainer.folder.write("class.txt", list);
        const Ran ran =
            administer(trainer, requestOf({"--add-users", trainer.folder.file("class.txt")}));
        EXPECT_EQ(ran.status, 1);
        EXPECT_TRUE(ran.err.contains("line 3 is not valid UTF-8")) << ran.err.toStdString();
        EXPECT_TRUE(ran.err.contains("--encoding")) << ran.err.toStdString();
        EXPECT_TRUE(namesInFiles(trainer).isEmpty());
    }
    {
        Trainer trainer;
        trainer.folder.write("class.txt", list);
        const Ran ran = administer(trainer, requestOf({"--encoding", "code-page", "--add-users",
                                                       trainer.folder.file("class.txt")}));
        EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
        EXPECT_EQ(namesInFiles(trainer).value(2), "\"Zo\xeb Ray\"");
    }
    {
        Trainer trainer;
        const Ran ran =
            administer(trainer, requestOf({"--encoding", "utf-8", "--add-users", "-"}), list);
        EXPECT_EQ(ran.status, 1) << "the line that is not UTF-8 is refused as a name";
        EXPECT_EQ(namesInFiles(trainer), QByteArrayList({"\"Jos\xe9 Garc\xed"
                                                         "a\"",
                                                         "\"Ann Lee\""}));
    }
}

TEST(ClassListCommandLine, ChoicesThatMakeNoSenseAreRefusedBeforeAnythingIsDone) {
    const QStringList wrong[] = {
        {"--separator", "pipe"},    {"--header", "--no-header"}, {"--name-columns", "0"},
        {"--name-columns", "1,,2"}, {"--encoding", "latin-1"},
    };
    for (const QStringList& options : wrong) {
        SCOPED_TRACE(options.join(' ').toStdString());
        const CommandLine line = parseCommandLine(
            QStringList{"dexlan-options", "--trainer", "/t", "--add-users", "x.csv"} + options);
        EXPECT_EQ(line.action, CommandLineAction::Refuse);
        EXPECT_TRUE(line.message.contains(options.front())) << line.message.toStdString();
    }
    // Without a class list to read they say how nothing is done.
    EXPECT_EQ(parseCommandLine({"dexlan-options", "--trainer", "/t", "--header"}).action,
              CommandLineAction::Refuse);

    // A column named that the file does not have: nothing is added.
    Trainer trainer;
    trainer.folder.write("klasse.csv", "Nachname;Vorname\nMeier;Eva\n");
    const Ran ran = administer(trainer, requestOf({"--name-columns", "Klasse", "--add-users",
                                                   trainer.folder.file("klasse.csv")}));
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("\"Klasse\"")) << ran.err.toStdString();
    EXPECT_TRUE(namesInFiles(trainer).isEmpty());
}

} // namespace
} // namespace dexlan
