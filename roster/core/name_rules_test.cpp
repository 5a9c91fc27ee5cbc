// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/name_rules.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

namespace dexlan {
namespace {

TEST(CleanedName, TrimmedAndComposed) {
    struct Case {
        const char* given; // UTF-8
        const char* cleaned;
    };
    const Case cases[] = {
        {"Ann Carter ", "Ann Carter"},
        {" \t Ann\xc2\xa0", "Ann"},    // a no-break space is a blank too
        {"Zoe\xcc\x88", "Zo\xc3\xab"}, // e and a combining diaeresis: one letter
        {"Lukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87", "Lukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87"},
        {"Ann  Carter", "Ann  Carter"}, // what is inside stays as typed
        {"   ", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cleanedName(QString::fromUtf8(c.given)), QString::fromUtf8(c.cleaned)) << c.given;
}

TEST(SameNameKey, EveryKindOfSpaceAndEitherSpellingOfALetterIsOneName) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"Ann Carter",
         "Ann\xc2\xa0"
         "Carter",
         true},
        {"Ann Carter", "Ann\tCarter", true},
        {"Ann Carter", " Ann   Carter ", true},
        {"Ann Carter",
         "Ann\xe2\x80\x83"
         "Carter",
         true}, // an em space
        {"Zo\xc3\xab", "Zoe\xcc\x88", true},
        {"Ann Carter", "AnnCarter", false},
        {"Ann", "ann", false}, // letter case tells names apart, as it always has
        {"Zo\xc3\xab", "Zoe", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sameNameKey(QString::fromUtf8(c.a)) == sameNameKey(QString::fromUtf8(c.b)),
                  c.same)
            << c.a << " / " << c.b;
}

QString sortedBy(const ListOrder& order, QStringList names) {
    // Sorted as the list sorts: keys made once, then compared.
    std::vector<std::pair<QCollatorSortKey, QString>> keyed;
    for (const QString& name : names)
        keyed.emplace_back(order.sortKeyFor(name), name);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return ListOrder::compare(a.first, a.second, b.first, b.second) < 0;
    });
    QStringList sorted;
    for (const auto& one : keyed)
        sorted.append(one.second);
    // The one-at-a-time comparison agrees with the keys.
    for (qsizetype i = 1; i < sorted.size(); ++i)
        EXPECT_FALSE(order.before(sorted[i], sorted[i - 1]))
            << sorted[i - 1].toStdString() << " " << sorted[i].toStdString();
    return sorted.join(QLatin1String(", "));
}

TEST(ListOrder, TheLanguagesAlphabetLetterCaseIgnored) {
    struct Case {
        const char* locale;
        const char* names; // UTF-8, comma-separated
        const char* sorted;
    };
    const Case cases[] = {
        {"en_GB", "Zack Young,\xc3\x89mile Zola,bob,Ann,adam,ann",
         "adam, Ann, ann, bob, \xc3\x89mile Zola, Zack Young"},
        {"de_DE", "Zack Young,\xc3\x96zil Mesut,Otto", "Otto, \xc3\x96zil Mesut, Zack Young"},
        {"pl_PL", "Marek,\xc5\x81ukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87,Lena,Zenon,Karol",
         "Karol, Lena, \xc5\x81ukasz \xc5\xbb\xc3\xb3\xc5\x82\xc4\x87, Marek, Zenon"},
        {"ru_RU",
         "\xd0\xaf\xd0\xbd,\xd0\x90\xd0\xbd\xd0\xbd\xd0\xb0,"
         "\xd0\xb1\xd0\xbe\xd1\x80\xd0\xb8\xd1\x81",
         "\xd0\x90\xd0\xbd\xd0\xbd\xd0\xb0, \xd0\xb1\xd0\xbe\xd1\x80\xd0\xb8\xd1\x81, "
         "\xd0\xaf\xd0\xbd"},
    };
    for (const Case& c : cases) {
        const ListOrder order{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(sortedBy(order, QString::fromUtf8(c.names).split(QLatin1Char(','))),
                  QString::fromUtf8(c.sorted))
            << c.locale;
    }
}

} // namespace
} // namespace dexlan
