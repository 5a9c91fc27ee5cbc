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
    EXPECT_EQ(typedLocationEntry(""), "hist home");
    EXPECT_EQ(typedLocationEntry("d:\\hist"), "d:\\hist");
}

TEST(LocationEntry, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // The options file cannot hold them; the save refuses such a location.
    EXPECT_EQ(entryBytes(QString::fromUtf8("\\\\srv\\\u65e5\u672c")), "\\\\srv\\??");
    EXPECT_EQ(screenText(entryBytes(QString::fromUtf8("C:\\\u00c9"))),
              QString::fromUtf8("C:\\\u00c9"));
}

} // namespace
} // namespace dexlan
