// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/summary_text.h"

#include "options_window/history_explanation.h"
#include "platform/line_break.h"

#include <gtest/gtest.h>

namespace dexlan {
namespace {

TEST(SummaryText, HistoryRowForEveryModeInstallationAndLocation) {
    struct Case {
        const char* installation;
        const char* mode;
        const char* location;
        QString text;
    };
    const QString sameFolder =
        QStringLiteral("History files are stored in the same folder as the main program.");
    const QString openList = QStringLiteral(
        "The user name is selected from a list.  Names may be added or deleted at any time.  ");
    const QString protectedList =
        QStringLiteral("The user name is selected from a list.  Names may ONLY be added or deleted "
                       "by using this program.  ");
    const QString server =
        QStringLiteral("History files are automatically stored on the newtork server. ");
    const QString singleUser =
        QStringLiteral("A history file is maintained automatically for a single user.  ") + kCrLf +
        "The name may be changed and lessons restarted at any time.";
    const QString driveA =
        QStringLiteral("History files are stored on individual disks in Drive A:.") + kCrLf +
        "Any number of people may keep individual history files on separate disks.";
    const QString none = QStringLiteral("No history files are stored.  ") + kCrLf +
                         "The program resets automatically with each user.";
    const Case cases[] = {
        {"network", "hist login", "F:\\DATA",
         "A password name must be entered when the program starts.  History files are created for "
         "each user password. " +
             kCrLf + "History files are stored in: F:\\DATA."},
        {"single computer", "hist login", "hist home",
         "A password must be entered when the program starts.  History files are created for each "
         "user password.  " +
             kCrLf + sameFolder},
        // An empty entry 5 counts as no location.
        {"individual", "hist login", "",
         "A password must be entered when the program starts.  History files are created for each "
         "user password.  " +
             kCrLf + sameFolder},
        {"single computer", "hist auto", "hist home", singleUser},
        {"single computer", "hist auto", "D:\\HIST", singleUser},
        {"network", "hist auto", "F:\\DATA",
         server + kCrLf + "History files are stored in F:\\DATA."},
        {"individual", "hist auto", "/srv/dexlan",
         server + kCrLf + "History files are stored in /srv/dexlan."},
        {"network", "hist auto", "hist home",
         server + kCrLf +
             "The location of the history files on the network server has not been specified."},
        {"single computer", "hist roster open", "D:\\HIST",
         openList + kCrLf + "The location of the history files is D:\\HIST."},
        {"network", "hist roster open", "hist home", openList + kCrLf + sameFolder},
        {"individual", "hist roster protected", "G:\\",
         protectedList + kCrLf + "The location of the history files is G:\\."},
        {"network", "hist roster protected", "", protectedList + kCrLf + sameFolder},
        {"network", "hist drive a:", "F:\\DATA", driveA},
        {"single computer", "hist drive a:", "hist home", driveA},
        {"individual", "hist none", "F:\\DATA", none},
        {"single computer", "hist none", "hist home", none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(historySummary(c.installation, c.mode, c.location), c.text)
            << c.installation << " / " << c.mode << " / " << c.location;
    }
}

TEST(SummaryText, TheLocationIsThePathOfTheHistoryRow) {
    // The window may shorten the location, never the sentence round it.
    const TextNamingPath named = *historySummaryParts("network", "hist roster open", "F:\\DATA");
    EXPECT_EQ(named.path, "F:\\DATA");
    EXPECT_EQ(named.after, ".");
    EXPECT_TRUE(named.before.endsWith(kCrLf + "The location of the history files is "));
    EXPECT_TRUE(historySummaryParts("network", "hist roster open", "hist home")->path.isEmpty());
    EXPECT_TRUE(historySummaryParts("network", "hist none", "F:\\DATA")->path.isEmpty());
}

TEST(SummaryText, LocationIsShownAsItsCodePageText) {
    // Entries are Windows-1252 bytes; the screen shows their characters.
    EXPECT_EQ(historySummary("network", "hist auto", "F:\\\xc9L\xc8VES"),
              QStringLiteral("History files are automatically stored on the newtork server. ") +
                  kCrLf + QString::fromUtf8("History files are stored in F:\\ÉLÈVES."));
    // On a trainer of another language, in its code page: the same bytes, other letters.
    EXPECT_EQ(historySummary("network", "hist auto",
                             "F:\\\xa3\xd3"
                             "DZ",
                             *CodePage::byNumber(1250)),
              QStringLiteral("History files are automatically stored on the newtork server. ") +
                  kCrLf + QString::fromUtf8("History files are stored in F:\\ŁÓDZ."));
    EXPECT_EQ(locationStatus("F:\\\xa3\xd3"
                             "DZ",
                             *CodePage::byNumber(1250)),
              QString::fromUtf8("Location selected: F:\\ŁÓDZ"));
}

TEST(SummaryText, ShortRowsForEveryValue) {
    struct Case {
        std::span<const ValueText> table;
        const char* value;
        const char* text;
    };
    const Case cases[] = {
        {soundSummaryTexts(), "sfx all",
         "All sound effects are all available from the main menu Help option."},
        {soundSummaryTexts(), "sfx beep",
         "Sound effect options are limited to 'beep' sounds only."},
        {soundSummaryTexts(), "sfx none",
         "All sound effect options are all off.  Both the program and the game are silent."},
        {advanceSummaryTexts(), "f2 on",
         "The manual advance option is active. Lessons may be advanced with the F2 key."},
        {advanceSummaryTexts(), "f2 off", "The manual advance option is not active."},
        {documentsSummaryTexts(), "documents on",
         "The documents are selected and are available from the menu."},
        {documentsSummaryTexts(), "documents off", "The documents are not selected.  "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lookUp(c.table, c.value), QString::fromLatin1(c.text)) << c.value;
}

TEST(SummaryText, ValuesAreComparedExactly) {
    for (const char* value : {"Sfx all", "sfx all ", " sfx beep", "", "sfx"})
        EXPECT_FALSE(lookUp(soundSummaryTexts(), value)) << value;
    EXPECT_FALSE(lookUp(documentsSummaryTexts(), "documents maybe"));
    EXPECT_FALSE(historySummary("Network", "hist auto", "hist home"));
    EXPECT_FALSE(historySummary("network", "hist auto ", "hist home"));
    EXPECT_FALSE(historySummary("network", "hist home", "hist home"));
}

TEST(SummaryText, WholeSummaryInItsOrder) {
    OptionLines lines;
    lines[EntryInstallation] = "network";
    lines[EntryHistoryMode] = "hist none";
    lines[EntryHistoryLocation] = "hist home";
    lines[EntryManualAdvance] = "f2 off";
    lines[EntrySounds] = "sfx beep";
    lines[EntryDocuments] = "documents off";
    const std::optional<SummaryTexts> texts = summaryTexts(lines, "C:\\DEXLAN\\");
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->programLocation, (TextNamingPath{{}, "C:\\DEXLAN\\", {}}));
    EXPECT_EQ(texts->history, (TextNamingPath{"No history files are stored.  \r\n"
                                              "The program resets automatically with each user.",
                                              {},
                                              {}}));
    EXPECT_EQ(texts->sounds, "Sound effect options are limited to 'beep' sounds only.");
    EXPECT_EQ(texts->advance, "The manual advance option is not active.");
    EXPECT_EQ(texts->documents, "The documents are not selected.  ");

    // Any impossible value leaves nothing to show.
    for (int entry : {3, 4, 10, 11, 12}) {
        OptionLines broken = lines;
        broken[entry] = "nonsense";
        EXPECT_FALSE(summaryTexts(broken, "C:\\DEXLAN\\")) << "entry " << entry;
    }
}

} // namespace
} // namespace dexlan
