// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/classic_look.h"

#include <QWidget>

#include <cmath>

namespace dexlan {

namespace {

// The classic fonts first; after them sans fonts of similar width, so that the
// texts wrap roughly where they wrap on the trainer's machines.
QStringList sansFamilies() {
    return {QStringLiteral("MS Sans Serif"),
            QStringLiteral("Microsoft Sans Serif"),
            QStringLiteral("Arial"),
            QStringLiteral("Liberation Sans"),
            QStringLiteral("Helvetica"),
            QStringLiteral("Nimbus Sans"),
            QStringLiteral("DejaVu Sans Condensed"),
            QStringLiteral("DejaVu Sans")};
}

QFont sansFont(qreal points, bool bold) {
    QFont font;
    font.setFamilies(sansFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

int twipsToPixels(int twips, qreal logicalDpi) {
    return int(std::lround(twips * logicalDpi / 1440.0));
}

int twipsToPixels(const QWidget& widget, int twips) {
    return twipsToPixels(twips, widget.logicalDpiX());
}

QRect twipsRect(const QWidget& widget, int left, int top, int width, int height) {
    const qreal dpiX = widget.logicalDpiX();
    const qreal dpiY = widget.logicalDpiY();
    return {twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
            twipsToPixels(height, dpiY)};
}

QFont classicFont(bool bold) {
    return sansFont(8.25, bold);
}

QFont systemFont() {
    return sansFont(9.75, true);
}

} // namespace dexlan
