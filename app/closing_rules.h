// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"
#include "platform/message_box.h"

#include <optional>

namespace dexlan {

// The warning a network installation with automatic history gets when it is
// closed without a history location; nothing in every other case.
std::optional<MsgBoxRequest> networkLocationWarning(const OptionLines& optionLines);

// Whether the network-location check applies to this installation at all.
bool networkLocationCheckApplies(const OptionLines& optionLines);

} // namespace dexlan
