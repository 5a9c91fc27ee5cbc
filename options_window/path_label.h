// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_window/summary_text.h"

#include <QLabel>

namespace dexlan {

// A label whose text may name a folder too long for its line. The folder
// alone is shortened in its middle with "…", so its start and its last levels
// stay in view, and the whole folder is in the tooltip. Shortened again
// whenever the label's width or font changes.
class PathLabel : public QLabel {
  public:
    using QLabel::QLabel;

    void setTextNamingPath(const TextNamingPath& text);
    // The text as set, with the folder whole.
    QString wholeText() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void fitPath();

    TextNamingPath m_text;
    QString m_shown; // what fitPath last set; a plain setText() replaces it
};

} // namespace dexlan
