// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/option_buttons.h"

#include "options_file/option_lines.h"

#include <QCoreApplication>

#include <array>

namespace dexlan {

namespace {

using Id = OptionId;
using Frame = OptionFrame;
using Page = ExplanationPage;

constexpr std::array<OptionButton, kOptionCount> kButtons{{
    // clang-format off
    {Id::AutomaticHistory, "Option10", Frame::HistoryMode, QT_TRANSLATE_NOOP("OptionButtons", "ten"), 210, 315, 3600, 195, false,
     EntryHistoryMode, values::kHistAuto, Page::History, false, false},
    {Id::PasswordHistory, "Option1", Frame::HistoryMode, QT_TRANSLATE_NOOP("OptionButtons", "Password required for each user"), 210, 525, 3585, 195, false,
     EntryHistoryMode, values::kHistLogin, Page::History, true, false},
    {Id::OpenList, "Option23", Frame::HistoryMode, QT_TRANSLATE_NOOP("OptionButtons", "Multi-user open list"), 210, 735, 2640, 195, false,
     EntryHistoryMode, values::kHistRosterOpen, Page::History, false, false},
    {Id::ProtectedList, "Option24", Frame::HistoryMode, QT_TRANSLATE_NOOP("OptionButtons", "Multi-user protected list"), 210, 945, 2640, 195, false,
     EntryHistoryMode, values::kHistRosterProtected, Page::History, false, false},
    {Id::DriveAHistory, "Option25", Frame::HistoryMode, QT_TRANSLATE_NOOP("OptionButtons", "History files saved on disks in Drive A"), 210, 1155, 3360, 195, false,
     EntryHistoryMode, values::kHistDriveA, Page::History, false, false},
    {Id::NoHistory, "Option4", Frame::HistoryMode, QT_TRANSLATE_NOOP("OptionButtons", "No history files saved"), 210, 1365, 3240, 195, false,
     EntryHistoryMode, values::kHistNone, Page::History, false, false},
    {Id::ManualAdvanceOn, "Option18", Frame::ManualAdvance, QT_TRANSLATE_NOOP("OptionButtons", "Option included"), 210, 315, 2955, 195, true,
     EntryManualAdvance, values::kF2On, Page::Advance, false, false},
    {Id::ManualAdvanceOff, "Option17", Frame::ManualAdvance, QT_TRANSLATE_NOOP("OptionButtons", "Option removed"), 210, 735, 2955, 225, false,
     EntryManualAdvance, values::kF2Off, Page::Advance, false, false},
    {Id::AllSounds, "Option21", Frame::Sounds, QT_TRANSLATE_NOOP("OptionButtons", "All sound effects available from menu"), 210, 315, 2955, 195, true,
     EntrySounds, values::kSfxAll, Page::Sounds, false, false},
    {Id::BeepsOnly, "Option20", Frame::Sounds, QT_TRANSLATE_NOOP("OptionButtons", "\"Beep\" sounds only"), 210, 735, 2955, 225, false,
     EntrySounds, values::kSfxBeep, Page::Sounds, false, false},
    {Id::Silent, "Option19", Frame::Sounds, QT_TRANSLATE_NOOP("OptionButtons", "Silent operation only"), 210, 1155, 2850, 225, false,
     EntrySounds, values::kSfxNone, Page::Sounds, false, false},
    {Id::IncludeDocuments, "Option13", Frame::Documents, QT_TRANSLATE_NOOP("OptionButtons", "Include documents in program menu"), 210, 315, 2955, 195, true,
     EntryDocuments, values::kDocumentsOn, Page::Documents, false, true},
    {Id::NoDocuments, "Option14", Frame::Documents, QT_TRANSLATE_NOOP("OptionButtons", "Do not include documents"), 210, 735, 2955, 225, false,
     EntryDocuments, values::kDocumentsOff, Page::Documents, false, false},
    // clang-format on
}};

// The table is indexed by its ids.
constexpr bool idsInOrder() {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (indexOf(kButtons[i].id) != i)
            return false;
    }
    return true;
}
static_assert(idsInOrder());

} // namespace

std::span<const OptionButton> optionButtons() {
    return kButtons;
}

const OptionButton& optionButton(OptionId id) {
    return kButtons[indexOf(id)];
}

MsgBoxRequest documentsNotInstalledMessage() {
    return {
        QCoreApplication::translate(
            "OptionButtons",
            "The Documentations was not selected and installed when the Setup program was run.  To "
            "include the documentation in the Dexlan Trainer menu, you must run Setup again."),
        MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
        QCoreApplication::translate("OptionButtons", "Sorry...")};
}

} // namespace dexlan
