// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/path_label.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

const QChar kEllipsis(0x2026);

// A folder of 300 characters, as a deep school share gives.
QString longFolder() {
    const QString last = QStringLiteral("/last-level-of-it");
    QString folder = QStringLiteral("/srv/school-share");
    for (int level = 0; folder.size() < 300 - last.size(); ++level)
        folder += QStringLiteral("/class-%1-history").arg(level);
    return folder.left(300 - last.size()) + last;
}

// The width the label's last line takes.
int lastLineWidth(const QLabel& label) {
    return label.fontMetrics().horizontalAdvance(label.text().section(QLatin1Char('\n'), -1));
}

class PathLabelTest : public ::testing::Test {
  protected:
    PathLabelTest() {
        label.setWordWrap(true);
        label.resize(300, 60);
        // A hidden widget learns of its new size only once it is shown.
        label.show();
    }
    const TextNamingPath named{QStringLiteral("First line.\r\nThe location is "), longFolder(),
                               QStringLiteral(".")};
    PathLabel label;
};

TEST_F(PathLabelTest, ALongFolderIsShortenedInItsMiddleToFitItsLine) {
    ASSERT_EQ(longFolder().size(), 300);
    label.setTextNamingPath(named);
    const QString shown = label.text();
    EXPECT_TRUE(shown.contains(kEllipsis)) << shown.toStdString();
    // The words round it stay whole, and so do the folder's start and end.
    EXPECT_TRUE(shown.startsWith(named.before + "/srv/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("of-it.")) << shown.toStdString();
    EXPECT_LT(lastLineWidth(label), label.width());
    EXPECT_EQ(label.toolTip(), longFolder());
    EXPECT_EQ(label.accessibleDescription(), longFolder());
    EXPECT_EQ(label.accessibleName(), named.whole());
    EXPECT_EQ(label.wholeText(), named.whole());
}

TEST_F(PathLabelTest, AFolderThatFitsIsShownWhole) {
    const TextNamingPath shortOne{QStringLiteral("Stored in "), QStringLiteral("F:\\DATA"),
                                  QStringLiteral(".")};
    label.setTextNamingPath(shortOne);
    EXPECT_EQ(label.text(), "Stored in F:\\DATA.");
    EXPECT_EQ(label.toolTip(), "F:\\DATA");
    // A text without a folder has no tooltip.
    label.setTextNamingPath({QStringLiteral("No history files are stored."), {}, {}});
    EXPECT_EQ(label.text(), "No history files are stored.");
    EXPECT_TRUE(label.toolTip().isEmpty());
}

TEST_F(PathLabelTest, ShortenedAgainWhenTheWidthOrTheFontChanges) {
    label.setTextNamingPath(named);
    const QString at300 = label.text();

    label.resize(200, 60);
    EXPECT_NE(label.text(), at300);
    EXPECT_LT(lastLineWidth(label), label.width());

    // Wide enough again: the whole folder comes back.
    label.resize(label.fontMetrics().horizontalAdvance(named.whole()) + 10, 60);
    EXPECT_EQ(label.text(), named.whole());

    label.resize(300, 60);
    QFont larger = label.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    label.setFont(larger);
    EXPECT_LT(lastLineWidth(label), label.width());
    EXPECT_TRUE(label.text().contains(kEllipsis)) << label.text().toStdString();
    EXPECT_TRUE(label.text().endsWith("t.")) << label.text().toStdString();
}

TEST_F(PathLabelTest, APlainTextSetLaterIsKeptAsItIs) {
    label.setTextNamingPath(named);
    label.setText(QStringLiteral("single computer, stored with program"));
    label.resize(120, 60);
    EXPECT_EQ(label.text(), "single computer, stored with program");
    EXPECT_EQ(label.wholeText(), "single computer, stored with program");
    EXPECT_TRUE(label.toolTip().isEmpty());
}

} // namespace
} // namespace dexlan
