// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/code_page.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

TEST(CodePage, EveryByteButNulRoundTrips) {
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const std::optional<QByteArray> back = toCodePage(fromCodePage(all));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
}

TEST(CodePage, ControlCharactersAreTheC0RangeAndDel) {
    for (int c = 0; c < 0x100; ++c) {
        const bool control = c < 0x20 || c == 0x7F;
        const QString text = QStringLiteral("/srv/h") + QChar(c) + QStringLiteral("x/");
        EXPECT_EQ(holdsControlCharacter(text), control) << "character " << std::hex << c;
    }
    EXPECT_FALSE(holdsControlCharacter(QString::fromUtf8("/srv/€Ω")));
    EXPECT_FALSE(holdsControlCharacter(QString()));
}

TEST(CodePage, ConvertsTheWindowsCharacters) {
    EXPECT_EQ(fromCodePage("\x80\xe9"), QString::fromUtf8("€é"));
    EXPECT_EQ(toCodePage(QString::fromUtf8("€é")), QByteArray("\x80\xe9"));
}

// The bytes where Windows-1252 differs from Latin-1, each with its character.
TEST(CodePage, BytesHex80To9FEachHaveTheirCharacter) {
    const char16_t expected[32] = {
        u'€', 0x81,  u'‚', u'ƒ', u'„', u'…', u'†', u'‡', u'ˆ', u'‰', u'Š', u'‹', u'Œ', 0x8D,  u'Ž', 0x8F,
        0x90,  u'‘', u'’', u'“', u'”', u'•', u'–', u'—', u'˜', u'™', u'š', u'›', u'œ', 0x9D,  u'ž', u'Ÿ'};
    for (int b = 0x80; b < 0xA0; ++b) {
        const QString text = fromCodePage(QByteArray(1, char(b)));
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(text.at(0).unicode(), expected[b - 0x80]) << "byte " << std::hex << b;
        EXPECT_EQ(toCodePage(text), QByteArray(1, char(b))) << "byte " << std::hex << b;
    }
}

TEST(CodePage, RefusesCharactersWithoutSingleByteForm) {
    EXPECT_FALSE(toCodePage(QString::fromUtf8("Ω")));
    EXPECT_FALSE(toCodePage(QString::fromUtf8("a😀")));
    // Control characters whose byte holds a printable character here.
    EXPECT_FALSE(toCodePage(QString(QChar(0x80))));
    EXPECT_FALSE(toCodePage(QString(QChar(0x9F))));
}

// Where Qt has a Windows-1252 codec of its own (with ICU), both agree on every byte.
TEST(CodePage, AgreesWithQtsCodecWhereThereIsOne) {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        GTEST_SKIP() << "this Qt has no Windows-1252 codec (built without ICU)";
    for (int b = 1; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        EXPECT_EQ(fromCodePage(byte), decoder.decode(byte)) << "byte " << std::hex << b;
    }
}

} // namespace
} // namespace dexlan
