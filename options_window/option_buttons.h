// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/message_box.h"

#include <cstddef>
#include <span>

namespace dexlan {

// The thirteen option buttons of the window, in the order they are made.
enum class OptionId {
    AutomaticHistory, // Option10
    PasswordHistory,  // Option1
    OpenList,         // Option23
    ProtectedList,    // Option24
    DriveAHistory,    // Option25
    NoHistory,        // Option4
    ManualAdvanceOn,  // Option18
    ManualAdvanceOff, // Option17
    AllSounds,        // Option21
    BeepsOnly,        // Option20
    Silent,           // Option19
    IncludeDocuments, // Option13
    NoDocuments,      // Option14
};
inline constexpr std::size_t kOptionCount = 13;

inline constexpr std::size_t indexOf(OptionId id) {
    return static_cast<std::size_t>(id);
}

// The frames that hold option buttons; each is one exclusive group.
enum class OptionFrame {
    HistoryMode,   // Frame8
    ManualAdvance, // Frame2
    Sounds,        // Frame3
    Documents,     // Frame12
};
inline constexpr std::size_t kOptionFrameCount = 4;

// The pages whose explanation an option button refreshes after storing its value.
enum class ExplanationPage { History, Advance, Sounds, Documents };

// One option button: where it stands, what it says, and what it does when it
// becomes selected: one literal into one entry, then the page's explanation.
struct OptionButton {
    OptionId id;
    const char* designName; // objectName
    OptionFrame frame;
    const char* caption;          // translated in kOptionButtonsContext
    int left, top, width, height; // twips, within its frame
    bool selectedAtCreation;
    int entry; // of OptionLines
    const char* value;
    ExplanationPage refreshes;
    bool fillsUserList;      // afterwards rebuild the user list
    bool needsDocumentation; // refused while the documentation is not installed
};

// The translation context of the captions.
inline constexpr char kOptionButtonsContext[] = "OptionButtons";

// Every option button, indexed by OptionId.
std::span<const OptionButton> optionButtons();
const OptionButton& optionButton(OptionId id);

// The refusal of "Include documents in program menu" without the documentation.
MsgBoxRequest documentsNotInstalledMessage();

} // namespace dexlan
