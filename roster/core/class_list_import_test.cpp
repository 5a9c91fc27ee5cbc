// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/class_list_import.h"

#include "roster/core/bulk_add.h"
#include "testing/test_files.h"

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::TestFolder;

// Exports as school systems and spreadsheets write them, read with nothing
// chosen: the separator, the header and the name's columns are guessed.
TEST(ClassListImport, ExportsAreReadWithTheirShapeGuessed) {
    struct Case {
        const char* what;
        const char* file;
        QByteArray bytes;
        QStringList names;
        ClassListSeparator separator;
        bool header;
    };
    const Case cases[] = {
        {"a semicolon export, family name first",
         "klasse.csv",
         "Nachname;Vorname;Klasse\r\nM\xc3\xbcller;Anna;4b\r\nSchmidt;J\xc3\xb6rg;4b\r\n",
         {QString::fromUtf8("Anna Müller"), QString::fromUtf8("Jörg Schmidt")},
         ClassListSeparator::Semicolon,
         true},
        {"\"Name\" beside \"Vorname\" is the family name",
         "klasse.csv",
         "Name;Vorname\nMeier;Eva\n",
         {"Eva Meier"},
         ClassListSeparator::Semicolon,
         true},
        {"French titles",
         "classe.csv",
         "Nom,Pr\xc3\xa9nom,Classe\nMartin,L\xc3\xa9o,CM1\n",
         {QString::fromUtf8("Léo Martin")},
         ClassListSeparator::Comma,
         true},
        {"tab-separated text",
         "class.txt",
         "First name\tLast name\tClass\nAnn\tCarter\t4b\nBob\tLee\t4c\n",
         {"Ann Carter", "Bob Lee"},
         ClassListSeparator::Tab,
         true},
        {"tab-separated without titles",
         "class.txt",
         "Ann Carter\t4b\nBob Lee\t4c\n",
         {"Ann Carter", "Bob Lee"},
         ClassListSeparator::Tab,
         false},
        {"quoted commas and line breaks",
         "class.csv",
         "Name,Class\n\"Carter, Ann\",4b\n\"Multi\nLine\",4c\n",
         {"Carter, Ann", "Multi\nLine"},
         ClassListSeparator::Comma,
         true},
        {"doubled quotes",
         "class.csv",
         "\"Say \"\"Hi\"\"\";x\n",
         {"Say \"Hi\""},
         ClassListSeparator::Semicolon,
         false},
        {"CR-only line ends",
         "class.csv",
         "Name;Klasse\rAnn;4b\rBob;4c\r",
         {"Ann", "Bob"},
         ClassListSeparator::Semicolon,
         true},
        {"a plain list keeps its commas",
         "class.txt",
         "Smith, Ann\nBrown, Bob\n",
         {"Smith, Ann", "Brown, Bob"},
         ClassListSeparator::None,
         false},
        {"a plain list with a title",
         "class.txt",
         "Name\nAnn\nBob\n",
         {"Ann", "Bob"},
         ClassListSeparator::None,
         true},
        {"a header-free CSV",
         "class.csv",
         "Ann,4b,1\n,,\nBob,4c,2\n",
         {"Ann", "Bob"},
         ClassListSeparator::Comma,
         false},
        {"a one-column CSV",
         "class.csv",
         "Ann\n\"Lee, Bob\"\n",
         {"Ann", "Lee, Bob"},
         ClassListSeparator::Comma,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        folder.write(c.file, c.bytes);
        const ClassList list = readClassListFile(folder.file(c.file));
        ASSERT_FALSE(list.refusal) << list.refusal->prompt.toStdString();
        EXPECT_EQ(list.names, c.names);
        EXPECT_EQ(list.table.separator, c.separator);
        EXPECT_EQ(list.table.header, c.header);
    }
}

TEST(ClassListImport, ChoicesGivenOverrideTheGuess) {
    const QString text = QString::fromUtf8("Nachname;Vorname\nMüller;Anna\n");
    struct Case {
        const char* what;
        ImportChoices choices;
        QStringList names;
    };
    ImportChoices numbers;
    numbers.nameColumns = {"2", "1"};
    ImportChoices titles;
    titles.nameColumns = {"nachname", "VORNAME"};
    ImportChoices noHeader;
    noHeader.header = false;
    noHeader.nameColumns = {"1"};
    ImportChoices oneALine;
    oneALine.separator = ClassListSeparator::None;
    oneALine.header = false;
    const Case cases[] = {
        {"columns by number", numbers, {QString::fromUtf8("Anna Müller")}},
        {"columns by title, any case", titles, {QString::fromUtf8("Müller Anna")}},
        {"no header", noHeader, {"Nachname", QString::fromUtf8("Müller")}},
        {"one name a line", oneALine, {"Nachname;Vorname", QString::fromUtf8("Müller;Anna")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ClassListTable table = tableFromText(text, c.choices, ClassListSource::Csv);
        EXPECT_TRUE(table.whyNot.isEmpty());
        EXPECT_EQ(namesFromTable(table), c.names);
    }
}

TEST(ClassListImport, AColumnThatIsNotThereRefusesTheList) {
    TestFolder folder;
    folder.write("klasse.csv", "Nachname;Vorname\nMeier;Eva\n");
    ImportChoices choices;
    choices.nameColumns = {"Klasse"};
    const ClassList list =
        readClassListFile(folder.file("klasse.csv"), CodePage::windows1252(), choices);
    ASSERT_TRUE(list.refusal);
    EXPECT_TRUE(list.names.isEmpty());
    EXPECT_TRUE(list.refusal->prompt.contains("\"Klasse\"")) << list.refusal->prompt.toStdString();
}

// One line in the code page in a UTF-8 list: neither reading is right for all
// of it, so the list waits for the encoding to be chosen.
TEST(ClassListImport, AnAlmostUtf8FileIsInDoubtUntilItsEncodingIsChosen) {
    const QByteArray bytes = "Jos\xc3\xa9 Garc\xc3\xad"
                             "a\r\nAnn Lee\r\nZo\xeb Ray\r\n";
    const CodePage page = CodePage::windows1252();

    const DecodedClassList guessed = decodeClassListAs(bytes, ClassListEncoding::Guess, page);
    EXPECT_EQ(guessed.linesInDoubt, std::vector<qsizetype>{3});

    const DecodedClassList utf8 = decodeClassListAs(bytes, ClassListEncoding::Utf8, page);
    EXPECT_FALSE(utf8.inDoubt());
    EXPECT_TRUE(utf8.text.startsWith(QString::fromUtf8("José García\r\n")));

    const DecodedClassList codePage = decodeClassListAs(bytes, ClassListEncoding::CodePage, page);
    EXPECT_FALSE(codePage.inDoubt());
    EXPECT_TRUE(codePage.text.endsWith(QString::fromUtf8("Zoë Ray\r\n")));

    // A list wholly in the code page is no doubt, nor one wholly UTF-8.
    EXPECT_FALSE(decodeClassListAs("Zo\xeb\nJos\xe9\n", ClassListEncoding::Guess, page).inDoubt());
    EXPECT_FALSE(decodeClassListAs("Zo\xc3\xab\n", ClassListEncoding::Guess, page).inDoubt());

    TestFolder folder;
    folder.write("class.txt", bytes);
    const ClassList refused = readClassListFile(folder.file("class.txt"), page);
    ASSERT_TRUE(refused.refusal);
    EXPECT_TRUE(refused.names.isEmpty()) << "never silently read in the code page";
    EXPECT_EQ(refused.linesInDoubt, std::vector<qsizetype>{3});
    EXPECT_TRUE(refused.refusal->prompt.contains("Line 3"));

    ImportChoices chosen;
    chosen.encoding = ClassListEncoding::Utf8;
    const ClassList accepted = readClassListFile(folder.file("class.txt"), page, chosen);
    ASSERT_FALSE(accepted.refusal);
    EXPECT_EQ(accepted.names.size(), 3);
    EXPECT_EQ(accepted.names.front(), QString::fromUtf8("José García"));
}

TEST(ClassListImport, SpellingsOfTheChoices) {
    EXPECT_EQ(separatorNamed("semicolon"), ClassListSeparator::Semicolon);
    EXPECT_EQ(separatorNamed("TAB"), ClassListSeparator::Tab);
    EXPECT_EQ(separatorNamed(","), ClassListSeparator::Comma);
    EXPECT_EQ(separatorNamed("none"), ClassListSeparator::None);
    EXPECT_FALSE(separatorNamed("pipe"));
    EXPECT_EQ(encodingNamed("utf-8"), ClassListEncoding::Utf8);
    EXPECT_EQ(encodingNamed("code-page"), ClassListEncoding::CodePage);
    EXPECT_FALSE(encodingNamed("latin1"));
}

// Without a catalogue the counts are English, singular for one only.
TEST(ClassListImport, CountsReadAsEnglishWithoutACatalogue) {
    EXPECT_EQ(countedText("BulkAdd", "%n name(s) added", 1), "1 name added");
    EXPECT_EQ(countedText("BulkAdd", "%n name(s) added", 0), "0 names added");
    EXPECT_EQ(countedText("BulkAdd", "%n name(s) added", 21), "21 names added");
    EXPECT_EQ(bulkAddQuestion(3).prompt, "Add these 3 names?");
}

} // namespace
} // namespace dexlan
