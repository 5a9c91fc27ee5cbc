// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/page_layout.h"

#include "resources/classic_look.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace dexlan {

void internalError(const char* routine, int entry, const QByteArray& value) {
    qFatal("%s: entry %d holds the impossible value \"%s\"", routine, entry, value.constData());
}

// A background colour and the text colour that goes with it.
QPalette withColours(QPalette palette, QPalette::ColorRole background, const QColor& colour,
                     const QColor& text) {
    static constexpr std::pair<QPalette::ColorRole, QPalette::ColorRole> kTextOn[] = {
        {QPalette::Window, QPalette::WindowText},
        {QPalette::Button, QPalette::ButtonText},
        {QPalette::Base, QPalette::Text},
    };
    palette.setColor(background, colour);
    for (const auto& [face, textRole] : kTextOn) {
        if (face == background)
            palette.setColor(textRole, text);
    }
    return palette;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(place);
    return frame;
}

QPushButton* makeCommand(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setGeometry(place);
    return button;
}

// Where the classic font is missing the substitute sets the same text a little
// wider. A label then grows downwards, as far as the next control, rather than
// lose its last lines; with the classic font it keeps its designed height.
void fitHeight(QLabel* label, int bottomLimit) {
    const int designHeight = label->property("designHeight").toInt();
    const int needed = label->heightForWidth(label->width());
    label->resize(label->width(),
                  std::max(designHeight, std::min(needed, bottomLimit - label->y())));
}

void showWholeText(QLabel* label, const QString& text, int bottomLimit) {
    label->setText(text);
    fitHeight(label, bottomLimit);
}

namespace {

bool sideBySide(const QRect& one, const QRect& other) {
    return one.top() <= other.bottom() && other.top() <= one.bottom();
}

// The right edge a control may grow to: its container's edge, or the nearest
// control to its right in the same rows, less the gap.
int rightLimit(const QWidget* control, int gap) {
    const QWidget* container = control->parentWidget();
    int limit = container->width() - gap;
    for (const QWidget* other : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != control && !other->isHidden() && other->x() > control->x() &&
            sideBySide(other->geometry(), control->geometry()))
            limit = std::min(limit, other->x() - gap);
    }
    return limit;
}

// A frame that is too narrow for what it holds grows to the right, as far as
// its page allows, and then to the left, as far as the controls beside it
// allow. What it holds keeps its place within it.
void widenFrame(QGroupBox* frame, int width) {
    if (width <= frame->width())
        return;
    const QWidget* page = frame->parentWidget();
    const int gap = twipsToPixels(*frame, kGapTwips);
    QRect place = frame->geometry();
    place.setWidth(std::max(place.width(), std::min(width, page->width() - gap - place.x())));
    if (place.width() < width) {
        int leftLimit = gap;
        for (const QWidget* other : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != frame && !other->isHidden() && other->x() < frame->x() &&
                sideBySide(other->geometry(), place))
                leftLimit = std::max(leftLimit, other->geometry().right() + 1 + gap);
        }
        place.setLeft(std::min(place.left(), std::max(leftLimit, place.right() + 1 - width)));
    }
    frame->setGeometry(place);
}

} // namespace

// A heading widens towards the next control before it takes a second line.
void widenHeading(QLabel* heading) {
    const int needed = heading->fontMetrics().horizontalAdvance(heading->text()) + 1;
    const int limit = rightLimit(heading, twipsToPixels(*heading, kGapTwips));
    if (needed > heading->width())
        heading->resize(std::max(heading->width(), std::min(needed, limit - heading->x())),
                        heading->height());
}

void showWholeTitle(QGroupBox* frame) {
    widenFrame(frame, frame->minimumSizeHint().width());
}

// An option button's caption widens the button within its frame, and the frame
// with it where the frame is too narrow.
void showWholeCaption(QRadioButton* button) {
    // The frame's own border on the right.
    constexpr int kBorder = 2;
    auto* frame = static_cast<QGroupBox*>(button->parentWidget());
    const int needed = button->sizeHint().width();
    widenFrame(frame, button->x() + needed + kBorder);
    const int room = frame->width() - button->x() - kBorder;
    if (needed > button->width())
        button->resize(std::min(needed, room), button->height());
}

// A command button's caption widens the button towards the next control.
void showWholeCaption(QPushButton* button) {
    QStyleOptionButton look;
    look.initFrom(button);
    look.text = button->text();
    const int room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &look, button).width();
    const int needed = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
    if (needed <= room)
        return;
    const int limit = rightLimit(button, twipsToPixels(*button, kGapTwips));
    button->resize(std::min(button->width() + needed - room, limit - button->x()),
                   button->height());
}

// 195 twips is a pixel short of some styles' option indicator, which then
// loses its lower edge (two device pixels at 200 %). The button grows about
// its centre instead; the buttons of a frame are at least 210 twips apart.
void showWholeIndicator(QRadioButton* button) {
    const int needed =
        button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, button);
    if (button->height() < needed) {
        const int grow = needed - button->height();
        button->setGeometry(button->x(), button->y() - grow / 2, button->width(), needed);
    }
}

} // namespace dexlan
