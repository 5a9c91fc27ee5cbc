// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/code_page.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

QString from1252(const QByteArray& bytes) {
    return fromCodePage(bytes, CodePage::windows1252());
}
std::optional<QByteArray> to1252(const QString& text) {
    return toCodePage(text, CodePage::windows1252());
}

TEST(CodePage, EveryByteButNulRoundTrips) {
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const std::optional<QByteArray> back = to1252(from1252(all));
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
    EXPECT_EQ(from1252("\x80\xe9"), QString::fromUtf8("€é"));
    EXPECT_EQ(to1252(QString::fromUtf8("€é")), QByteArray("\x80\xe9"));
}

// The bytes where Windows-1252 differs from Latin-1, each with its character.
TEST(CodePage, BytesHex80To9FEachHaveTheirCharacter) {
    const char16_t expected[32] = {u'€', 0x81, u'‚', u'ƒ', u'„', u'…', u'†', u'‡', u'ˆ', u'‰', u'Š',
                                   u'‹', u'Œ', 0x8D, u'Ž', 0x8F, 0x90, u'‘', u'’', u'“', u'”', u'•',
                                   u'–', u'—', u'˜', u'™', u'š', u'›', u'œ', 0x9D, u'ž', u'Ÿ'};
    for (int b = 0x80; b < 0xA0; ++b) {
        const QString text = from1252(QByteArray(1, char(b)));
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(text.at(0).unicode(), expected[b - 0x80]) << "byte " << std::hex << b;
        EXPECT_EQ(to1252(text), QByteArray(1, char(b))) << "byte " << std::hex << b;
    }
}

TEST(CodePage, RefusesCharactersWithoutSingleByteForm) {
    EXPECT_FALSE(to1252(QString::fromUtf8("Ω")));
    EXPECT_FALSE(to1252(QString::fromUtf8("a😀")));
    // Control characters whose byte holds a printable character here.
    EXPECT_FALSE(to1252(QString(QChar(0x80))));
    EXPECT_FALSE(to1252(QString(QChar(0x9F))));
}

// Where Qt has a Windows-1252 codec of its own (with ICU), both agree on every byte.
TEST(CodePage, AgreesWithQtsCodecWhereThereIsOne) {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        GTEST_SKIP() << "this Qt has no Windows-1252 codec (built without ICU)";
    for (int b = 1; b < 256; ++b) {
        const QByteArray byte(1, char(b));
        EXPECT_EQ(from1252(byte), decoder.decode(byte)) << "byte " << std::hex << b;
    }
}

const int kCodePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

// A byte the code page leaves unassigned: it stands for a control character
// or a private-use character, never for a letter of any text.
bool unassigned(char16_t c) {
    return (c >= 0x80 && c < 0xA0) || (c >= 0xF780 && c <= 0xF7FF);
}

TEST(CodePages, EveryByteRoundTripsInEachAndTheWindows1252OneIsTheTrainersOwn) {
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    for (int number : kCodePages) {
        SCOPED_TRACE(number);
        const std::optional<CodePage> page = CodePage::byNumber(number);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->number(), number);
        const QString text = page->decode(all);
        EXPECT_EQ(page->encode(text), all);
        EXPECT_EQ(text.left(127), QString::fromLatin1(all.left(127))) << "ASCII below 0x80";
    }
    EXPECT_EQ(CodePage::windows1252().decode(all), from1252(all));
    EXPECT_FALSE(CodePage::byNumber(1249));
    EXPECT_FALSE(CodePage::byNumber(65001)) << "UTF-8 is no single-byte code page";
}

// Letters of each alphabet, from the code pages' published mappings.
TEST(CodePages, LettersOfEachAlphabetHaveTheirBytes) {
    struct Case {
        int number;
        const char* text; // UTF-8
        QByteArray bytes;
    };
    const Case cases[] = {
        {1250, "Łukasz Żółć", "\xa3ukasz \xaf\xf3\xb3\xe6"},
        {1250, "Dvořák Ő", "Dvo\xf8\xe1k \xd5"},
        {1251, "Иван Петров", "\xc8\xe2\xe0\xed \xcf\xe5\xf2\xf0\xee\xe2"},
        {1253, "Άλφα", "\xa2\xeb\xf6\xe1"},
        {1254, "Şükrü Ğ", "\xde\xfckr\xfc \xd0"},
        {1255, "שלום", "\xf9\xec\xe5\xed"},
        {1256, "سلام", "\xd3\xe1\xc7\xe3"},
        {1257, "Jānis Ļ", "J\xe2nis \xcf"},
        {1258,
         "Đư\xcc\x81"
         "c",
         "\xd0\xfd\xec"
         "c"}, // the tone mark as a combining one
        {874, "สม", "\xca\xc1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CodePage page = *CodePage::byNumber(c.number);
        EXPECT_EQ(page.encode(QString::fromUtf8(c.text)), c.bytes);
        EXPECT_EQ(page.decode(c.bytes), QString::fromUtf8(c.text));
    }
    EXPECT_FALSE(CodePage::byNumber(1252)->encode(QString::fromUtf8("Łukasz")))
        << "not every name fits every code page";
}

// Where Qt has ICU (Linux), each code page's table agrees with its codec on
// every assigned byte.
TEST(CodePages, AgreeWithTheSystemsCodecWhereThereIsOne) {
    int compared = 0;
    for (int number : kCodePages) {
        SCOPED_TRACE(number);
        QStringDecoder codec(QStringLiteral("windows-%1").arg(number).toLatin1().constData());
        if (!codec.isValid())
            continue;
        ++compared;
        const CodePage page = *CodePage::byNumber(number);
        for (int b = 0x80; b < 0x100; ++b) {
            const QByteArray byte(1, char(b));
            const QString ours = page.decode(byte);
            if (unassigned(ours.at(0).unicode()))
                continue;
            QStringDecoder fresh(QStringLiteral("windows-%1").arg(number).toLatin1().constData());
            EXPECT_EQ(ours, QString(fresh(byte))) << "byte 0x" << std::hex << b;
        }
    }
#ifdef Q_OS_LINUX
    EXPECT_GT(compared, 0) << "Qt on Linux has ICU's codecs";
#endif
}

} // namespace
} // namespace dexlan
