// SPDX-License-Identifier: GPL-3.0-or-later
// Many at once: batches of names to delete or restore, several trainers in
// one command, and the record of what each change did.
#include "app/admin_test_fixture.h"
#include "app/command_line.h"
#include "options_file/change_log.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <set>

namespace dexlan {
namespace {

using namespace admin_test;

std::set<int> numbersOnList(const Trainer& trainer) {
    std::set<int> numbers;
    for (const ListedUser& user : listUsers(trainer.folder.path()).users)
        numbers.insert(user.number);
    return numbers;
}

std::set<int> numbersHeld(const Trainer& trainer) {
    std::set<int> numbers;
    for (const HeldName& held : listHeldNames(trainer.folder.path()))
        numbers.insert(held.number);
    return numbers;
}

// Each change of a JSON report as "action result name number".
QStringList changesOf(const QJsonObject& report) {
    QStringList changes;
    for (const QJsonValue& value : report["changes"].toArray()) {
        const QJsonObject change = value.toObject();
        changes.append(QStringLiteral("%1 %2 %3 %4")
                           .arg(change["action"].toString(), change["result"].toString(),
                                change["name"].toString())
                           .arg(change["number"].toInt()));
    }
    return changes;
}

TEST(AdminBatch, DeletionsByNameAndNumberAllOrNothing) {
    struct Case {
        const char* what;
        QByteArray list;
        bool ifPresent;
        int status;
        std::set<int> held; // the numbers held afterwards
        QStringList changes;
    };
    const Case cases[] = {
        {"names", "Ann\nCyd\n", false, 0, {1, 3}, {"delete held Ann 1", "delete held Cyd 3"}},
        {"one of two namesakes by number",
         "#4\r\nDee\n",
         false,
         0,
         {4, 5},
         {"delete held Bob 4", "delete held Dee 5"}},
        {"blank lines skipped, one user named twice",
         "Ann\n\n   \n#1\n",
         false,
         0,
         {1},
         {"delete held Ann 1"}},
        {"a namesake by name is refused",
         "Ann\nBob\n",
         false,
         1,
         {},
         {"delete refused Ann 1", "delete refused Bob 0"}},
        {"a missing name stops the batch",
         "Ann\nZed\nCyd\n",
         false,
         1,
         {},
         {"delete refused Ann 1", "delete refused Zed 0", "delete refused Cyd 3"}},
        {"a missing number stops the batch",
         "#99\nAnn\n",
         false,
         1,
         {},
         {"delete refused #99 0", "delete refused Ann 1"}},
        {"a missing name with --if-present",
         "Ann\nZed\n#99\n",
         true,
         0,
         {1},
         {"delete held Ann 1", "delete not-there Zed 0", "delete not-there #99 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Trainer trainer({{1, "Ann"}, {2, "Bob"}, {3, "Cyd"}, {4, "Bob"}, {5, "Dee"}});
        trainer.folder.write("leavers.txt", c.list);
        AdminRequest request;
        request.deleteUserLists = {trainer.folder.file("leavers.txt")};
        request.ifPresent = c.ifPresent;
        request.format = ReportFormat::Json;
        const Ran ran = administer(trainer, request);
        EXPECT_EQ(ran.status, c.status) << ran.err.toStdString();
        EXPECT_EQ(changesOf(jsonOf(ran)), c.changes);
        EXPECT_EQ(numbersHeld(trainer), c.held);
        std::set<int> remaining{1, 2, 3, 4, 5};
        for (const int held : c.held)
            remaining.erase(held);
        EXPECT_EQ(numbersOnList(trainer), remaining);
        EXPECT_EQ(ran.err.isEmpty(), c.status == 0) << ran.err.toStdString();
    }
}

TEST(AdminBatch, NamesFromStandardInputAndOnTheCommandLineTogether) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}, {3, "Bob"}});
    AdminRequest request;
    request.deleteUsers = {"#3"};
    request.deleteUserLists = {"-"};
    const Ran ran = administer(trainer, request, "Ann\n");
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_EQ(ran.out,
              "Deleted Bob (number 3); --restore-user brings the name back within 30 days.\n"
              "Deleted Ann (number 1); --restore-user brings the name back within 30 days.\n");
    EXPECT_EQ(numbersOnList(trainer), std::set<int>{2});

    // Brought back in one batch, by the number the user had; Bob cannot
    // come back beside the other Bob, whatever the way he is named.
    AdminRequest restore;
    restore.restoreUserLists = {"-"};
    Ran restored = administer(trainer, restore, "#1\n");
    EXPECT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(restored.out, "Restored Ann (number 1).\n");
    EXPECT_EQ(numbersOnList(trainer), (std::set<int>{1, 2}));
    restored = administer(trainer, restore, "#3\n");
    EXPECT_EQ(restored.status, 1);
    EXPECT_TRUE(restored.err.contains("'Bob'")) << restored.err.toStdString();
    EXPECT_EQ(numbersHeld(trainer), std::set<int>{3});
    restore.restoreUserLists = {};
    restore.restoreUsers = {"Ann"};
    restored = administer(trainer, restore);
    EXPECT_EQ(restored.status, 0);
    EXPECT_EQ(restored.out, "Ann is on the list already: nothing to restore.\n");
}

TEST(AdminBatch, ARestoreBatchWithARefusedNameRestoresNoOne) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}});
    AdminRequest remove;
    remove.deleteUsers = {"Ann", "Bob"};
    ASSERT_EQ(administer(trainer, remove).status, 0);
    AdminRequest restore;
    restore.restoreUsers = {"Ann", "Zed", "#2"};
    restore.format = ReportFormat::Json;
    const Ran ran = administer(trainer, restore);
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(ran.err.contains("Zed is not among the deleted names.")) << ran.err.toStdString();
    EXPECT_EQ(changesOf(jsonOf(ran)), QStringList({"restore refused Ann 1", "restore refused Zed 0",
                                                   "restore refused Bob 2"}));
    EXPECT_EQ(numbersHeld(trainer), (std::set<int>{1, 2}));
    EXPECT_TRUE(numbersOnList(trainer).empty());
}

// One command for several trainers: each reported on its own lines, and the
// worst status; the trainer that fails stops none of the others.
TEST(AdminBatch, SeveralTrainersEachReportedWithTheWorstStatus) {
    Trainer first, second;
    TestFolder empty; // no trainer there
    const QStringList trainers = {first.folder.path(), empty.path(), second.folder.path()};
    AdminRequest request;
    request.trainers = trainers;
    request.settings = {"sounds=none"};

    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QBuffer input;
    input.open(QIODevice::ReadOnly);
    int status = administerEach(request, outStream, errStream, input, kNow);
    EXPECT_EQ(status, kAdminRefused);
    EXPECT_EQ(out, first.folder.path() + ": Line 11: \"sfx all\" -> \"sfx none\"\n" +
                       second.folder.path() + ": Line 11: \"sfx all\" -> \"sfx none\"\n");
    for (const QString& line : err.split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(empty.path() + ": ")) << line.toStdString();
    EXPECT_TRUE(err.contains("no such folder") || err.contains("is not there"))
        << err.toStdString();

    // A list of trainers, in JSON: one document a line, each its own status.
    empty.write("trainers.txt",
                (first.folder.path() + "\n\n" + second.folder.path() + "\n").toUtf8());
    request.trainers = {};
    request.trainerLists = {empty.file("trainers.txt")};
    request.check = true;
    request.format = ReportFormat::Json;
    out.clear();
    err.clear();
    status = administerEach(request, outStream, errStream, input, kNow);
    EXPECT_EQ(status, kAdminDone) << err.toStdString();
    const QStringList documents = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(documents.size(), 2);
    for (qsizetype i = 0; i < documents.size(); ++i) {
        const QJsonObject report = QJsonDocument::fromJson(documents[i].toUtf8()).object();
        EXPECT_EQ(report["trainer"].toString(), (i ? second : first).folder.path());
        EXPECT_EQ(report["status"].toInt(), kAdminDone);
        EXPECT_EQ(changesOf(report), QStringList({"set unchanged  0"}));
    }
}

TEST(AdminBatch, TheCommandLineTakesTheNewOptions) {
    struct Case {
        QStringList arguments;
        CommandLineAction action;
    };
    const Case cases[] = {
        {{"--trainer", "/t", "--delete-users", "-", "--add-users", "-"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--trainer", "/u"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--log", "x"}, CommandLineAction::Refuse},
        {{"--trainer", "/t", "--trainer", "/u", "--show"}, CommandLineAction::Administer},
        {{"--trainers", "rooms.txt", "--show"}, CommandLineAction::Administer},
        {{"--trainer", "/t", "--restore-users", "-", "--delete-user", "#12"},
         CommandLineAction::Administer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(QStringList{"dexlan-options"} + c.arguments);
        EXPECT_EQ(line.action, c.action) << line.message.toStdString();
    }
    EXPECT_EQ(parseCommandLine({"dexlan-options", "--trainer", "/t", "--log"}).admin.logLines,
              kDefaultLogLines);
    EXPECT_EQ(parseCommandLine({"dexlan-options", "--trainer", "/t", "--log", "5"}).admin.logLines,
              5);
    EXPECT_EQ(parseCommandLine({"dexlan-options", "--trainer", "/t", "--trainer", "/u", "--show"})
                  .admin.trainers,
              QStringList({"/t", "/u"}));
}

// Every change the command line makes is one line of the record, with who
// made it and where; a check or a listing records nothing.
TEST(AdminBatch, ChangesAreRecordedAndShownByLog) {
    Trainer trainer({{1, "Ann"}, {2, "Bob"}});
    AdminRequest request;
    request.settings = {"sounds=none"};
    request.deleteUsers = {"Ann"};
    request.check = true;
    administer(trainer, request);
    EXPECT_FALSE(QFileInfo::exists(trainer.folder.file(kChangeLogName)));
    request.check = false;
    ASSERT_EQ(administer(trainer, request).status, 0);
    AdminRequest add;
    add.addUsers = {"-"};
    ASSERT_EQ(administer(trainer, add, "Cyd\nBob\n").status, 0);

    AdminRequest log;
    log.logLines = 3;
    const Ran ran = administer(trainer, log);
    const QStringList lines = ran.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << ran.out.toStdString();
    QStringList what;
    for (const QString& line : lines) {
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 8) << line.toStdString();
        EXPECT_EQ(fields[3], "command line");
        EXPECT_TRUE(QDateTime::fromString(fields[0], Qt::ISODate).isValid());
        what.append(fields.mid(4).join('|'));
    }
    EXPECT_EQ(what, QStringList(
                        {"held|Ann|1|", "class-list|||1 of 2 names added from -", what.value(2)}));
    EXPECT_TRUE(what.value(2).startsWith("added|Cyd|")) << what.value(2).toStdString();
    EXPECT_TRUE(QString::fromUtf8(trainer.folder.read(kChangeLogName))
                    .contains("\tset\t\t\tline 11: \"sfx all\" -> \"sfx none\"\n"));
}

} // namespace
} // namespace dexlan
