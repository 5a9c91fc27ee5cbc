// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"

#include <QLatin1String>
#include <QStringView>

#include <array>
#include <span>

namespace dexlan {

// The words of the options file, once: which entry each setting is, the key
// the command line gives it, and each value with the word that names it. The
// command line, the window's option buttons and the summary all speak of the
// same values; their tests hold them to this table.
struct OptionWord {
    const char* word;  // as the command line and --get spell it
    const char* value; // the entry's literal in the file
};
struct OptionVocabulary {
    const char* key; // as the command line spells it
    int entry;
    std::array<OptionWord, 6> words; // ends at the first empty word
    bool settable;                   // --set may change it; the window's buttons choose it
};

inline constexpr OptionVocabulary kOptionVocabulary[] = {
    {"type",
     EntryInstallation,
     {{{"single-computer", values::kSingleComputer},
       {"network", values::kNetwork},
       {"individual", values::kIndividual}}},
     false},
    {"history",
     EntryHistoryMode,
     {{{"auto", values::kHistAuto},
       {"login", values::kHistLogin},
       {"roster-open", values::kHistRosterOpen},
       {"roster-protected", values::kHistRosterProtected},
       {"drive-a", values::kHistDriveA},
       {"none", values::kHistNone}}},
     true},
    {"f2", EntryManualAdvance, {{{"on", values::kF2On}, {"off", values::kF2Off}}}, true},
    {"sounds",
     EntrySounds,
     {{{"all", values::kSfxAll}, {"beep", values::kSfxBeep}, {"none", values::kSfxNone}}},
     true},
    {"documents",
     EntryDocuments,
     {{{"on", values::kDocumentsOn}, {"off", values::kDocumentsOff}}},
     true},
};

// The words of one setting, up to the first empty one.
inline std::span<const OptionWord> wordsOf(const OptionVocabulary& setting) {
    std::size_t count = 0;
    while (count < setting.words.size() && setting.words[count].word)
        ++count;
    return {setting.words.data(), count};
}

// The setting of a key, or of an entry; nothing for one of no fixed values.
inline const OptionVocabulary* vocabularyOfKey(QStringView key) {
    for (const OptionVocabulary& setting : kOptionVocabulary) {
        if (key == QLatin1String(setting.key))
            return &setting;
    }
    return nullptr;
}
inline const OptionVocabulary* vocabularyOfEntry(int entry) {
    for (const OptionVocabulary& setting : kOptionVocabulary) {
        if (setting.entry == entry)
            return &setting;
    }
    return nullptr;
}

} // namespace dexlan
