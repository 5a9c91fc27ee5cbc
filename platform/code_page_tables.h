// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The upper halves of the code pages the program can read and write; used by
// platform/code_page.cpp only.

namespace dexlan::code_page_tables {

struct Table {
    int number;            // 874, 1250 ... 1258
    char16_t high[128];    // the characters of bytes 0x80 to 0xFF
};

inline constexpr int kTableCount = 10;
extern const Table kTables[kTableCount];

} // namespace dexlan::code_page_tables
