// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_file/option_lines.h"
#include "options_file/option_vocabulary.h"
#include "options_window/option_buttons.h"
#include "options_window/page_explanations.h"
#include "options_window/summary_text.h"

#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace dexlan {
namespace {

TEST(PageExplanations, EveryValueSelectsItsButtonAndExplainsIt) {
    struct Case {
        std::span<const ChoiceText> choices;
        const char* value;
        const char* button;
        const char* text;
    };
    const Case cases[] = {
        {advanceChoices(), "f2 on", "Option18",
         "In the default mode, lessons may be advanced manually by pressing the F2 key.  This can "
         "be an advantage if you wish to move quickly through certain lessons.  If no progress is "
         "made and no new keys are learned after the manual advance, the program will "
         "automatically revert to the place in the lessons where you were more successful at the "
         "next startup."},
        {advanceChoices(), "f2 off", "Option17",
         "In the classroom, disabling the manual advance option may be necessary if students "
         "attempt to use the manual program advance feature inappropriately."},
        {soundChoices(), "sfx all", "Option21",
         "In the default mode, all sound effect options are available and may be selected from "
         "the program menu.  Program sounds are used for feedback and for special effects in the "
         "Quorrix! game.  Silent operation is always an option at any time."},
        {soundChoices(), "sfx beep", "Option20",
         "In the classroom, sound effect options may be limited to simple 'beep' sounds in both "
         "the program and the game.  If this option is selected, students can select either the "
         "relatively quiet beep mode or silent operation, at their option."},
        {soundChoices(), "sfx none", "Option19",
         "In the classroom, turning off all program sounds may be the only option if noise is a "
         "problem and students cannot be relied upon to select reasonable sound levels for the "
         "program and game.  If the silent option is selected here, the program will run "
         "silently and no adjustment is possible."},
        {documentsChoices(), "documents on", "Option13",
         "The complete program documentation and index are available from the Dexlan program "
         "menu.  "},
        {documentsChoices(), "documents off", "Option14",
         "The documents options are not included in the program menu."},
    };
    for (const Case& c : cases) {
        const ChoiceText* choice = choiceFor(c.choices, c.value);
        ASSERT_NE(choice, nullptr) << c.value;
        EXPECT_STREQ(optionButton(choice->button).designName, c.button) << c.value;
        EXPECT_STREQ(choice->text, c.text) << c.value;
    }
}

TEST(PageExplanations, ImpossibleValuesHaveNoRow) {
    EXPECT_EQ(choiceFor(advanceChoices(), "f2 On"), nullptr);
    EXPECT_EQ(choiceFor(soundChoices(), "sfx beep "), nullptr);
    EXPECT_EQ(choiceFor(documentsChoices(), ""), nullptr);
}

TEST(OptionButtons, EachButtonStoresOneListedValue) {
    struct Expected {
        const char* button;
        int entry;
        const char* value;
        ExplanationPage page;
    };
    const Expected expected[] = {
        {"Option10", 4, "hist auto", ExplanationPage::History},
        {"Option1", 4, "hist login", ExplanationPage::History},
        {"Option23", 4, "hist roster open", ExplanationPage::History},
        {"Option24", 4, "hist roster protected", ExplanationPage::History},
        {"Option25", 4, "hist drive a:", ExplanationPage::History},
        {"Option4", 4, "hist none", ExplanationPage::History},
        {"Option18", 10, "f2 on", ExplanationPage::Advance},
        {"Option17", 10, "f2 off", ExplanationPage::Advance},
        {"Option21", 11, "sfx all", ExplanationPage::Sounds},
        {"Option20", 11, "sfx beep", ExplanationPage::Sounds},
        {"Option19", 11, "sfx none", ExplanationPage::Sounds},
        {"Option13", 12, "documents on", ExplanationPage::Documents},
        {"Option14", 12, "documents off", ExplanationPage::Documents},
    };
    const auto actions = optionButtons();
    ASSERT_EQ(actions.size(), std::size(expected));
    for (size_t i = 0; i < actions.size(); ++i) {
        EXPECT_STREQ(actions[i].designName, expected[i].button);
        EXPECT_EQ(actions[i].entry, expected[i].entry) << expected[i].button;
        EXPECT_STREQ(actions[i].value, expected[i].value) << expected[i].button;
        EXPECT_EQ(actions[i].refreshes, expected[i].page) << expected[i].button;
        // Only "hist login" rebuilds the user list itself, and only Option13
        // depends on the documentation.
        EXPECT_EQ(actions[i].fillsUserList, QByteArray(expected[i].button) == "Option1");
        EXPECT_EQ(actions[i].needsDocumentation, QByteArray(expected[i].button) == "Option13");
    }
}

// The buttons, the pages' explanations and the summary speak of exactly the
// values the command line sets: one vocabulary.
TEST(OptionButtons, ButtonsExplanationsAndSummaryCoverTheSettableVocabulary) {
    for (const OptionVocabulary& setting : kOptionVocabulary) {
        if (!setting.settable)
            continue;
        for (const OptionWord& word : wordsOf(setting)) {
            SCOPED_TRACE(word.value);
            int buttons = 0;
            for (const OptionButton& button : optionButtons())
                buttons += button.entry == setting.entry && QByteArray(button.value) == word.value;
            EXPECT_EQ(buttons, 1) << "one button chooses it";
        }
    }
    for (const OptionButton& button : optionButtons()) {
        SCOPED_TRACE(button.designName);
        const OptionVocabulary* setting = vocabularyOfEntry(button.entry);
        ASSERT_NE(setting, nullptr);
        EXPECT_TRUE(setting->settable);
        const auto words = wordsOf(*setting);
        EXPECT_TRUE(std::any_of(words.begin(), words.end(), [&](const OptionWord& word) {
            return QByteArray(word.value) == button.value;
        }));
    }
    const std::pair<int, std::span<const ValueText>> summaries[] = {
        {EntryManualAdvance, advanceSummaryTexts()},
        {EntrySounds, soundSummaryTexts()},
        {EntryDocuments, documentsSummaryTexts()},
    };
    for (const auto& [entry, texts] : summaries) {
        const auto words = wordsOf(*vocabularyOfEntry(entry));
        ASSERT_EQ(texts.size(), words.size());
        for (const OptionWord& word : words)
            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const ValueText& text) {
                return QByteArray(text.value) == word.value;
            })) << word.value;
    }
    for (const OptionWord& mode : wordsOf(*vocabularyOfKey(u"history")))
        EXPECT_TRUE(historySummary(values::kNetwork, mode.value, values::kHistHome).has_value())
            << mode.value;
}

TEST(OptionButtons, RefusalOfTheMissingDocumentation) {
    const MsgBoxRequest message = documentsNotInstalledMessage();
    EXPECT_EQ(message.prompt, "The Documentations was not selected and installed when the Setup "
                              "program was run.  To include the documentation in the Dexlan "
                              "Trainer menu, you must run Setup again.");
    EXPECT_EQ(message.title, "Sorry...");
    EXPECT_EQ(message.buttons, MsgButtons::Ok);
    EXPECT_EQ(message.icon, MsgIcon::Critical);
}

} // namespace
} // namespace dexlan
