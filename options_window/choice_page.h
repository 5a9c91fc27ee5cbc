// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"
#include "options_window/page_explanations.h"

#include <QWidget>

#include <span>

class QGroupBox;
class QLabel;

namespace dexlan {

// The pages that differ only in their texts: one option entry, a frame of
// option buttons for its values, and an explanation of the value in force.
enum class ChoicePageKind { LessonAdvance, Sounds, Documentation };

class ChoicePage : public QWidget {
    Q_OBJECT
  public:
    ChoicePage(ChoicePageKind kind, QWidget* parent);

    // Makes the heading, the explanation and the frame; the window calls it
    // once it has set its colours, and puts the option buttons in the frame.
    void build();

    // The row of the page's table for the entry's value; a value that is not
    // one of the page's means the program is broken, and it stops.
    const ChoiceText& choiceInForce(const OptionLines& lines) const;
    void showExplanation(const ChoiceText& choice);

    QGroupBox* frame() const { return m_frame; }

  private:
    ChoicePageKind m_kind;
    QLabel* m_explanation = nullptr; // Label12, Label14, Label26
    QGroupBox* m_frame = nullptr;    // Frame2, Frame3, Frame12
};

} // namespace dexlan
