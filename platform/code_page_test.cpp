#include "platform/code_page.h"

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

TEST(CodePage, ConvertsTheWindowsCharacters) {
    EXPECT_EQ(fromCodePage("\x80\xe9"), QString::fromUtf8("€é"));
    EXPECT_EQ(toCodePage(QString::fromUtf8("€é")), QByteArray("\x80\xe9"));
}

TEST(CodePage, RefusesCharactersWithoutSingleByteForm) {
    EXPECT_FALSE(toCodePage(QString::fromUtf8("Ω")));
    EXPECT_FALSE(toCodePage(QString::fromUtf8("a😀")));
}

} // namespace
} // namespace dexlan
