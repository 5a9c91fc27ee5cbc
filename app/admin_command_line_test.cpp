// SPDX-License-Identifier: GPL-3.0-or-later
// The administrator's command line, run in the test's own process.
#include "app/admin_command_line.h"
#include "app/admin_test_fixture.h"
#include "app/command_line.h"
#include "platform/path_policy.h"

#include "platform/regular_file.h"
#include "roster/core/bulk_add.h"
#include "roster/core/held_names.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_test_files.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dexlan {
namespace {

using namespace admin_test;

TEST(AdminSetting, KeysAndValuesAsTheHelpListsThem) {
    struct Case {
        const char* given;
        int entry;
        const char* value; // nullptr: refused
    };
    const Case cases[] = {
        {"history=roster-open", EntryHistoryMode, "hist roster open"},
        {"history=hist login", EntryHistoryMode, "hist login"},
        {"history=drive-a", EntryHistoryMode, "hist drive a:"},
        {"sounds=none", EntrySounds, "sfx none"},
        {"sounds=beep", EntrySounds, "sfx beep"},
        {"f2=on", EntryManualAdvance, "f2 on"},
        {"documents=off", EntryDocuments, "documents off"},
        {"sounds=loud", 0, nullptr},
        {"Sounds=none", 0, nullptr},
        {"sounds", 0, nullptr},
        {"colour=red", 0, nullptr},
        {"history=", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        const std::optional<AdminSetting> setting = parseAdminSetting(QString::fromLatin1(c.given));
        ASSERT_EQ(setting.has_value(), c.value != nullptr);
        if (setting) {
            EXPECT_EQ(setting->entry, c.entry);
            EXPECT_EQ(setting->value, c.value);
        }
    }
    const std::optional<AdminSetting> location = parseAdminSetting("location=/srv/h=1");
    ASSERT_TRUE(location);
    EXPECT_EQ(location->entry, EntryHistoryLocation);
    EXPECT_EQ(location->locationText, "/srv/h=1");
}

TEST(AdminCommandLine, UsageErrorsAreRefusedBeforeAnythingIsDone) {
    struct Case {
        QStringList arguments;
        CommandLineAction action;
    };
    const Case cases[] = {
        {{"--list-users"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--set", "sounds=loud"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--set", "volume=3"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "/u", "--show"}, CommandLineAction::Refuse},
        {{"--trainer", "/t"}, CommandLineAction::Run},
        {{"/t", "--list-users"}, CommandLineAction::Administer},
        {{"--trainer", "/t", "--set", "f2=off", "--set", "location=", "--show"},
         CommandLineAction::Administer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(QStringList{"dexlan-options"} + c.arguments);
        EXPECT_EQ(line.action, c.action) << line.message.toStdString();
        if (c.action == CommandLineAction::Refuse)
            EXPECT_EQ(exitStatusOf(line.action), 2);
    }
    const CommandLine line = parseCommandLine({"dexlan-options", "--trainer", "/t", "--set",
                                               "f2=off", "--set", "sounds=none", "--delete-user",
                                               "Ann", "--delete-user", "Bob", "--add-users", "-"});
    EXPECT_EQ(line.admin.trainer, "/t");
    EXPECT_EQ(line.admin.settings, QStringList({"f2=off", "sounds=none"}));
    EXPECT_EQ(line.admin.deleteUsers, QStringList({"Ann", "Bob"}));
    EXPECT_EQ(line.admin.addUsers, QStringList({"-"}));
}

TEST(AdminCommandLine, CodePageIsTakenForTheWindowsAndTheCommandsAlike) {
    struct Case {
        QStringList arguments;
        CommandLineAction action;
        std::optional<int> codePage;
    };
    const Case cases[] = {
        {{"--code-page", "1250"}, CommandLineAction::Run, 1250},
        {{"--code-page", "874", "/t", "--list-users"}, CommandLineAction::Administer, 874},
        {{"/t", "--list-users"}, CommandLineAction::Administer, std::nullopt},
        {{"--code-page", "1249"}, CommandLineAction::Refuse, std::nullopt},
        {{"--code-page", "65001"}, CommandLineAction::Refuse, std::nullopt},
        {{"--code-page", "latin2"}, CommandLineAction::Refuse, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(QStringList{"dexlan-options"} + c.arguments);
        EXPECT_EQ(line.action, c.action) << line.message.toStdString();
        if (c.action != CommandLineAction::Refuse)
            EXPECT_EQ(line.admin.codePageNumber, c.codePage);
    }
}

// The user's language decides the list's order while it is in force.
struct LanguageForTheTest {
    explicit LanguageForTheTest(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LanguageForTheTest() { QLocale::setDefault(m_before); }
    QLocale m_before = QLocale();
};

TEST(AdminCommandLine, APolishTrainersNamesAreWrittenInItsCodePageAndListedAmongTheirLetters) {
    const LanguageForTheTest polish{QLocale(QLocale::Polish, QLocale::Poland)};
    Trainer trainer({{1, "Lena"}, {2, "Marek"}, {3, "\x8cwi\xeatek"}}); // in Windows-1250
    AdminRequest add;
    add.codePage = *CodePage::byNumber(1250);
    add.addUsers = {"-"};
    Ran ran = administer(trainer, add, "\xc5\x81ukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87\n");
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(readFirstLineOfFile(trainer.folder.file("4HIST.DX")).bytes,
              "\"\xa3ukasz \xaf\xf3\xb3\xe6\"");

    AdminRequest list;
    list.codePage = add.codePage;
    list.listUsers = true;
    ran = administer(trainer, list);
    EXPECT_EQ(ran.out,
              QString::fromUtf8("1\tLena\n4\t\xc5\x81ukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87"
                                "\n2\tMarek\n3\t\xc5\x9awi\xc4\x99tek\n"));

    AdminRequest show;
    show.codePage = add.codePage;
    show.show = true;
    EXPECT_TRUE(administer(trainer, show).out.contains("Code page: Windows-1250\n"));
}

TEST(AdminCommandLine, AWesternTrainerSeesNoChange) {
    // Where nothing names another code page, the trainer's files are read and
    // written in Windows-1252 as they always were.
    EXPECT_EQ(AdminRequest().codePage, CodePage::windows1252());
    Trainer trainer({{1, "\xc9mile"}});
    AdminRequest add;
    add.addUsers = {"-"};
    const Ran ran = administer(trainer, add, "Jos\xc3\xa9\n\xc5\x81ukasz\n");
    EXPECT_EQ(readFirstLineOfFile(trainer.folder.file("2HIST.DX")).bytes, "\"Jos\xe9\"");
    EXPECT_TRUE(ran.err.contains(QString::fromUtf8(
        "\xc5\x81ukasz: a character that cannot be stored in a history file (code page "
        "Windows-1252)")))
        << ran.err.toStdString();
    AdminRequest list;
    list.listUsers = true;
    const QString listed = administer(trainer, list).out;
    EXPECT_TRUE(listed.contains(QString::fromUtf8("1\t\xc3\x89mile\n"))) << listed.toStdString();
    EXPECT_TRUE(listed.contains(QString::fromUtf8("2\tJos\xc3\xa9\n"))) << listed.toStdString();
    AdminRequest show;
    show.show = true;
    EXPECT_TRUE(administer(trainer, show).out.contains("Code page: Windows-1252\n"));
}

TEST(AdminCommandLine, HelpShowsEveryOptionWithAnExample) {
    const QString help = parseCommandLine({"dexlan-options", "--help"}).message;
    for (const char* option :
         {"--trainer", "--show", "--get", "--set", "--list-users", "--list-deleted", "--add-users",
          "--delete-user", "--restore-user", "--format", "--check", "--if-present",
          "--create-folder", "--force", "--quiet"}) {
        SCOPED_TRACE(option);
        const qsizetype at = help.indexOf(QLatin1String("\n  ") + QLatin1String(option));
        ASSERT_GE(at, 0);
        const qsizetype next = help.indexOf(QLatin1String("\n  -"), at + 1);
        EXPECT_TRUE(help.mid(at, next - at).contains("Example: dexlan-options --trainer"));
    }
}

TEST(AdminCommandLine, SettingsAreSavedWithTheWindowsChecksAndTheChangesPrinted) {
    Trainer trainer;
    AdminRequest request;
    request.settings = {"history=roster-protected", "sounds=none", "f2=off", "f2=off"};
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(ran.out, "Line 4: \"hist roster open\" -> \"hist roster protected\"\n"
                       "Line 10: \"f2 on\" -> \"f2 off\"\n"
                       "Line 11: \"sfx all\" -> \"sfx none\"\n");
    QByteArray expected = kOptions;
    expected.replace("hist roster open", "hist roster protected")
        .replace("f2 on", "f2 off")
        .replace("sfx all", "sfx none");
    EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), expected) << "lines 6 to 9 kept byte for byte";

    const Ran again = administer(trainer, request);
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.startsWith("Nothing changed"));
}

TEST(AdminCommandLine, DocumentationThatIsNotInstalledIsRefusedInTheWindowsWords) {
    Trainer trainer;
    AdminRequest request;
    request.settings = {"documents=on", "sounds=beep"};
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("The Documentations was not selected and installed when the "
                                 "Setup program was run."))
        << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains("Dexlan4.ini was not changed.")) << ran.err.toStdString();
    EXPECT_EQ(ran.out, "");
    EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), kOptions)
        << "a refused command is not half done: sounds=beep is not saved either";

    Trainer installed({}, true);
    request.settings = {"documents=on"};
    EXPECT_EQ(administer(installed, request).status, 0);
    EXPECT_TRUE(installed.folder.read("Dexlan4.ini").contains("documents on\r\n"));
}

TEST(AdminCommandLine, LocationIsStoredAsTheWindowStoresIt) {
    Trainer trainer;
    AdminRequest request;
    request.settings = {"location=" + trainer.folder.file("hist")};
    request.createFolder = true;
    Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.err, "");
    EXPECT_TRUE(ran.out.startsWith("Made the folder ")) << ran.out.toStdString();
    EXPECT_TRUE(QFileInfo(trainer.folder.file("hist")).isDir());
    const PathPolicy policy = PathPolicy::native();
    const QString stored =
        policy.locationCase(policy.withTrailingSeparator(trainer.folder.file("hist")));
    EXPECT_TRUE(trainer.folder.read("Dexlan4.ini").contains(QFile::encodeName(stored) + "\r\n"));
    request.settings = {"location="};
    ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), kOptions);
}

TEST(AdminCommandLine, ALocationTheOptionsFileCannotHoldIsRefused) {
    struct Case {
        const char* what;
        QString location; // after the trainer's folder
        const char* why;
    };
    const Case cases[] = {
        {"CR", QStringLiteral("h\rhist none"), "The location contains a control character"},
        {"CR LF", QStringLiteral("h\r\n"), "The location contains a control character"},
        {"LF", QStringLiteral("h\nx"), "The location contains a control character"},
        {"tab", QStringLiteral("h\tx"), "The location contains a control character"},
        {"escape", QStringLiteral("h\x1b"), "The location contains a control character"},
        {"DEL", QStringLiteral("h\x7f"), "The location contains a control character"},
        {"70,000 characters", QString(70000, QLatin1Char('h')),
         "characters long; the Dexlan4.ini file can hold at most 65536."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Trainer trainer;
        AdminRequest request;
        request.settings = {"location=" + trainer.folder.file(c.location), "sounds=none"};
        const Ran ran = administer(trainer, request);
        EXPECT_EQ(ran.status, 1);
        EXPECT_TRUE(ran.err.contains(c.why)) << ran.err.toStdString();
        EXPECT_TRUE(ran.err.contains("Dexlan4.ini was not changed.")) << ran.err.toStdString();
        EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), kOptions);
        EXPECT_EQ(testing::allNamesUnder(trainer.folder.path()),
                  QStringList({"Corvantis Dexlan Trainer 4.exe", "Dexlan4.ini"}))
            << "no folder made";

        AdminRequest show;
        show.show = true;
        EXPECT_EQ(administer(trainer, show).status, 0) << "the file can still be read";
    }
}

TEST(AdminCommandLine, ASaveThatFailsIsReportedAndRefused) {
    Trainer trainer;
    AdminRequest request;
    request.settings = {"sounds=none"};
    testing::ImmutableFolder frozen(trainer.folder.file("Dexlan4.ini"));
    if (!frozen.ok())
        GTEST_SKIP() << "no immutable attribute here";
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("Can't save the Dexlan4.ini file")) << ran.err.toStdString();
}

TEST(AdminCommandLine, TrainerOrOptionsFileMissingIsRefused) {
    AdminRequest request;
    request.show = true;
    TestFolder empty;
    request.trainer = empty.path();
    QString out, err;
    QTextStream o(&out), e(&err);
    QBuffer in;
    in.open(QIODevice::ReadOnly);
    EXPECT_EQ(runAdministration(request, o, e, in, kNow), 1);
    EXPECT_TRUE(err.contains("You must select the correct location")) << err.toStdString();

    Trainer trainer;
    QFile::remove(trainer.folder.file("Dexlan4.ini"));
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("There is no Corvantis Options 4.ini file at this location."));
    EXPECT_EQ(ran.out, "");
}

TEST(AdminCommandLine, ShowWordsTheSettingsAsTheSummaryPageAndPrintsTheLines) {
    Trainer trainer;
    AdminRequest request;
    request.show = true;
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0);
    for (const char* heading :
         {"History File Location\n", "Lesson Advance Option\n", "Sound Effects Option\n",
          "Documentation Option\n", "Current program location\n"})
        EXPECT_TRUE(ran.out.contains(heading)) << heading;
    EXPECT_TRUE(ran.out.contains(" 4  hist roster open\n"));
    EXPECT_TRUE(ran.out.contains(QString::fromUtf8(" 8  été\n"))) << "in the code page";
    EXPECT_TRUE(ran.out.contains("12  documents off\n"));
}

TEST(AdminCommandLine, UsersAreListedInTheOrderOfTheWindow) {
    Trainer trainer({{1, "bob"}, {2, "Ann"}, {3, "Cyd"}, {4, "ann"}, {10, "\xc9mile"}});
    AdminRequest request;
    request.listUsers = true;
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(ran.out, QString::fromUtf8("2\tAnn\n4\tann\n1\tbob\n3\tCyd\n10\tÉmile\n"));
}

TEST(AdminCommandLine, DeletedUserIsHeldAndRestored) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}});
    const QByteArray bob = trainer.folder.read("2HIST.DX");
    AdminRequest remove;
    remove.deleteUsers = {"Bob", "Nobody"};
    Ran ran = administer(trainer, remove);
    EXPECT_EQ(ran.status, 1) << "Nobody was refused";
    EXPECT_EQ(ran.out, "") << "one name refused: no one deleted";
    EXPECT_TRUE(ran.err.contains("There is no one named  'Nobody'  in the user list."));
    EXPECT_EQ(trainer.folder.read("2HIST.DX"), bob);

    remove.deleteUsers = {"Bob"};
    ran = administer(trainer, remove);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.out.contains("Deleted Bob (number 2)"));
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file("2HIST.DX")));

    trainer.folder.write("2HIST.DX", userFile("Cyd")); // the number is given away
    AdminRequest restore;
    restore.restoreUsers = {"Bob"};
    restore.listUsers = true;
    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, "Restored Bob (number 3).\n"
                       "The number 2 of Bob has been given to another user since Bob was deleted."
                       "\n\nBob is back in the user list under the number 3.\n"
                       "1\tAnn\n3\tBob\n2\tCyd\n");
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(trainer.folder.read("3HIST.DX"), bob);

    // Again: the end state is there already.
    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.out.startsWith("Bob is on the list already: nothing to restore.\n"));

    restore.restoreUsers = {"Dee"};
    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("Dee is not among the deleted names."));
}

TEST(AdminCommandLine, AUserWithoutANumberIsNotDeleted) {
    // A file named with a minus sign lists a user, but no history
    // file is named after the number: the window refuses it, and so must this.
    for (const char* fileName : {"-3HIST.DX", "-1hist.dx"}) {
        SCOPED_TRACE(fileName);
        Trainer trainer({{1, "Ann"}});
        const QByteArray bytes = "\"Neg User\"\r\n 0\r\n";
        trainer.folder.write(fileName, bytes);
        AdminRequest remove;
        remove.deleteUsers = {"Neg User"};
        const Ran ran = administer(trainer, remove);
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.out, "");
        EXPECT_TRUE(ran.err.contains("The history file of Neg User carries no user number, so the "
                                     "program cannot tell which file to kill."))
            << ran.err.toStdString();
        EXPECT_TRUE(ran.err.contains("Nothing was deleted.")) << ran.err.toStdString();
        EXPECT_EQ(trainer.folder.read(fileName), bytes);
        EXPECT_TRUE(listHeldNames(trainer.folder.path()).empty());
        EXPECT_FALSE(QFileInfo::exists(trainer.folder.file(".deleted")));
    }
}

TEST(AdminCommandLine, NamesHoldingPlaceMarkersArePrintedAsTheyAre) {
    const QString name = QStringLiteral("Ann %2 %3");
    Trainer trainer({{1, name.toLatin1()}});
    AdminRequest remove;
    remove.deleteUsers = {name};
    Ran ran = administer(trainer, remove);
    EXPECT_EQ(ran.out, "Deleted Ann %2 %3 (number 1); --restore-user brings the name back within "
                       "30 days.\n");

    trainer.folder.write("1HIST.DX", userFile("Cyd")); // the number is given away
    AdminRequest restore;
    restore.restoreUsers = {name};
    ran = administer(trainer, restore);
    EXPECT_TRUE(ran.out.startsWith("Restored Ann %2 %3 (number 2).\n"));
    EXPECT_TRUE(ran.out.contains("The number 1 of Ann %2 %3 has been given to another user since "
                                 "Ann %2 %3 was deleted."))
        << ran.out.toStdString();
    EXPECT_TRUE(ran.out.contains("Ann %2 %3 is back in the user list under the number 2."))
        << ran.out.toStdString();

    remove.deleteUsers = {name};
    ASSERT_EQ(administer(trainer, remove).status, 0);
    heldDaysAgo(trainer.folder.path(), kHeldDays + 1);
    AdminRequest add;
    add.addUsers = {"-"};
    ran = administer(trainer, add, "Dee\n");
    EXPECT_TRUE(ran.out.contains("Ann %2 %3, deleted on ")) << ran.out.toStdString();
    EXPECT_TRUE(ran.out.contains(" was kept 30 days and is now erased.")) << ran.out.toStdString();
}

// Nobody can be asked on the command line: a deletion that cannot be held
// for restoring is not made, whatever stands in the holding folder's way.
TEST(AdminCommandLine, WhereNothingCanBeHeldNothingIsDeleted) {
    Trainer trainer({{1, "Ann"}});
    trainer.folder.write(".deleted", "a file in the way");
    AdminRequest remove;
    remove.deleteUsers = {"Ann"};
    Ran ran = administer(trainer, remove);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains(".deleted is a file, not a folder.")) << ran.err.toStdString();
    EXPECT_TRUE(
        ran.err.contains("Ann was not deleted: the history file cannot be kept for restoring."));
    EXPECT_EQ(ran.out, "");
    EXPECT_TRUE(QFileInfo::exists(trainer.folder.file("1HIST.DX")));

    AdminRequest restore;
    restore.restoreUsers = {"Ann"};
    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("The deleted names cannot be read: ")) << ran.err.toStdString();
}

// By the file system's clock, by a command that changes the roster, never by
// one that lists, and never the name that the same command restores.
TEST(AdminCommandLine, HeldNamesKeptThirtyDaysAreErasedByTheNextChange) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}});
    AdminRequest remove;
    remove.deleteUsers = {"Ann", "Bob"};
    ASSERT_EQ(administer(trainer, remove).status, 0);
    heldDaysAgo(trainer.folder.path(), kHeldDays + 1);

    AdminRequest list;
    list.listUsers = true;
    Ran ran = administer(trainer, list);
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(listHeldNames(trainer.folder.path()).size(), 2u) << "a listing erases nothing";

    AdminRequest restore;
    restore.restoreUsers = {"Bob"};
    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.out.contains("Restored Bob (number 2)."));
    EXPECT_TRUE(ran.out.contains("Ann, deleted on ")) << ran.out.toStdString();
    EXPECT_TRUE(ran.out.contains(" was kept 30 days and is now erased."));
    EXPECT_EQ(ran.err, "") << "a report of what was done, not a refusal";
    EXPECT_TRUE(listHeldNames(trainer.folder.path()).empty());
}

TEST(AdminCommandLine, AClockAMonthAheadErasesNothingEarly) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}});
    AdminRequest remove;
    remove.deleteUsers = {"Ann"};
    ASSERT_EQ(administer(trainer, remove).status, 0);
    remove.deleteUsers = {"Bob"};
    const Ran ran =
        administer(trainer, remove, {}, QDateTime::currentDateTimeUtc().addDays(kHeldDays + 1));
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(listHeldNames(trainer.folder.path()).size(), 2u);
}

TEST(AdminCommandLine, NamesFromStandardInputWithTheSummary) {
    Trainer trainer({{1, "Ann"}});
    AdminRequest add;
    add.addUsers = {"-"};
    const Ran ran = administer(trainer, add, "Bob\r\nAnn\r\n\r\nCyd\r\nBob\r\n");
    EXPECT_EQ(ran.status, 0) << "every name is on the list now";
    EXPECT_EQ(ran.out, "2 names added:\n    Bob\n    Cyd\n\n2 names already there:\n"
                       "    Ann: already on the list\n    Bob: given twice in the names to add\n");
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(readFirstLineOfFile(trainer.folder.file("3HIST.DX")).bytes, "\"Cyd\"");
}

TEST(AdminCommandLine, TwoCopiesAddingOneClassListAtOnceAddEachNameOnce) {
#ifdef Q_OS_UNIX
    Trainer trainer({{1, "Ann"}});
    QByteArray classList;
    for (int n = 1; n <= 60; ++n)
        classList += "Same " + QByteArray::number(n) + "\r\n";
    std::vector<pid_t> copies;
    for (int copy = 0; copy < 2; ++copy) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            AdminRequest add;
            add.addUsers = {"-"};
            const Ran ran = administer(trainer, add, classList);
            _exit(ran.err.contains("not saved") ? 3 : ran.status);
        }
        copies.push_back(child);
    }
    std::vector<int> statuses;
    for (pid_t child : copies) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        statuses.push_back(WEXITSTATUS(status));
    }
    // One added them all; the other found every name there already, which
    // is what it was asked for.
    EXPECT_EQ(statuses, (std::vector<int>{0, 0}));

    std::map<QString, int> times;
    for (const ListedUser& user : listUsers(trainer.folder.path()).users)
        ++times[shownName(user.name)];
    EXPECT_EQ(times.size(), 61u);
    for (const auto& [name, count] : times)
        EXPECT_EQ(count, 1) << name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file(".dexlan-roster.lock")))
        << "the lock goes with the copy that held it";
#else
    DEXLAN_LINUX_ONLY("two copies made with fork()");
#endif
}

TEST(AdminCommandLine, AClassListThatIsNoListIsRefusedAndNothingAdded) {
    Trainer trainer({{1, "Ann"}});
    TestFolder lists;
    lists.write("big.txt", QByteArray(kMaxClassListBytes + 1, '\n'));
    lists.write("long.txt", "Bob\n" + QByteArray(kMaxClassListLine + 1, 'x') + "\n");
    QByteArray many;
    for (int i = 0; i <= kMaxNamesAtOnce; ++i)
        many += "Pupil " + QByteArray::number(i) + "\n";
    lists.write("many.txt", many);
    struct Case {
        QString source;
        QByteArray input;
        QString why;
    };
    std::vector<Case> cases = {
        {lists.file("big.txt"), {}, "The file is larger than 10 MB, the most a class list may be."},
        {"-", QByteArray(kMaxClassListBytes + 1, '\n'),
         "The file is larger than 10 MB, the most a class list may be."},
        {lists.file("long.txt"), {}, "Line 2 is longer than 1000 characters"},
        {lists.file("many.txt"), {}, "The list holds 5001 names, more than the 5000"},
        {"-", many, "The list holds 5001 names, more than the 5000"},
    };
    if (testing::makeFifo(lists.file("fifo.txt")))
        cases.push_back({lists.file("fifo.txt"), {}, notRegularFileText()});
    if (const QString device = testing::endlessDevice(); !device.isEmpty())
        cases.push_back({device, {}, notRegularFileText()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        AdminRequest add;
        add.addUsers = {c.source};
        const Ran ran = administer(trainer, add, c.input);
        EXPECT_EQ(ran.status, 1);
        EXPECT_TRUE(ran.err.contains(c.why)) << ran.err.toStdString();
        EXPECT_EQ(ran.out, "");
        EXPECT_EQ(QDir(trainer.folder.path()).entryList({"*.DX"}, QDir::Files),
                  QStringList({"1HIST.DX"}));
    }
}

TEST(AdminCommandLine, OptionsThatSayHowACommandIsDoneAreParsedAndChecked) {
    struct Case {
        QStringList arguments;
        CommandLineAction action;
    };
    const Case cases[] = {
        {{"--trainer", "/t", "--format", "xml", "--show"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--get", "colour"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--get", "history=auto"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--check"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--quiet", "--force"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--format", "json"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--get", "type", "--get", "location"}, CommandLineAction::Administer},
        {{"--trainer", "/t", "--list-deleted"}, CommandLineAction::Administer},
        {{"--trainer", "/t", "--check", "--format", "tsv", "--set", "f2=on"},
         CommandLineAction::Administer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(QStringList{"dexlan-options"} + c.arguments);
        EXPECT_EQ(line.action, c.action) << line.message.toStdString();
    }
    const CommandLine line = parseCommandLine(
        {"dexlan-options", "--trainer", "/t", "--format", "json", "--check", "--if-present",
         "--create-folder", "--force", "--quiet", "--delete-user", "Ann", "--get", "sounds"});
    ASSERT_EQ(line.action, CommandLineAction::Administer);
    EXPECT_EQ(line.admin.format, ReportFormat::Json);
    EXPECT_TRUE(line.admin.check && line.admin.ifPresent && line.admin.createFolder &&
                line.admin.force && line.admin.quiet);
    EXPECT_EQ(line.admin.get, QStringList({"sounds"}));

    const QString help = parseCommandLine({"dexlan-options", "--help"}).message;
    for (const char* status :
         {"\n  0  done", "\n  1  failed or refused", "\n  2  the command", "\n  3  with --check"})
        EXPECT_TRUE(help.contains(status)) << status;
}

TEST(AdminCommandLine, GetGivesEachValueInTheFormSetTakes) {
    struct Case {
        const char* key;
        QByteArray line; // the options file's line
        int entry;
        const char* value;
    };
    const Case cases[] = {
        {"history", "hist roster protected", EntryHistoryMode, "roster-protected"},
        {"history", "hist drive a:", EntryHistoryMode, "drive-a"},
        {"location", "hist home", EntryHistoryLocation, ""},
        {"location", "/srv/history/", EntryHistoryLocation, "/srv/history/"},
        {"f2", "f2 off", EntryManualAdvance, "off"},
        {"sounds", "sfx beep", EntrySounds, "beep"},
        {"documents", "documents on", EntryDocuments, "on"},
        {"type", "single computer", EntryInstallation, "single-computer"},
        {"type", "network", EntryInstallation, "network"},
        {"sounds", "sfx loud", EntrySounds, "sfx loud"}, // none known: as it stands
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        OptionLines lines;
        lines[c.entry] = c.line;
        const auto values = adminSettingValues(lines);
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const auto& one) { return one.first == c.key; });
        ASSERT_NE(found, values.end());
        EXPECT_EQ(found->second, c.value);
    }

    // What --get prints, --set takes back as the same setting: nothing changes.
    Trainer trainer;
    AdminRequest get;
    get.get = adminGetKeys();
    get.get.removeAll("type");
    const Ran got = administer(trainer, get);
    EXPECT_EQ(got.status, 0);
    const QStringList printed = got.out.split('\n');
    ASSERT_EQ(printed.size(), get.get.size() + 1) << got.out.toStdString();
    AdminRequest set;
    for (qsizetype i = 0; i < get.get.size(); ++i)
        set.settings.append(get.get[i] + "=" + printed[i]);
    const Ran again = administer(trainer, set);
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(again.out, "Nothing changed: Dexlan4.ini already holds these settings.\n");
    EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), kOptions);
}

TEST(AdminCommandLine, ANameToDeleteThatIsNotThereIsRefusedUnlessIfPresent) {
    struct Case {
        bool ifPresent;
        int status;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {false, 1, "", "dexlan-options: There is no one named  'Nobody'  in the user list.\n"},
        {true, 0, "Nobody is not on the list: nothing to delete.\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ifPresent);
        Trainer trainer({{1, "Ann"}});
        const auto before = everything(trainer);
        AdminRequest remove;
        remove.deleteUsers = {"Nobody"};
        remove.ifPresent = c.ifPresent;
        const Ran ran = administer(trainer, remove);
        EXPECT_EQ(ran.status, c.status);
        EXPECT_EQ(ran.out, c.out);
        EXPECT_EQ(ran.err, c.err);
        EXPECT_EQ(everything(trainer), before);
    }
}

// The administrator's playbook: the same command brings the installation to
// the wanted state, and run again finds it there.
TEST(AdminCommandLine, APlaybookRunTwiceChangesNothingTheSecondTime) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}, {3, "Cyd"}});
    AdminRequest remove;
    remove.deleteUsers = {"Cyd"};
    ASSERT_EQ(administer(trainer, remove).status, 0);

    AdminRequest playbook;
    playbook.settings = {"history=roster-protected", "sounds=none",
                         "location=" + trainer.folder.file("hist")};
    playbook.createFolder = true;
    playbook.deleteUsers = {"Bob", "Zed"};
    playbook.ifPresent = true;
    playbook.restoreUsers = {"Cyd"};
    playbook.addUsers = {"-"};
    playbook.format = ReportFormat::Json;
    // Cyd's history file stays where it was held: the new location starts empty,
    // so the roster's part is played in the trainer's own folder first.
    AdminRequest roster = playbook;
    roster.settings.clear();
    const QByteArray classList = "Ann\nDee\nEve\n";

    AdminRequest check = roster;
    check.check = true;
    const auto before = everything(trainer);
    Ran ran = administer(trainer, check, classList);
    EXPECT_EQ(ran.status, 3) << ran.err.toStdString();
    EXPECT_EQ(everything(trainer), before) << "a check changes nothing";
    QJsonObject json = jsonOf(ran);
    EXPECT_TRUE(json["check"].toBool());
    EXPECT_EQ(json["status"].toInt(), 3);

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ran = administer(trainer, roster, classList);
        EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
        EXPECT_EQ(ran.err, "");
        json = jsonOf(ran);
        EXPECT_EQ(json["schema"].toString(), "dexlan-options-report/1");
        EXPECT_EQ(json["trainer"].toString(), trainer.folder.path());
        EXPECT_FALSE(json["check"].toBool());
        EXPECT_EQ(json["status"].toInt(), 0);
        std::map<QString, QString> results; // action and name -> result
        for (const QJsonValue& value : json["changes"].toArray()) {
            const QJsonObject change = value.toObject();
            ASSERT_TRUE(change["changed"].isBool());
            EXPECT_EQ(
                change["changed"].toBool(),
                QStringList({"held", "restored", "added"}).contains(change["result"].toString()));
            results[change["action"].toString() + " " + change["name"].toString()] =
                change["result"].toString();
        }
        const std::map<QString, QString> expected =
            round == 1 ? std::map<QString, QString>{{"delete Bob", "held"},
                                                    {"delete Zed", "not-there"},
                                                    {"restore Cyd", "restored"},
                                                    {"add Ann", "already-there"},
                                                    {"add Dee", "added"},
                                                    {"add Eve", "added"}}
                       : std::map<QString, QString>{
                             {"delete Bob", "not-there"},      {"delete Zed", "not-there"},
                             {"restore Cyd", "already-there"}, {"add Ann", "already-there"},
                             {"add Dee", "already-there"},     {"add Eve", "already-there"}};
        EXPECT_EQ(results, expected);
    }
    check.check = true;
    ran = administer(trainer, check, classList);
    EXPECT_EQ(ran.status, 0) << "nothing would change now";

    AdminRequest settings = playbook;
    settings.deleteUsers.clear();
    settings.restoreUsers.clear();
    settings.addUsers.clear();
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ran = administer(trainer, settings);
        EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
        const QJsonArray changes = jsonOf(ran)["changes"].toArray();
        if (round == 1) {
            ASSERT_EQ(changes.size(), 2);
            EXPECT_EQ(changes[0].toObject()["action"].toString(), "create-folder");
            const QJsonObject set = changes[1].toObject();
            EXPECT_EQ(set["result"].toString(), "changed");
            EXPECT_TRUE(set["changed"].toBool());
            const QJsonArray lines = set["lines"].toArray();
            ASSERT_EQ(lines.size(), 3);
            EXPECT_EQ(lines[0].toObject()["line"].toInt(), 4);
            EXPECT_EQ(lines[0].toObject()["old"].toString(), "hist roster open");
            EXPECT_EQ(lines[0].toObject()["new"].toString(), "hist roster protected");
            EXPECT_EQ(lines[1].toObject()["line"].toInt(), 5);
            EXPECT_EQ(lines[2].toObject()["line"].toInt(), 11);
        } else {
            ASSERT_EQ(changes.size(), 1);
            EXPECT_EQ(changes[0].toObject()["result"].toString(), "unchanged");
            EXPECT_FALSE(changes[0].toObject()["changed"].toBool());
            EXPECT_TRUE(changes[0].toObject()["lines"].toArray().isEmpty());
        }
    }
}

// With --check, each kind of change is found and none is made.
TEST(AdminCommandLine, CheckTellsWhatWouldChangeAndChangesNothing) {
    struct Case {
        const char* what;
        std::function<void(AdminRequest&)> ask;
        int status;
        const char* out; // the start of it
    };
    const Case cases[] = {
        {"a setting", [](AdminRequest& r) { r.settings = {"sounds=beep"}; }, 3,
         "Line 11 would change: \"sfx all\" -> \"sfx beep\"\n"},
        {"a setting as it is", [](AdminRequest& r) { r.settings = {"sounds=all"}; }, 0,
         "Nothing changed"},
        {"a refused setting", [](AdminRequest& r) { r.settings = {"documents=on"}; }, 1, ""},
        {"a missing folder", [](AdminRequest& r) { r.settings = {"location=/nonexistent/h"}; }, 1,
         ""},
        {"a folder to make",
         [](AdminRequest& r) {
             r.settings = {"location=newfolder"};
             r.createFolder = true;
         },
         3, "Would make the folder "},
        {"a deletion", [](AdminRequest& r) { r.deleteUsers = {"Ann"}; }, 3,
         "Would delete Ann (number 1).\n"},
        {"a restore", [](AdminRequest& r) { r.restoreUsers = {"Bob"}; }, 3, "Would restore Bob.\n"},
        {"an add", [](AdminRequest& r) { r.addUsers = {"-"}; }, 3,
         "1 name would be added:\n    Cyd\n\n1 name already there:\n    Ann"},
        {"a listing", [](AdminRequest& r) { r.listUsers = true; }, 0, "1\tAnn\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Trainer trainer({{1, "Ann"}, {2, "Bob"}});
        AdminRequest remove;
        remove.deleteUsers = {"Bob"};
        ASSERT_EQ(administer(trainer, remove).status, 0);
        const auto before = everything(trainer);
        AdminRequest request;
        c.ask(request);
        request.check = true;
        const Ran ran = administer(trainer, request, "Cyd\nAnn\n");
        EXPECT_EQ(ran.status, c.status) << ran.err.toStdString();
        EXPECT_EQ(ran.out.left(qsizetype(strlen(c.out))), c.out);
        EXPECT_EQ(ran.err.isEmpty(), c.status != 1) << ran.err.toStdString();
        EXPECT_EQ(everything(trainer), before);
    }
}

TEST(AdminCommandLine, ALocationThatIsNotThereIsRefusedUnlessTheFolderIsToBeMade) {
    Trainer trainer;
    AdminRequest request;
    request.settings = {"sounds=none", "location=" + trainer.folder.file("hist")};
    Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 1);
    EXPECT_EQ(ran.out, "");
    // Named as the location is stored: on Windows with backslashes.
    EXPECT_TRUE(ran.err.contains(QDir::toNativeSeparators(trainer.folder.file("hist")),
                                 Qt::CaseInsensitive))
        << "the folder is named: " << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains("The history file location you have selected does not exist."));
    EXPECT_TRUE(ran.err.contains("--create-folder"));
    EXPECT_TRUE(ran.err.contains("Dexlan4.ini was not changed."));
    EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), kOptions);
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file("hist")));

    // Only the last level is made, as in the window.
    request.settings = {"sounds=none", "location=" + trainer.folder.file("a/b")};
    request.createFolder = true;
    ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("Dexlan4.ini was not changed.")) << ran.err.toStdString();
    EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), kOptions);
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file("a")));

    // Where no history file is kept, no folder is needed.
    request.settings = {"history=none", "location=" + trainer.folder.file("hist")};
    request.createFolder = false;
    ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file("hist")));
}

TEST(AdminCommandLine, ForceDeletesForGoodWhatCannotBeHeld) {
    Trainer trainer({{1, "Ann"}});
    trainer.folder.write(".deleted", "a file in the way");
    AdminRequest remove;
    remove.deleteUsers = {"Ann"};
    remove.force = true;
    AdminRequest check = remove;
    check.check = true;
    check.force = false;
    EXPECT_EQ(administer(trainer, check).status, 1) << "refused without --force";
    check.force = true;
    EXPECT_EQ(administer(trainer, check).status, 3);
    EXPECT_TRUE(QFileInfo::exists(trainer.folder.file("1HIST.DX")));

    const Ran ran = administer(trainer, remove);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, "Deleted Ann (number 1) for good.\n");
    EXPECT_TRUE(ran.err.contains(".deleted is a file, not a folder.")) << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains(
        "The name Ann cannot be kept for restoring, so this deletion cannot be undone."));
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file("1HIST.DX")));
    EXPECT_EQ(trainer.folder.read(".deleted"), "a file in the way");
}

TEST(AdminCommandLine, QuietKeepsOnlyRefusalsAndWhatWasAskedFor) {
    Trainer trainer({{1, "Ann"}});
    AdminRequest request;
    request.settings = {"sounds=none"};
    request.addUsers = {"-"};
    request.deleteUsers = {"Nobody"};
    request.listUsers = true;
    request.quiet = true;
    for (const ReportFormat format : {ReportFormat::Text, ReportFormat::Tsv}) {
        request.format = format;
        const Ran ran = administer(trainer, request, "Bob\n");
        EXPECT_EQ(ran.status, 1);
        EXPECT_EQ(ran.out, "1\tAnn\n2\tBob\n");
        EXPECT_EQ(ran.err, "dexlan-options: There is no one named  'Nobody'  in the user list.\n");
    }
    request.listUsers = false;
    request.format = ReportFormat::Json;
    const Ran ran = administer(trainer, request, "Bob\n");
    EXPECT_EQ(ran.out, "") << "nothing asked that is printed";
    EXPECT_FALSE(ran.err.isEmpty());
}

TEST(AdminCommandLine, ListingsAndTheirFormats) {
    Trainer trainer({{1, "Bob"}, {2, "Ann"}, {3, "Cyd"}});
    AdminRequest remove;
    remove.deleteUsers = {"Cyd"};
    ASSERT_EQ(administer(trainer, remove).status, 0);

    AdminRequest request;
    request.listUsers = true;
    request.listDeleted = true;
    request.get = {"sounds", "type"};
    request.format = ReportFormat::Tsv;
    Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0);
    const QString held = ran.out.split('\n')[2];
    EXPECT_EQ(ran.out, "2\tAnn\n1\tBob\n" + held + "\nsounds\tall\ntype\tnetwork\n");
    EXPECT_EQ(held, "3\tCyd\t2026-12-10T11:42:00Z");

    request.format = ReportFormat::Text;
    ran = administer(trainer, request);
    EXPECT_TRUE(ran.out.contains("\nCyd (number 3), deleted on 2026-12-10 "))
        << ran.out.toStdString();
    EXPECT_TRUE(ran.out.endsWith("\nall\nnetwork\n"));

    request.format = ReportFormat::Json;
    request.show = true;
    ran = administer(trainer, request);
    const QJsonObject json = jsonOf(ran);
    EXPECT_TRUE(json["changes"].toArray().isEmpty());
    const QJsonArray users = json["users"].toArray();
    ASSERT_EQ(users.size(), 2);
    EXPECT_EQ(users[0].toObject()["name"].toString(), "Ann");
    EXPECT_EQ(users[0].toObject()["number"].toInt(), 2);
    const QJsonArray deleted = json["deleted"].toArray();
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(deleted[0].toObject()["name"].toString(), "Cyd");
    EXPECT_EQ(deleted[0].toObject()["number"].toInt(), 3);
    EXPECT_EQ(QDateTime::fromString(deleted[0].toObject()["deleted_at"].toString(), Qt::ISODate),
              kNow);
    EXPECT_EQ(json["values"].toObject()["sounds"].toString(), "all");
    EXPECT_EQ(json["values"].toObject()["type"].toString(), "network");
    EXPECT_EQ(json["settings"].toObject()["history"].toString(), "roster-open");
    EXPECT_EQ(json["settings"].toObject()["location"].toString(), "");
    const QJsonArray lines = json["lines"].toArray();
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[7].toString(), QString::fromUtf8("été")) << "line 8, in the code page";

    request = {};
    request.show = true;
    request.format = ReportFormat::Tsv;
    ran = administer(trainer, request);
    EXPECT_EQ(ran.out, "history\troster-open\nlocation\t\nf2\ton\nsounds\tall\n"
                       "documents\toff\ntype\tnetwork\n");
}

TEST(AdminCommandLine, ChangesAsRowsForAScript) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}});
    AdminRequest request;
    request.settings = {"f2=off"};
    request.deleteUsers = {"Bob", "Nobody"};
    request.addUsers = {"-"};
    request.format = ReportFormat::Tsv;
    const Ran ran = administer(trainer, request, "Ann\nCyd\n\xc5\x81ucja\n");
    EXPECT_EQ(ran.status, 1);
    EXPECT_EQ(ran.out, "set\tchanged\t10\tf2 on\tf2 off\n"
                       "add\tadded\t3\tCyd\t\n"
                       "add\talready-there\t1\tAnn\talready on the list\n")
        << "refusals go to stderr only";
    EXPECT_TRUE(ran.err.contains("There is no one named  'Nobody'"));
    EXPECT_TRUE(ran.err.contains(QString::fromUtf8("1 name refused:\n    Łucja: ")));
}

TEST(AdminCommandLine, AMissingOrWrongTrainerIsNamed) {
    TestFolder empty;
    empty.write("Dexlan4.ini", kOptions);
    const QString missing = empty.file("gone");
    struct Case {
        QString trainer;
        QString said;
    };
    const Case cases[] = {
        {missing, missing + ": no such folder."},
        {empty.path(), empty.path() + ": \"Corvantis Dexlan Trainer 4.exe\" is not there."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trainer.toStdString());
        AdminRequest request;
        request.show = true;
        request.trainer = c.trainer;
        request.format = ReportFormat::Json;
        QString out, err;
        QTextStream o(&out), e(&err);
        QBuffer in;
        in.open(QIODevice::ReadOnly);
        EXPECT_EQ(runAdministration(request, o, e, in, kNow), 1);
        EXPECT_TRUE(err.startsWith("dexlan-options: " + c.said + "\n")) << err.toStdString();
        EXPECT_TRUE(err.contains("You must select the correct location")) << err.toStdString();
        EXPECT_EQ(jsonOf({1, out, err})["status"].toInt(), 1);
    }

    Trainer trainer;
    QFile::remove(trainer.folder.file("Dexlan4.ini"));
    AdminRequest request;
    request.show = true;
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("There is no Corvantis Options 4.ini file at this location."));
    EXPECT_TRUE(ran.err.contains("The trainer's folder: " + trainer.folder.path()))
        << ran.err.toStdString();
}

} // namespace
} // namespace dexlan
