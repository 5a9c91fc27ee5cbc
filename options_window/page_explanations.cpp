// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/page_explanations.h"

#include "options_file/option_lines.h"

#include <QCoreApplication>

#include <array>

namespace dexlan {

namespace {

constexpr std::array<ChoiceText, 2> kAdvance{{
    {OptionId::ManualAdvanceOn,
     QT_TRANSLATE_NOOP("PageExplanations",
                       "In the default mode, lessons may be advanced manually by pressing the F2 "
                       "key.  This can be an advantage if you wish to move quickly through certain "
                       "lessons.  If no progress is made and no new keys are learned after the "
                       "manual advance, the program will automatically revert to the place in the "
                       "lessons where you were more successful at the next startup.")},
    {OptionId::ManualAdvanceOff,
     QT_TRANSLATE_NOOP(
         "PageExplanations",
         "In the classroom, disabling the manual advance option may be necessary if students "
         "attempt to use the manual program advance feature inappropriately.")},
}};

constexpr std::array<ChoiceText, 3> kSounds{{
    {OptionId::AllSounds,
     QT_TRANSLATE_NOOP(
         "PageExplanations",
         "In the default mode, all sound effect options are available and may be selected from the "
         "program menu.  Program sounds are used for feedback and for special effects in the "
         "Quorrix! game.  Silent operation is always an option at any time.")},
    {OptionId::BeepsOnly,
     QT_TRANSLATE_NOOP(
         "PageExplanations",
         "In the classroom, sound effect options may be limited to simple 'beep' sounds in both "
         "the program and the game.  If this option is selected, students can select either the "
         "relatively quiet beep mode or silent operation, at their option.")},
    {OptionId::Silent,
     QT_TRANSLATE_NOOP("PageExplanations",
                       "In the classroom, turning off all program sounds may be the only option if "
                       "noise is a problem and students cannot be relied upon to select reasonable "
                       "sound levels for the program and game.  If the silent option is selected "
                       "here, the program will run silently and no adjustment is possible.")},
}};

constexpr std::array<ChoiceText, 2> kDocuments{{
    {OptionId::IncludeDocuments,
     QT_TRANSLATE_NOOP("PageExplanations", "The complete program documentation and index are "
                                           "available from the Dexlan program menu.  ")},
    {OptionId::NoDocuments,
     QT_TRANSLATE_NOOP("PageExplanations",
                       "The documents options are not included in the program menu.")},
}};

} // namespace

std::span<const ChoiceText> advanceChoices() {
    return kAdvance;
}

std::span<const ChoiceText> soundChoices() {
    return kSounds;
}

std::span<const ChoiceText> documentsChoices() {
    return kDocuments;
}

const ChoiceText* choiceFor(std::span<const ChoiceText> choices, const QByteArray& value) {
    for (const ChoiceText& choice : choices) {
        if (value == optionButton(choice.button).value)
            return &choice;
    }
    return nullptr;
}

} // namespace dexlan
