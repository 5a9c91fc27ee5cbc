// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_window/option_buttons.h"
#include "platform/code_page.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <span>

namespace dexlan {

// The History Files page as a function of the installation type (entry 3), the
// history mode (entry 4) and the location (entry 5). The window applies these
// decisions; nothing here needs a widget.

// The translation context of the page's texts; the tables' texts are
// translated with it where they are shown.
inline constexpr char kHistoryExplanationContext[] = "HistoryExplanation";

// "network" and "individual" share the texts of this page.
enum class InstallationGroup { SingleComputer, Network };
std::optional<InstallationGroup> installationGroup(const QByteArray& entry3);

// What the installation type writes, the same on every call of a run.
struct InstallationTexts {
    const char* automaticCaption; // Option10
    const char* pageHeading;      // Label19; nullptr: it keeps its layout caption
    const char* installationText; // Label21
};
const InstallationTexts& installationTexts(InstallationGroup group);

// When the user list is rebuilt, relative to showing the location frame.
enum class FillUserListMoment { Never, BeforeLocation, AfterLocation };

// One row of the page's decision table.
struct HistoryModeCase {
    InstallationGroup group;
    OptionId button;             // selected; its value is the mode, entry 4
    const char* userListCaption; // Frame10's caption; nullptr: the user list is hidden
    bool locationShown;          // Frame9 with its caption, and Label23
    const char* heading;         // Label22
    int explanationWidthTwips;   // Label3
    const char* explanationKey;  // "SC1" .. "NW6"
    FillUserListMoment fillUserList;
    bool focusRule; // an empty location box takes the focus while the page is on view
};
const HistoryModeCase* historyModeCase(InstallationGroup group, const QByteArray& entry4);

// Label3's texts: the first part alone, or the first part, an empty line and
// the second part.
struct HistoryExplanationText {
    const char* key;
    const char* firstPart;
    const char* secondPart; // nullptr: one paragraph
};
std::optional<QString> historyExplanation(const char* key);

// The widths Label3 takes: that of Label21 beside a hidden user list, its own
// beside a shown one.
inline constexpr int kWideExplanationTwips = 4425;
inline constexpr int kNarrowExplanationTwips = 3270;

// Label23, reset on every call and shown with the location frame.
QString locationPrompt();
// Frame9's caption once it is shown.
QString locationFrameCaption();

// The location status line Label20.
struct StatusLine {
    bool unchanged = false; // "hist login" leaves the caption as it was
    QString caption;
    bool copyToSummary = false; // also into Label2 element 1 of the Current Options page
};
std::optional<StatusLine> historyStatusLine(const QByteArray& entry3, const QByteArray& entry4,
                                            const QByteArray& entry5,
                                            const CodePage& codePage = CodePage::windows1252());

// The status line for a location entry in automatic mode on a network; the
// Enter key uses it too.
QString locationStatus(const QByteArray& entry5,
                       const CodePage& codePage = CodePage::windows1252());

} // namespace dexlan
