// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system_code_page.h"

#include <gtest/gtest.h>

namespace dexlan {
namespace {

TEST(CodePageForLanguage, AsWindowsSetsAMachineOfThatLanguage) {
    struct Case {
        const char* locale;
        int codePage;
    };
    const Case cases[] = {
        {"pl_PL", 1250}, {"cs_CZ", 1250}, {"sk_SK", 1250}, {"hu_HU", 1250}, {"hr_HR", 1250},
        {"sl_SI", 1250}, {"ro_RO", 1250}, {"ru_RU", 1251}, {"uk_UA", 1251}, {"bg_BG", 1251},
        {"sr_RS", 1251}, {"el_GR", 1253}, {"tr_TR", 1254}, {"az_AZ", 1254}, {"he_IL", 1255},
        {"ar_EG", 1256}, {"fa_IR", 1256}, {"lt_LT", 1257}, {"lv_LV", 1257}, {"et_EE", 1257},
        {"vi_VN", 1258}, {"th_TH", 874},  {"en_GB", 1252}, {"de_DE", 1252}, {"fr_FR", 1252},
        {"ja_JP", 1252}, {"C", 1252},
    };
    for (const Case& c : cases) {
        const QLocale locale(QString::fromLatin1(c.locale));
        EXPECT_EQ(codePageForLanguage(locale.language()), c.codePage) << c.locale;
        EXPECT_TRUE(CodePage::byNumber(c.codePage)) << c.locale;
    }
}

TEST(ChooseCodePage, CommandLineThenSettingThenSystem) {
    const CodePage system = *CodePage::byNumber(1251);
    struct Case {
        const char* what;
        std::optional<int> commandLine;
        QVariant setting;
        int expected;
        CodePageSource source;
    };
    const Case cases[] = {
        {"nothing named", std::nullopt, QVariant(), 1251, CodePageSource::System},
        {"a setting", std::nullopt, QVariant(QStringLiteral("1250")), 1250,
         CodePageSource::Setting},
        {"a setting with blanks", std::nullopt, QVariant(QStringLiteral(" 874 ")), 874,
         CodePageSource::Setting},
        {"a setting as a number", std::nullopt, QVariant(1257), 1257, CodePageSource::Setting},
        {"the command line over a setting", 1253, QVariant(QStringLiteral("1250")), 1253,
         CodePageSource::CommandLine},
        {"a setting naming no code page", std::nullopt, QVariant(QStringLiteral("65001")), 1251,
         CodePageSource::System},
        {"a setting that is no number", std::nullopt, QVariant(QStringLiteral("latin2")), 1251,
         CodePageSource::System},
    };
    for (const Case& c : cases) {
        const CodePageChoice choice = chooseCodePage(c.commandLine, c.setting, system);
        EXPECT_EQ(choice.page.number(), c.expected) << c.what;
        EXPECT_EQ(choice.source, c.source) << c.what;
    }
}

TEST(CodePageName, AsWindowsNamesIt) {
    EXPECT_EQ(codePageName(CodePage::windows1252()), QStringLiteral("Windows-1252"));
    EXPECT_EQ(codePageName(*CodePage::byNumber(874)), QStringLiteral("Windows-874"));
}

} // namespace
} // namespace dexlan
