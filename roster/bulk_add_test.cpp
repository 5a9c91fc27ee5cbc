// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/bulk_add.h"

#include "roster/history_folder.h"
#include "roster/roster_test_files.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::fixedRandoms;
using testing::TestFolder;

TEST(ClassList, DecodedAsUtf8OrElseInTheCodePage) {
    EXPECT_EQ(decodeClassList("Zo\xc3\xab\nAnn"), QString::fromUtf8("Zoë\nAnn"));
    EXPECT_EQ(decodeClassList("\xef\xbb\xbfZo\xc3\xab"), QString::fromUtf8("Zoë"))
        << "the byte-order mark is no part of the first name";
    EXPECT_EQ(decodeClassList("Zo\xeb\r\nJos\xe9"), QString::fromUtf8("Zoë\r\nJosé"));
    EXPECT_EQ(decodeClassList("\x80uro"), QString::fromUtf8("€uro"));
}

TEST(ClassList, NamesAreTheFirstColumnOfEachLine) {
    struct Case {
        const char* text;
        bool firstColumnOnly;
        QStringList names;
    };
    const Case cases[] = {
        {"Ann\r\nBob\rCyd\n\n  \nDee  \n", false, {"Ann", "Bob", "Cyd", "Dee"}},
        {"Smith, Ann\tclass 4\n", false, {"Smith, Ann"}},
        {"Ann,4b,12\n\"Smith, Bob\",4b\n\"Say \"\"Hi\"\"\",x\n",
         true,
         {"Ann", "Smith, Bob", "Say \"Hi\""}},
        {"Ann;4b\n,no first name\n", true, {"Ann", ""}},
        {"Ann\tBob\n", true, {"Ann"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(namesFromClassList(QString::fromUtf8(c.text), c.firstColumnOnly), c.names);
    }
}

TEST(BulkAddPlan, EachNameIsCheckedAsTheNameBoxChecksIt) {
    const QStringList names = {"Ann",
                               "ann",
                               "Bob",
                               "",
                               "Ann",
                               QString::fromUtf8("Łucja"),
                               QString(31, QLatin1Char('x')),
                               QString(30, QLatin1Char('y')),
                               "Eve\x01"};
    const BulkAddPlan plan = planBulkAdd(names, {"Bob", "Cyd"});
    QStringList added;
    for (const PlannedName& name : plan.toAdd)
        added.append(name.name);
    EXPECT_EQ(added, QStringList({"Ann", "ann", QString(30, QLatin1Char('y'))}));
    const std::vector<RefusedName> refused = {
        {"Bob", RefusalReason::AlreadyOnList, {}},
        {"", RefusalReason::Empty, {}},
        {"Ann", RefusalReason::GivenTwice, {}},
        {QString::fromUtf8("Łucja"), RefusalReason::CannotBeStored, {}},
        {QString(31, QLatin1Char('x')), RefusalReason::TooLong, {}},
        {"Eve\x01", RefusalReason::CannotBeStored, {}},
    };
    EXPECT_EQ(plan.refused, refused);
}

TEST(BulkAdd, NamesFillTheFreeNumbersEachInAWholeFile) {
    TestFolder folder;
    folder.write("1HIST.DX", newHistoryFileBytes("Ann", fixedRandoms()));
    folder.write("3HIST.DX", newHistoryFileBytes("Cyd", fixedRandoms()));
    const BulkAddPlan plan = planBulkAdd({"Bob", "Dee", "Ann"}, {"Ann", "Cyd"});
    const BulkAddResult result =
        carryOutBulkAdd(folder.path(), plan, {1, 3}, fixedRandoms, [] { return false; });

    ASSERT_EQ(result.added.size(), 2u);
    EXPECT_EQ(result.added[0].number, 2);
    EXPECT_EQ(result.added[1].number, 4);
    EXPECT_EQ(folder.read("2HIST.DX"), newHistoryFileBytes("Bob", fixedRandoms()));
    EXPECT_EQ(folder.read("4HIST.DX"), newHistoryFileBytes("Dee", fixedRandoms()));
    EXPECT_EQ(
        bulkAddSummaryText(result),
        "2 names added:\n    Bob\n    Dee\n\n1 name refused:\n    Ann: already on the list\n");
}

TEST(BulkAdd, AFolderThatRefusesFilesAddsNothingAndLeavesNoPiece) {
    DEXLAN_LINUX_ONLY("the refusal comes from a file-size limit");
    TestFolder folder;
    folder.write("1HIST.DX", newHistoryFileBytes("Ann", fixedRandoms()));
    const BulkAddPlan plan = planBulkAdd({"Bob", "Cyd", "Dee"}, {"Ann"});
    const QStringList before = testing::allNamesUnder(folder.path());
    BulkAddResult result;
    {
        // Room for the first few bytes of a file, never a whole one.
        testing::FileSizeLimit limit(100);
        result = carryOutBulkAdd(folder.path(), plan, {1}, fixedRandoms, [] { return false; });
    }
    EXPECT_TRUE(result.added.empty());
    ASSERT_EQ(result.refused.size(), 3u);
    for (const RefusedName& refused : result.refused) {
        EXPECT_EQ(refused.reason, RefusalReason::NotSaved);
        EXPECT_FALSE(refused.detail.isEmpty());
    }
    EXPECT_EQ(testing::allNamesUnder(folder.path()), before);
}

TEST(BulkAdd, AMissingFolderIsOfferedOnceAndDecliningAddsNothing) {
    TestFolder folder;
    const QString missing = folder.file("class/");
    int asked = 0;
    const BulkAddResult declined =
        carryOutBulkAdd(missing, planBulkAdd({"Ann", "Bob"}, {}), {}, fixedRandoms, [&] {
            ++asked;
            return false;
        });
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(declined.added.empty());
    EXPECT_EQ(declined.refused.size(), 2u);
    EXPECT_FALSE(QFileInfo::exists(missing));

    const BulkAddResult made =
        carryOutBulkAdd(missing, planBulkAdd({"Ann", "Bob"}, {}), {}, fixedRandoms, [&] {
            ++asked;
            return true;
        });
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(made.added.size(), 2u);
}

} // namespace
} // namespace dexlan
