// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/classic_look.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

TEST(ClassicLook, TwipsBecomePixelsAtTheScreensDpi) {
    struct Case {
        int twips;
        qreal dpi;
        int pixels;
    };
    const Case cases[] = {
        {15, 96, 1}, {9150, 96, 610}, {-20000, 96, -1333}, {1440, 120, 120}, {225, 144, 23},
    };
    for (const Case& c : cases)
        EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
}

TEST(ClassicLook, PlacesFollowTheWidgetsScreen) {
    QWidget widget;
    // The offscreen screen reports 96 dpi: 15 twips to a pixel.
    ASSERT_EQ(widget.logicalDpiX(), 96);
    EXPECT_EQ(twipsRect(widget, 210, 315, 510, 510), QRect(14, 21, 34, 34));
}

TEST(ClassicLook, FontsKeepTheirSizeAndWeightWhateverFamilyIsInstalled) {
    EXPECT_DOUBLE_EQ(classicFont().pointSizeF(), 8.25);
    EXPECT_FALSE(QFontInfo(classicFont()).bold());
    EXPECT_TRUE(QFontInfo(classicFont(true)).bold());
    EXPECT_DOUBLE_EQ(systemFont().pointSizeF(), 9.75);
    EXPECT_TRUE(QFontInfo(systemFont()).bold());
    // A sans family is found even where none of the classic ones is installed.
    EXPECT_FALSE(QFontInfo(classicFont()).family().isEmpty());
}

TEST(ClassicLook, UnderCtestTheWindowsSeeOnlyTheDejaVuFonts) {
    // ctest points fontconfig at a file that shows the DejaVu fonts alone, so
    // the window tests prove their layouts without the classic fonts' twins.
    if (!qEnvironmentVariable("FONTCONFIG_FILE").endsWith(QLatin1String("test_fonts/fonts.conf")))
        GTEST_SKIP() << "run outside ctest: the machine's own fonts are in use";
    const QStringList families = QFontDatabase::families();
    for (const char* twin : {"Arial", "Liberation Sans", "Helvetica", "Nimbus Sans"})
        EXPECT_FALSE(families.contains(QLatin1String(twin))) << twin;
    EXPECT_TRUE(QFontInfo(classicFont()).family().startsWith(QLatin1String("DejaVu Sans")));
}

TEST(ClassicLook, PicturesAreBuiltIn) {
    const QPixmap emblem(QString::fromLatin1(kEmblemPath));
    ASSERT_FALSE(emblem.isNull());
    EXPECT_EQ(emblem.size(), QSize(34, 34));
    EXPECT_FALSE(QPixmap(QString::fromLatin1(kIconPath)).isNull());
}

} // namespace
} // namespace dexlan
