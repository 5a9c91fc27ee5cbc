// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/path_label.h"

#include <QEvent>
#include <QFontMetrics>

namespace dexlan {

void PathLabel::setTextNamingPath(const TextNamingPath& text) {
    m_text = text;
    setToolTip(text.path);
    setAccessibleDescription(text.path);
    fitPath();
}

QString PathLabel::wholeText() const {
    return text() == m_shown ? m_text.whole() : text();
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fitPath();
}

void PathLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitPath();
}

void PathLabel::fitPath() {
    // Someone set a plain text meanwhile: it names no folder.
    if (text() != m_shown) {
        m_text = {text(), {}, {}};
        setToolTip({});
        setAccessibleDescription({});
    }
    QString shown = m_text.whole();
    if (!m_text.path.isEmpty()) {
        // The folder's line: from the last line break before it to the end.
        const qsizetype lineStart = m_text.before.lastIndexOf(QLatin1Char('\n')) + 1;
        const QString words = m_text.before.mid(lineStart) + m_text.after;
        const QFontMetrics metrics = fontMetrics();
        // A pixel to spare, so that rounding never wraps the line.
        const int room = contentsRect().width() - 1 - margin() * 2;
        if (metrics.horizontalAdvance(words + m_text.path) > room) {
            QString path = metrics.elidedText(m_text.path, Qt::ElideMiddle,
                                              room - metrics.horizontalAdvance(words));
            if (path.isEmpty())
                path = QString(QChar(0x2026));
            shown = m_text.before + path + m_text.after;
        }
    }
    m_shown = shown;
    if (text() != shown)
        setText(shown);
    // A screen reader reads the whole folder, not the shortened one.
    setAccessibleName(shown == m_text.whole() ? QString() : m_text.whole());
}

} // namespace dexlan
