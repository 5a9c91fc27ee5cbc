// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QRect>
#include <QString>

class QGroupBox;
class QPushButton;
class QRadioButton;
class QWidget;

namespace dexlan {

// How the window's pages make their controls and fit their captions: each
// control stands where the design puts it and grows only where its text needs
// the room.

// The loader and the option buttons store only the listed values; anything
// else means the program itself is broken, and going on could write it out.
[[noreturn]] void internalError(const char* routine, int entry, const QByteArray& value);

// A word-wrapped plain-text label that remembers its designed height.
template <class Label = QLabel>
Label* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect place,
                 const QFont& font) {
    auto* label = new Label(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    label->setGeometry(place);
    label->setProperty("designHeight", place.height());
    return label;
}

// A background colour and the text colour that goes with it.
QPalette withColours(QPalette palette, QPalette::ColorRole background, const QColor& colour,
                     const QColor& text);
QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, QRect place);
QPushButton* makeCommand(QWidget* parent, const char* name, const QString& caption, QRect place);

// The room a grown control keeps from its neighbours and its container's edge.
// Four pixels at 96 dpi: enough to tell them apart, and DejaVu Sans, the widest
// common substitute, still fits.
inline constexpr int kGapTwips = 60;

// A label grows downwards, as far as bottomLimit, rather than lose its last lines.
void fitHeight(QLabel* label, int bottomLimit);
void showWholeText(QLabel* label, const QString& text, int bottomLimit);
// A heading widens towards the next control before it takes a second line.
void widenHeading(QLabel* heading);
void showWholeTitle(QGroupBox* frame);
// An option button's caption widens the button within its frame, and the frame
// with it where the frame is too narrow.
void showWholeCaption(QRadioButton* button);
// A command button's caption widens the button towards the next control.
void showWholeCaption(QPushButton* button);
// An option button is at least as tall as its style's indicator.
void showWholeIndicator(QRadioButton* button);

} // namespace dexlan
