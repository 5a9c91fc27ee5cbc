#pragma once

#include "platform/message_box.h"

#include <span>

namespace dexlan {

// The pages whose explanation an option button refreshes after storing its value.
enum class ExplanationPage { History, Advance, Sounds, Documents };

// What an option button does when it becomes selected: one literal into one
// entry, then the page's explanation routine.
struct OptionButtonAction {
    const char* button; // objectName
    int entry;          // of OptionLines
    const char* value;
    ExplanationPage refreshes;
    bool fillsUserList;      // afterwards rebuild the user list
    bool needsDocumentation; // refused while the documentation is not installed
};

// The thirteen option buttons of the window.
std::span<const OptionButtonAction> optionButtonActions();

// The refusal of "Include documents in program menu" without the documentation.
MsgBoxRequest documentsNotInstalledMessage();

} // namespace dexlan
