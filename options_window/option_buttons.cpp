#include "options_window/option_buttons.h"

#include "options_file/option_lines.h"

#include <array>

namespace dexlan {

namespace {

using Page = ExplanationPage;

constexpr std::array<OptionButtonAction, 13> kActions{{
    {"Option10", EntryHistoryMode, values::kHistAuto, Page::History, false, false},
    {"Option1", EntryHistoryMode, values::kHistLogin, Page::History, true, false},
    {"Option23", EntryHistoryMode, values::kHistRosterOpen, Page::History, false, false},
    {"Option24", EntryHistoryMode, values::kHistRosterProtected, Page::History, false, false},
    {"Option25", EntryHistoryMode, values::kHistDriveA, Page::History, false, false},
    {"Option4", EntryHistoryMode, values::kHistNone, Page::History, false, false},
    {"Option18", EntryManualAdvance, values::kF2On, Page::Advance, false, false},
    {"Option17", EntryManualAdvance, values::kF2Off, Page::Advance, false, false},
    {"Option21", EntrySounds, values::kSfxAll, Page::Sounds, false, false},
    {"Option20", EntrySounds, values::kSfxBeep, Page::Sounds, false, false},
    {"Option19", EntrySounds, values::kSfxNone, Page::Sounds, false, false},
    {"Option13", EntryDocuments, values::kDocumentsOn, Page::Documents, false, true},
    {"Option14", EntryDocuments, values::kDocumentsOff, Page::Documents, false, false},
}};

} // namespace

std::span<const OptionButtonAction> optionButtonActions() {
    return kActions;
}

MsgBoxRequest documentsNotInstalledMessage() {
    return {QStringLiteral("The Documentations was not selected and installed when the Setup "
                           "program was run.  To include the documentation in the Dexlan Trainer "
                           "menu, you must run Setup again."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok, QStringLiteral("Sorry...")};
}

} // namespace dexlan
