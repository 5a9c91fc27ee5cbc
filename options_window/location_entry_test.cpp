// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/location_entry.h"

#include <gtest/gtest.h>

namespace dexlan {
namespace {

TEST(LocationEntry, RefreshTakesTheBoxInThePlatformsCase) {
    struct Case {
        PathPolicy policy;
        const char* box;
        QByteArray entry;
    };
    const Case cases[] = {
        {PathPolicy::windows(), "", "hist home"},
        {PathPolicy::posix(), "", "hist home"},
        {PathPolicy::windows(), "d:\\hist", "D:\\HIST"},
        // Upper-casing would name another folder where case matters.
        {PathPolicy::posix(), "/srv/Dexlan", "/srv/Dexlan"},
        {PathPolicy::windows(), "f:\\\u00e9l\u00e8ves", "F:\\\xc9L\xc8VES"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(refreshedLocationEntry(QString::fromUtf8(c.box), c.policy), c.entry) << c.box;
}

TEST(LocationEntry, EnterTakesTheBoxAsTyped) {
    EXPECT_EQ(typedLocationEntry("", CodePage::windows1252()), "hist home");
    EXPECT_EQ(typedLocationEntry("d:\\hist", CodePage::windows1252()), "d:\\hist");
}

TEST(LocationEntry, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // The options file cannot hold them; the save refuses such a location.
    const CodePage western = CodePage::windows1252();
    EXPECT_EQ(entryBytes(QString::fromUtf8("\\\\srv\\\u65e5\u672c"), western), "\\\\srv\\??");
    EXPECT_EQ(screenText(entryBytes(QString::fromUtf8("C:\\\u00c9"), western), western),
              QString::fromUtf8("C:\\\u00c9"));
    EXPECT_EQ(entryBytes(QString::fromUtf8("C:\\\u0141\u00d3\u0179"), western), "C:\\?\xd3?");
}

TEST(LocationEntry, HeldInTheTrainersCodePage) {
    const CodePage central = *CodePage::byNumber(1250);
    const QString folder = QString::fromUtf8("C:\\\u0141\u00d3\u0179");
    EXPECT_EQ(entryBytes(folder, central), "C:\\\xa3\xd3\x8f");
    EXPECT_EQ(screenText("C:\\\xa3\xd3\x8f", central), folder);
}

} // namespace
} // namespace dexlan
