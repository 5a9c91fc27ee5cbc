// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace dexlan {

// Resource paths of the program's pictures.
inline constexpr char kIconPath[] = ":/resources/icon.png";
inline constexpr char kEmblemPath[] = ":/resources/emblem.png"; // 34 x 34 pixels

// The windows are laid out in twips (1/1440 inch), as the trainer's own
// windows are; this is the length in pixels on the widget's screen.
int twipsToPixels(const QWidget& widget, int twips);
int twipsToPixels(int twips, qreal logicalDpi);

// A place (left, top, width, height) in twips, in pixels.
QRect twipsRect(const QWidget& widget, int left, int top, int width, int height);

// The 8.25 point sans font the windows use by default, or the nearest sans
// font at the same size where it is missing.
QFont classicFont(bool bold = false);

// The 9.75 point bold "System" font of the location box and the user list.
QFont systemFont();

} // namespace dexlan
