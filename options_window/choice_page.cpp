// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/choice_page.h"

#include "options_window/page_layout.h"
#include "resources/classic_look.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>

#include <array>

namespace dexlan {

namespace {

struct ChoicePageDesign {
    const char* headingName;
    const char* heading;
    const char* explanationName;
    const char* explanation;
    const char* frameName;
    const char* frameCaption;
    int frameHeight;
    int entry;
    std::span<const ChoiceText> (*choices)();
    const char* routine; // named when the entry holds an impossible value
};

// By ChoicePageKind.
const std::array<ChoicePageDesign, 3> kDesigns{{
    {"Label11", QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Lesson Advance Option"), "Label12",
     QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Details about F2 button"), "Frame2",
     QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Manual Lesson Advance Option "), 1260,
     EntryManualAdvance, advanceChoices, "showAdvanceExplanation"},
    {"Label13", QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Sound Effects Options"), "Label14",
     QT_TRANSLATE_NOOP("dexlan::ChoicePage", "About sound effects..."), "Frame3",
     QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Sound effects options "), 1575, EntrySounds,
     soundChoices, "showSoundExplanation"},
    {"Label27", QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Documentation Option"), "Label26",
     QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Details about F2 button"), "Frame12",
     QT_TRANSLATE_NOOP("dexlan::ChoicePage", "Documentation Option "), 1260, EntryDocuments,
     documentsChoices, "showDocumentsExplanation"},
}};

const ChoicePageDesign& designOf(ChoicePageKind kind) {
    return kDesigns[static_cast<std::size_t>(kind)];
}

} // namespace

ChoicePage::ChoicePage(ChoicePageKind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {}

void ChoicePage::build() {
    const ChoicePageDesign& design = designOf(m_kind);
    makeLabel(this, design.headingName, tr(design.heading), twipsRect(*this, 210, 210, 2850, 330),
              classicFont(true));
    m_explanation = makeLabel(this, design.explanationName, tr(design.explanation),
                              twipsRect(*this, 210, 630, 3480, 1590), classicFont());
    m_frame = makeFrame(this, design.frameName, tr(design.frameCaption),
                        twipsRect(*this, 5145, 210, 3420, design.frameHeight));
}

const ChoiceText& ChoicePage::choiceInForce(const OptionLines& lines) const {
    const ChoicePageDesign& design = designOf(m_kind);
    const ChoiceText* choice = choiceFor(design.choices(), lines[design.entry]);
    if (!choice)
        internalError(design.routine, design.entry, lines[design.entry]);
    return *choice;
}

void ChoicePage::showExplanation(const ChoiceText& choice) {
    showWholeText(m_explanation, QCoreApplication::translate(kPageExplanationsContext, choice.text),
                  height() - 7);
}

} // namespace dexlan
