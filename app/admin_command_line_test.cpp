// SPDX-License-Identifier: GPL-3.0-or-later
// The administrator's command line, run in the test's own process.
#include "app/admin_command_line.h"
#include "app/command_line.h"
#include "platform/path_policy.h"

#include "platform/regular_file.h"
#include "roster/bulk_add.h"
#include "roster/held_names.h"
#include "roster/history_file.h"
#include "roster/history_folder.h"
#include "roster/roster_test_files.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <map>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dexlan {
namespace {

using testing::TestFolder;

const QDateTime kNow = QDateTime(QDate(2026, 12, 10), QTime(11, 42), QTimeZone::utc());

const QByteArray& kOptions = testing::kTrainersOwnLinesOptions;

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

Ran administer(const Trainer& trainer, AdminRequest request, const QByteArray& input = {},
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
void heldDaysAgo(const QString& historyFolder, double days) {
    for (const HeldName& held : listHeldNames(historyFolder))
        testing::heldDaysAgo(held.notePath, days);
}

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

TEST(AdminCommandLine, HelpShowsEveryOptionWithAnExample) {
    const QString help = parseCommandLine({"dexlan-options", "--help"}).message;
    for (const char* option : {"--trainer", "--show", "--set", "--list-users", "--add-users",
                               "--delete-user", "--restore-user"}) {
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
    EXPECT_TRUE(trainer.folder.read("Dexlan4.ini").contains("documents off\r\n"));
    EXPECT_TRUE(trainer.folder.read("Dexlan4.ini").contains("sfx beep\r\n"))
        << "what was not refused is done";

    Trainer installed({}, true);
    request.settings = {"documents=on"};
    EXPECT_EQ(administer(installed, request).status, 0);
    EXPECT_TRUE(installed.folder.read("Dexlan4.ini").contains("documents on\r\n"));
}

TEST(AdminCommandLine, LocationIsStoredAsTheWindowStoresIt) {
    Trainer trainer;
    AdminRequest request;
    request.settings = {"location=" + trainer.folder.file("hist")};
    Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains("The history file location you have selected does not exist."))
        << "saved, but the administrator is told";
    const PathPolicy policy = PathPolicy::native();
    const QString stored = policy.locationCase(policy.withTrailingSeparator(trainer.folder.file("hist")));
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
    EXPECT_TRUE(ran.out.contains("Deleted Bob (number 2)"));
    EXPECT_TRUE(ran.err.contains("There is no one named  'Nobody'  in the user list."));
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file("2HIST.DX")));

    trainer.folder.write("2HIST.DX", userFile("Cyd")); // the number is given away
    AdminRequest restore;
    restore.restoreUsers = {"Bob"};
    restore.listUsers = true;
    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out, "Restored Bob (number 3).\n1\tAnn\n3\tBob\n2\tCyd\n");
    EXPECT_TRUE(ran.err.contains("The number 2 of Bob has been given to another user"));
    EXPECT_EQ(trainer.folder.read("3HIST.DX"), bob);

    ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("Bob is not among the deleted names."));
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
    EXPECT_EQ(ran.out, "Restored Ann %2 %3 (number 2).\n");
    EXPECT_TRUE(ran.err.contains("The number 1 of Ann %2 %3 has been given to another user since "
                                 "Ann %2 %3 was deleted."))
        << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains("Ann %2 %3 is back in the user list under the number 2."))
        << ran.err.toStdString();

    remove.deleteUsers = {name};
    ASSERT_EQ(administer(trainer, remove).status, 0);
    heldDaysAgo(trainer.folder.path(), kHeldDays + 1);
    AdminRequest add;
    add.addUsers = {"-"};
    ran = administer(trainer, add, "Dee\n");
    EXPECT_TRUE(ran.err.contains("Ann %2 %3, deleted on ")) << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains(" was kept 30 days and is now erased.")) << ran.err.toStdString();
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
    EXPECT_TRUE(ran.err.contains(
        "Ann was not deleted: the history file cannot be kept for restoring."));
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
    EXPECT_TRUE(ran.err.contains("Ann, deleted on ")) << ran.err.toStdString();
    EXPECT_TRUE(ran.err.contains(" was kept 30 days and is now erased."));
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
    const Ran ran = administer(trainer, add, "Bob\r\nAnn\r\n\r\nCyd\r\n");
    EXPECT_EQ(ran.status, 1);
    EXPECT_EQ(ran.out, "2 names added:\n    Bob\n    Cyd\n\n1 name refused:\n"
                       "    Ann: already on the list\n");
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
    // One added them all; the other found every name there already.
    std::sort(statuses.begin(), statuses.end());
    EXPECT_EQ(statuses, (std::vector<int>{0, 1}));

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

} // namespace
} // namespace dexlan
