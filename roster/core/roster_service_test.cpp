// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/roster_service.h"

#include "options_file/options_file.h"
#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_messages.h"
#include "testing/test_files.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace dexlan {
namespace {

using testing::TestFolder;

class RosterServiceTest : public ::testing::Test {
  protected:
    RosterServiceTest() {
        state.programFolder = program.path();
        state.pathPolicy = PathPolicy::native();
        state.startupDone = true;
        state.optionLines[EntryHistoryMode] = values::kHistRosterOpen;
        state.historyFolder = users.path();
    }

    void writeUser(const QString& fileName, const QByteArray& name) {
        users.write(fileName, '"' + name + "\"\r\n 0\r\n");
    }

    // Answers each question with the answer given for its prompt's first
    // line, and notes the questions asked.
    RosterQuestion answering(std::map<QString, MsgAnswer> answers = {}) {
        return [this, answers = std::move(answers)](const MsgBoxRequest& question) {
            asked.append(question.prompt);
            const auto found = answers.find(question.prompt.section(QLatin1Char('\r'), 0, 0));
            return found == answers.end() ? MsgAnswer::Ok : found->second;
        };
    }

    QStringList names() const {
        QStringList shown;
        for (int row = 0; row < service.model().rowCount(); ++row)
            shown.append(service.model().text(row));
        return shown;
    }

    TestFolder program;
    TestFolder users;
    SharedState state;
    RosterService service{state};
    QStringList asked;
};

TEST_F(RosterServiceTest, AddingANameAnswersOneOutcomeWithItsMessage) {
    writeUser("1hist.dx", "Ann");
    ASSERT_EQ(service.list(users.path(), true).status, RosterOutcome::Done);
    // Another copy adds Bob after the list was read: the folder decides.
    writeUser("2hist.dx", "Bob");

    const struct {
        const char* name;
        RosterOutcome::Status status;
        std::optional<MsgBoxRequest> message;
    } cases[] = {
        {"Cy", RosterOutcome::Done, std::nullopt},
        {"Bob", RosterOutcome::Duplicate, duplicateNameReport(QStringLiteral("Bob"))},
        {"Ann", RosterOutcome::Duplicate, duplicateNameReport(QStringLiteral("Ann"))},
        {"Tab\there", RosterOutcome::Refused,
         unstorableNameReport(QStringLiteral("Tab\there"), UnstorableReason::ControlCharacter,
                              CodePage::windows1252())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RosterOutcome outcome = service.addName(QString::fromUtf8(c.name), answering());
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.message, c.message);
    }
    EXPECT_EQ(names(), (QStringList{"Ann", "Bob", "Cy"}));
    EXPECT_TRUE(users.read(QStringLiteral("3") + kNewHistorySuffix).startsWith("\"Cy\"\r\n")) << "the smallest free number";
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(RosterServiceTest, AddingToAMissingFolderAsksAndANoLeavesNothing) {
    state.historyFolder = users.file("gone/");
    const RosterOutcome declined =
        service.addName(QStringLiteral("Ann"), answering({{addFolderQuestion(service.shownFolder())
                                                               .prompt.section('\r', 0, 0),
                                                           MsgAnswer::No}}));
    EXPECT_EQ(declined.status, RosterOutcome::Declined);
    EXPECT_FALSE(declined.message);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(users.file("gone")));
    EXPECT_TRUE(names().isEmpty());
}

TEST_F(RosterServiceTest, DeletingAnswersWhatBecameOfTheFile) {
    writeUser("1hist.dx", "Ann");
    writeUser("2hist.dx", "Bob");
    writeUser("-5hist.dx", "Minus");
    writeUser("3hist.dx", "Cy");
    ASSERT_EQ(service.list(users.path(), true).status, RosterOutcome::Done);
    const auto rowOf = [this](const char* name) {
        return service.model().rowOf(QString::fromLatin1(name));
    };

    // The one question of the window's life, answered Cancel: nothing happens.
    state.confirmDelete = true;
    const RosterOutcome cancelled = service.deleteUser(
        rowOf("Ann"), answering({{deleteQuestion(QStringLiteral("Ann")).prompt.section('\r', 0, 0),
                                  MsgAnswer::Cancel}}));
    EXPECT_EQ(cancelled.status, RosterOutcome::Declined);
    EXPECT_TRUE(state.confirmDelete) << "asked again next time";
    EXPECT_TRUE(QFileInfo::exists(users.file("1hist.dx")));

    const RosterOutcome deleted = service.deleteUser(rowOf("Ann"), answering());
    EXPECT_EQ(deleted.status, RosterOutcome::Done);
    EXPECT_FALSE(deleted.message);
    EXPECT_FALSE(state.confirmDelete);
    EXPECT_FALSE(QFileInfo::exists(users.file("1hist.dx")));
    ASSERT_EQ(listHeldNames(users.path()).size(), 1u) << "held, so that it can be restored";

    const RosterOutcome noNumber = service.deleteUser(rowOf("Minus"), answering());
    EXPECT_EQ(noNumber.status, RosterOutcome::Refused);
    EXPECT_EQ(noNumber.message, noUserNumberReport(QStringLiteral("Minus")));
    EXPECT_EQ(service.deleteUser(-1, answering()).status, RosterOutcome::Unchanged)
        << "no row, nothing to do";

    // Another administrator gave number 2 to somebody else meanwhile.
    writeUser("2hist.dx", "Dee");
    const RosterOutcome replaced = service.deleteUser(rowOf("Bob"), answering());
    EXPECT_EQ(replaced.status, RosterOutcome::Stale);
    EXPECT_EQ(replaced.message, replacedFileReport(QStringLiteral("Bob"), QStringLiteral("Dee"),
                                                   users.file("2hist.dx")));
    EXPECT_EQ(users.read("2hist.dx").left(5), "\"Dee\"");
    EXPECT_EQ(names(), (QStringList{"Bob", "Cy", "Minus"}));
}

TEST_F(RosterServiceTest, RestoringMapsEachResultToItsMessage) {
    writeUser("1hist.dx", "Ann");
    ASSERT_EQ(service.list(users.path(), true).status, RosterOutcome::Done);
    ASSERT_EQ(service.deleteUser(0, answering()).status, RosterOutcome::Done);
    const HeldName held = listHeldNames(users.path()).at(0);

    // A new Ann came meanwhile: the held one cannot come back beside her.
    writeUser("2hist.dx", "Ann");
    const RosterOutcome onList = RosterService::restore(users.path(), held);
    EXPECT_EQ(onList.status, RosterOutcome::Duplicate);
    EXPECT_EQ(onList.message, duplicateNameReport(QStringLiteral("Ann")));

    QFile::remove(users.file("2hist.dx"));
    writeUser("1hist.dx", "Bob"); // her own number is taken by now
    const RosterOutcome restored = RosterService::restore(users.path(), held);
    EXPECT_EQ(restored.status, RosterOutcome::Done);
    EXPECT_GT(restored.number, 1);
    EXPECT_EQ(restored.message,
              restoredUnderOtherNumberReport(QStringLiteral("Ann"), 1, restored.number));
    EXPECT_TRUE(QFileInfo::exists(restored.path));

    // Restored already (and since deleted by hand): nothing is held under it.
    QFile::remove(restored.path);
    const RosterOutcome again = RosterService::restore(users.path(), held);
    EXPECT_EQ(again.status, RosterOutcome::Unchanged);
    EXPECT_EQ(again.message, noLongerHeldReport(QStringLiteral("Ann")));
}

TEST_F(RosterServiceTest, ABackgroundReadingIsShownOnceItsWatcherTellsItEnded) {
    for (int n = 1; n <= 300; ++n)
        writeUser(QString::number(n) + QStringLiteral("hist.dx"), "User " + QByteArray::number(n));
    int listChanges = 0;
    QObject::connect(&service, &RosterService::listChanged, [&listChanges] { ++listChanges; });
    QEventLoop loop;
    QObject::connect(&service, &RosterService::backgroundReadingFinished, &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, [&loop] { loop.exit(1); });

    service.readInBackground(users.path(), true);
    EXPECT_TRUE(service.isReadingInBackground());
    service.startReading();
    ASSERT_EQ(loop.exec(), 0) << "the watcher tells when the reading is whole";
    EXPECT_EQ(listChanges, 0) << "shown only when taken";

    const RosterOutcome taken = service.settleReading();
    EXPECT_EQ(taken.status, RosterOutcome::Done);
    EXPECT_FALSE(service.isReadingInBackground());
    EXPECT_EQ(service.model().rowCount(), 300);
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(service.settleReading().status, RosterOutcome::Unchanged) << "taken once";

    // The location changed while it was read: that reading is never shown.
    TestFolder other;
    service.readInBackground(users.path(), true);
    state.historyFolder = other.path();
    EXPECT_EQ(service.settleReading().status, RosterOutcome::Unchanged);
    EXPECT_EQ(listChanges, 1);
}

TEST_F(RosterServiceTest, AClassListIsPlannedAgainstTheFolderAndAskedAboutOnce) {
    writeUser("1hist.dx", "Ann");
    ASSERT_EQ(service.list(users.path(), true).status, RosterOutcome::Done);
    writeUser("2hist.dx", "Bob"); // added elsewhere after the list was read

    const RosterOutcome declined = service.addNames(
        {"Bob", "Cy"},
        answering({{bulkAddQuestion(1).prompt.section('\r', 0, 0), MsgAnswer::No}}));
    EXPECT_EQ(declined.status, RosterOutcome::Declined);
    EXPECT_FALSE(declined.bulkAdded);
    EXPECT_EQ(asked, (QStringList{bulkAddQuestion(1).prompt}));
    EXPECT_FALSE(QFileInfo::exists(users.file("3hist.dx")));

    const RosterOutcome added = service.addNames(
        {"Bob", "Cy"},
        answering({{bulkAddQuestion(1).prompt.section('\r', 0, 0), MsgAnswer::Yes}}));
    EXPECT_EQ(added.status, RosterOutcome::Done);
    ASSERT_TRUE(added.bulkAdded);
    ASSERT_EQ(added.bulkAdded->added.size(), 1u);
    EXPECT_EQ(added.bulkAdded->added.front().number, 3);
    EXPECT_EQ(added.bulkAdded->refused.size(), 1u);
    EXPECT_EQ(names(), (QStringList{"Ann", "Bob", "Cy"}));
    EXPECT_TRUE(service.listedAndUnchanged(users.path())) << "the new file counted in";
}

} // namespace
} // namespace dexlan
