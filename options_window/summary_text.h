// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"
#include "platform/code_page.h"

#include <QString>

#include <optional>
#include <span>

namespace dexlan {

// The sentences of the Current Options page, one table per row of the page,
// keyed by the option's value.
struct ValueText {
    const char* value; // the entry's value, compared exactly
    const char* text;
};

std::span<const ValueText> soundSummaryTexts();     // entry 11
std::span<const ValueText> advanceSummaryTexts();   // entry 10
std::span<const ValueText> documentsSummaryTexts(); // entry 12

// The history row depends on the mode, sometimes on the installation, and on
// whether a location is given. Its text is two lines: the first, a line break,
// then the second; a row that names the location ends its second line with the
// location and a full stop.
struct HistorySummaryText {
    enum class Installation { Any, SingleComputer, NetworkOrIndividual };
    enum class Location { NotTested, Given, NotGiven };

    const char* mode; // entry 4
    Installation installation;
    Location location;
    const char* firstLine;
    const char* secondLine; // before the location when the row names it
};

// A location is given when entry 5 is neither empty nor "hist home".
bool locationGiven(const QByteArray& entry5);

// A text that may name a folder. A folder may be longer than the line that
// shows it; the window then shortens the folder, never the words round it.
struct TextNamingPath {
    QString before;
    QString path; // empty: the text names none
    QString after;

    QString whole() const { return before + path + after; }
    bool operator==(const TextNamingPath&) const = default;
};

// The history row's text, or nothing for a mode or installation the model
// cannot hold; the location, when the row names it, as its path.
// The location is read in codePage, the trainer's.
std::optional<TextNamingPath>
historySummaryParts(const QByteArray& entry3, const QByteArray& entry4, const QByteArray& entry5,
                    const CodePage& codePage = CodePage::windows1252());
std::optional<QString> historySummary(const QByteArray& entry3, const QByteArray& entry4,
                                      const QByteArray& entry5,
                                      const CodePage& codePage = CodePage::windows1252());

// The text a table gives for a value, or nothing when the value is not in it.
std::optional<QString> lookUp(std::span<const ValueText> table, const QByteArray& value);

// Everything showSummary writes, in its order: Label2 elements 7, 1, 6, 5, 10.
struct SummaryTexts {
    TextNamingPath programLocation; // element 7
    TextNamingPath history;         // element 1
    QString sounds;                 // element 6
    QString advance;                // element 5
    QString documents;              // element 10
};

// Nothing when an entry holds a value the loader and the option buttons never
// store.
std::optional<SummaryTexts> summaryTexts(const OptionLines& lines, const QString& programFolder,
                                         const CodePage& codePage = CodePage::windows1252());

} // namespace dexlan
