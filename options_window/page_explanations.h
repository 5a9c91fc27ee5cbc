// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_window/option_buttons.h"

#include <QByteArray>

#include <span>

namespace dexlan {

// One choice of the Lesson Advance, Sounds or Documentation page: the option
// button that stands for it (and with it the entry's value) and the page's
// explanation. Each table lists its buttons in the order the page sets them.
struct ChoiceText {
    OptionId button;
    const char* text; // caption of the page's explanation label, in kPageExplanationsContext
};

// The translation context of the explanations.
inline constexpr char kPageExplanationsContext[] = "PageExplanations";

std::span<const ChoiceText> advanceChoices();   // entry 10, Label12
std::span<const ChoiceText> soundChoices();     // entry 11, Label14
std::span<const ChoiceText> documentsChoices(); // entry 12, Label26

// The row for a value, or nullptr when the value is not one of the page's.
const ChoiceText* choiceFor(std::span<const ChoiceText> choices, const QByteArray& value);

} // namespace dexlan
