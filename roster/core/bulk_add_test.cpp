// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/bulk_add.h"

#include "platform/file_error.h"
#include "platform/regular_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_test_files.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <algorithm>

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

// Bytes of a class list with the given names, padded with lines of blanks
// (no names, none longer than a line may be) to exactly size bytes.
QByteArray paddedClassList(const QByteArray& names, qint64 size) {
    QByteArray bytes = names;
    while (bytes.size() < size) {
        const qsizetype chunk = std::min<qsizetype>(size - bytes.size(), kMaxClassListLine + 1);
        bytes += QByteArray(chunk - 1, ' ') + '\n';
    }
    return bytes;
}

QByteArray namesOneALine(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "Pupil " + QByteArray::number(i) + "\r\n";
    return bytes;
}

TEST(ClassListFile, ARegularFileWithinTheBoundsIsRead) {
    TestFolder folder;
    struct Case {
        const char* what;
        QByteArray bytes;
        qsizetype names;
    };
    const Case cases[] = {
        {"exactly the largest size", paddedClassList("Ann\nBob\n", kMaxClassListBytes), 2},
        {"a line of the longest length", "Ann\r\n" + QByteArray(kMaxClassListLine, 'x') + "\r\nBob",
         3},
        {"the most names at once", namesOneALine(int(kMaxNamesAtOnce)), kMaxNamesAtOnce},
        {"an empty file", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.write("class.txt", c.bytes);
        const ClassList list = readClassListFile(folder.file("class.txt"));
        EXPECT_FALSE(list.refusal) << list.refusal->prompt.toStdString();
        EXPECT_EQ(list.names.size(), c.names);
    }
    folder.write("class.csv", "Smith, Ann\n\"Brown, Bob\",4b\n");
    EXPECT_EQ(readClassListFile(folder.file("class.csv")).names,
              QStringList({"Smith", "Brown, Bob"}))
        << "a CSV file's first column";
}

TEST(ClassListFile, WhatIsNoClassListIsRefusedAtOnceSayingWhy) {
    TestFolder folder;
    const QString tooLarge = QStringLiteral("The file is larger than 10 MB, the most a class list "
                                            "may be.");
    struct Case {
        const char* what;
        QString path;
        std::optional<MsgBoxRequest> refusal;
    };
    std::vector<Case> cases;
    auto refusedAs = [&](const char* what, const QString& name, const QString& why) {
        cases.push_back(
            {what, folder.file(name), classListUnreadableReport(why, folder.file(name))});
    };
    folder.write("large.txt", paddedClassList("Ann\n", kMaxClassListBytes + 1));
    refusedAs("one byte too large", "large.txt", tooLarge);
    // Never read, however large: the size is known first.
    {
        QFile huge(folder.file("huge.txt"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30));
    }
    refusedAs("a sparse file of 1 GB", "huge.txt", tooLarge);
    folder.write("long.txt",
                 "Ann\r\n\r\n" + QByteArray(kMaxClassListLine + 1, 'x') + "\r\nBob\r\n");
    refusedAs("a line too long", "long.txt",
              "Line 3 is longer than 1000 characters; a class list holds one name a line.");
    folder.write("oneline.txt", QByteArray(1024 * 1024, 'x'));
    refusedAs("one line of a megabyte", "oneline.txt",
              "Line 1 is longer than 1000 characters; a class list holds one name a line.");
    QDir().mkdir(folder.file("folder.txt"));
    refusedAs("a folder", "folder.txt", notRegularFileText());
    refusedAs("nothing there", "missing.txt", notFoundText());
    folder.write("many.txt", namesOneALine(int(kMaxNamesAtOnce) + 1) + "\r\n\r\n");
    cases.push_back(
        {"one name too many", folder.file("many.txt"), tooManyNamesReport(kMaxNamesAtOnce + 1)});
    // Linux-only: Windows has no FIFOs or endless devices to open.
    if (testing::makeFifo(folder.file("fifo.txt")))
        refusedAs("a FIFO, which would wait for a writer", "fifo.txt", notRegularFileText());
    if (const QString device = testing::endlessDevice(); !device.isEmpty())
        cases.push_back(
            {"an endless device", device, classListUnreadableReport(notRegularFileText(), device)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ClassList list = readClassListFile(c.path);
        ASSERT_TRUE(list.refusal);
        EXPECT_EQ(*list.refusal, *c.refusal);
        EXPECT_TRUE(list.names.isEmpty());
    }
}

// Standard input: no size to ask, and it may never end.
class EndlessInput : public QIODevice {
  public:
    EndlessInput() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 given = 0;

  protected:
    qint64 readData(char* data, qint64 size) override {
        const qint64 n = std::min<qint64>(size, 4096); // a pipe gives a little at a time
        std::fill_n(data, n, 'x');
        given += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

TEST(ClassListStream, ReadsNoMoreThanOneBytePastTheBound) {
    EndlessInput endless;
    ClassList list = readClassList(endless, "standard input");
    ASSERT_TRUE(list.refusal);
    EXPECT_EQ(*list.refusal, classListUnreadableReport(
                                 "The file is larger than 10 MB, the most a class list may be.",
                                 "standard input"));
    EXPECT_LE(endless.given, kMaxClassListBytes + 1 + 64 * 1024) << "within one buffer of it";

    for (qint64 size : {kMaxClassListBytes, kMaxClassListBytes + 1}) {
        QByteArray bytes = paddedClassList("Ann\nBob\n", size);
        QBuffer input(&bytes);
        input.open(QIODevice::ReadOnly);
        list = readClassList(input, "standard input");
        EXPECT_EQ(list.refusal.has_value(), size > kMaxClassListBytes) << size;
        EXPECT_EQ(list.names,
                  size > kMaxClassListBytes ? QStringList() : QStringList({"Ann", "Bob"}));
    }
}

// Standard input whose reading fails after the first names (a pipe's writer
// gone wrong, a disk error under a redirected file).
class FailingInput : public QIODevice {
  public:
    FailingInput() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 size) override {
        if (m_given) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        m_given = true;
        const QByteArray first = "Ann\nBob\n";
        const qint64 n = std::min<qint64>(size, first.size());
        std::copy_n(first.constData(), n, data);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    bool m_given = false;
};

TEST(ClassListStream, AReadThatFailsRefusesTheWholeList) {
    FailingInput input;
    const ClassList list = readClassList(input, "standard input");
    ASSERT_TRUE(list.refusal) << "not Ann and Bob as if that were all";
    EXPECT_EQ(*list.refusal, classListUnreadableReport("Input/output error", "standard input"));
    EXPECT_TRUE(list.names.isEmpty());
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
        {QString::fromUtf8("Łucja"), RefusalReason::CannotBeStored, "Windows-1252"},
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

namespace dexlan {
namespace {

// Names as people write them: blanks round them, a letter in two characters,
// a no-break space from a word processor. Each is one person.
TEST(BulkAddPlan, NamesAreCleanedAndComparedAsOneWhateverTheirSpelling) {
    const QStringList onList = {"Ann Carter", QString::fromUtf8("Zoë Ray")};
    const QString zoeDecomposed = QString::fromUtf8("Zoe\xcc\x88");
    const QStringList names = {
        QString::fromUtf8("Ann Carter "),
        QString::fromUtf8("Ann\xc2\xa0"
                          "Carter"),
        zoeDecomposed + QStringLiteral(" Ray"),
        QString::fromUtf8("  Bea Moss\t"),
        QString::fromUtf8("Bea\xe2\x80\x83Moss"), // an em space
        QString::fromUtf8("Jose\xcc\x81"),
        QStringLiteral("ann carter"), // letter case tells names apart, as in the name box
        QString::fromUtf8(" \xc2\xa0 "),
        zoeDecomposed.repeated(10), // 40 characters as given, 30 letters once composed
    };
    const BulkAddPlan plan = planBulkAdd(names, onList);
    QStringList added;
    for (const PlannedName& name : plan.toAdd)
        added.append(name.name);
    EXPECT_EQ(added, QStringList({"Bea Moss", QString::fromUtf8("José"), "ann carter",
                                  QString::fromUtf8("Zoë").repeated(10)}));
    EXPECT_EQ(plan.toAdd[1].bytes, "Jos\xe9");
    const std::vector<RefusedName> refused = {
        {"Ann Carter", RefusalReason::AlreadyOnList, {}},
        {QString::fromUtf8("Ann\xc2\xa0"
                           "Carter"),
         RefusalReason::AlreadyOnList,
         {}},
        {QString::fromUtf8("Zoë Ray"), RefusalReason::AlreadyOnList, {}},
        {QString::fromUtf8("Bea\xe2\x80\x83Moss"), RefusalReason::GivenTwice, {}},
        {"", RefusalReason::Empty, {}},
    };
    EXPECT_EQ(plan.refused, refused);
}

// The first line of a history file as a trainer on a machine of that code page
// reads it: with the system's own codec where Qt has one, else our table.
QString asTheTrainerReadsIt(const QByteArray& historyFile, int codePage) {
    const QByteArray firstLine = historyFile.left(historyFile.indexOf("\r\n"));
    QStringDecoder codec(QStringLiteral("windows-%1").arg(codePage).toLatin1().constData());
    if (codec.isValid())
        return codec.decode(firstLine);
    return CodePage::byNumber(codePage)->decode(firstLine);
}

TEST(BulkAdd, ClassListsOfOtherAlphabetsAreWrittenInTheTrainersCodePage) {
    struct Case {
        int codePage;
        QByteArray classList; // as the school's system wrote it
        const char* names;    // UTF-8, as the trainer must read them, one a line
    };
    const Case cases[] = {
        // UTF-8, and the same class in the machine's own code page.
        {1250, "\xc5\x81ukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87\nAnna Wi\xc5\x9bniewska\n",
         "Łukasz Żółć\nAnna Wiśniewska"},
        {1250, "\xa3ukasz \xaf\xf3\xb3\xe6\r\nAnna Wi\x9cniewska\r\n",
         "Łukasz Żółć\nAnna Wiśniewska"},
        {1251,
         "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd \xd0\x9f\xd0\xb5\xd1\x82\xd1\x80\xd0\xbe\xd0\xb2\n",
         "Иван Петров"},
        {1251, "\xc8\xe2\xe0\xed \xcf\xe5\xf2\xf0\xee\xe2\r\n\xdf\xed\r\n", "Иван Петров\nЯн"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        const CodePage page = *CodePage::byNumber(c.codePage);
        TestFolder folder;
        folder.write("class.txt", c.classList);
        const ClassList list = readClassListFile(folder.file("class.txt"), page);
        ASSERT_FALSE(list.refusal);
        const BulkAddPlan plan = planBulkAdd(list.names, {}, page);
        EXPECT_TRUE(plan.refused.empty());
        const BulkAddResult result =
            carryOutBulkAdd(folder.path(), plan, {}, fixedRandoms, [] { return false; });
        QStringList read;
        for (const AddedName& added : result.added)
            read.append(
                asTheTrainerReadsIt(folder.read(QFileInfo(added.path).fileName()), c.codePage));
        const QStringList quoted = QString::fromUtf8(c.names).split(QLatin1Char('\n'));
        QStringList expected;
        for (const QString& name : quoted)
            expected.append(QLatin1Char('"') + name + QLatin1Char('"'));
        EXPECT_EQ(read, expected);
    }
}

TEST(BulkAddPlan, AWesternTrainerIsUnchangedAndRefusesOtherAlphabetsNamingItsCodePage) {
    const BulkAddPlan western =
        planBulkAdd({QString::fromUtf8("Émile"), "Ann", QString::fromUtf8("Łukasz")}, {});
    ASSERT_EQ(western.toAdd.size(), 2u);
    EXPECT_EQ(western.toAdd[0].bytes, "\xc9mile");
    ASSERT_EQ(western.refused.size(), 1u);
    EXPECT_EQ(refusalText(western.refused[0]),
              "a character that cannot be stored in a history file (code page Windows-1252)");
    const BulkAddPlan central =
        planBulkAdd({QString::fromUtf8("Łukasz")}, {}, *CodePage::byNumber(1250));
    ASSERT_EQ(central.toAdd.size(), 1u);
    EXPECT_EQ(central.toAdd[0].bytes, "\xa3ukasz");
}

} // namespace
} // namespace dexlan

namespace dexlan {
namespace {

QByteArray utf16(const QString& text, bool littleEndian) {
    QStringEncoder encoder(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// Class lists as school systems and spreadsheets export them.
TEST(ClassList, ExportsOfSchoolSystemsGiveTheirNames) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList names;
    };
    const Case cases[] = {
        {"UTF-16 with a byte-order mark, little-endian",
         utf16(QStringLiteral("Ann Carter,4b\r\nBob Lee,4b\r\n"), true),
         {"Ann Carter", "Bob Lee"}},
        {"UTF-16 with a byte-order mark, big-endian",
         utf16(QString::fromUtf8("Zoë Ray\tx\n"), false),
         {QString::fromUtf8("Zoë Ray")}},
        {"blank rows as a spreadsheet writes them",
         "Ann,4b\n,,\n;;\n\nBob,4b\n,\n",
         {"Ann", "Bob"}},
        {"a line break inside quotes is one name's",
         "\"Multi\nLine\",4b\n\"Smith, Ann\",4b\r\n",
         {"Multi\nLine", "Smith, Ann"}},
        {"doubled quotes", "\"Say \"\"Hi\"\"\";x\n", {"Say \"Hi\""}},
        {"CR-only line ends", "Ann;4b\rBob;4b\rCyd;4b", {"Ann", "Bob", "Cyd"}},
        {"tab-separated", "Ann Carter\t4b\t12\nBob Lee\t4c\t11\n", {"Ann Carter", "Bob Lee"}},
        {"a decomposed name", "Zoe\xcc\x88 Ray,4b\n", {QString::fromUtf8("Zoe\xcc\x88 Ray")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        folder.write("class.csv", c.bytes);
        const ClassList list = readClassListFile(folder.file("class.csv"));
        ASSERT_FALSE(list.refusal);
        EXPECT_EQ(list.names, c.names);
    }
}

TEST(BulkAddPlan, AQuotedLineBreakIsOneNameRefusedOnceNotTwoUsers) {
    const BulkAddPlan plan = planBulkAdd(namesFromClassList("\"Multi\nLine\",4b\n", true), {});
    EXPECT_TRUE(plan.toAdd.empty());
    ASSERT_EQ(plan.refused.size(), 1u);
    EXPECT_EQ(plan.refused[0].reason, RefusalReason::CannotBeStored);
}

} // namespace
} // namespace dexlan
