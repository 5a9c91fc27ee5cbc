// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/summary_text.h"

#include "options_window/history_explanation.h"
#include "options_window/location_entry.h"
#include "platform/file_names.h"
#include "platform/line_break.h"

#include <QCoreApplication>

#include <array>

namespace dexlan {

namespace {

constexpr std::array<ValueText, 3> kSoundSummary{{
    {values::kSfxAll,
     QT_TRANSLATE_NOOP("SummaryText",
                       "All sound effects are all available from the main menu Help option.")},
    {values::kSfxBeep,
     QT_TRANSLATE_NOOP("SummaryText", "Sound effect options are limited to 'beep' sounds only.")},
    {values::kSfxNone,
     QT_TRANSLATE_NOOP(
         "SummaryText",
         "All sound effect options are all off.  Both the program and the game are silent.")},
}};

constexpr std::array<ValueText, 2> kAdvanceSummary{{
    {values::kF2On,
     QT_TRANSLATE_NOOP(
         "SummaryText",
         "The manual advance option is active. Lessons may be advanced with the F2 key.")},
    {values::kF2Off, QT_TRANSLATE_NOOP("SummaryText", "The manual advance option is not active.")},
}};

constexpr std::array<ValueText, 2> kDocumentsSummary{{
    {values::kDocumentsOn,
     QT_TRANSLATE_NOOP("SummaryText",
                       "The documents are selected and are available from the menu.")},
    {values::kDocumentsOff, QT_TRANSLATE_NOOP("SummaryText", "The documents are not selected.  ")},
}};

using Installation = HistorySummaryText::Installation;
using Location = HistorySummaryText::Location;

constexpr char kSameFolder[] = QT_TRANSLATE_NOOP(
    "SummaryText", "History files are stored in the same folder as the main program.");
constexpr char kOpenList[] = QT_TRANSLATE_NOOP(
    "SummaryText",
    "The user name is selected from a list.  Names may be added or deleted at any time.  ");
constexpr char kProtectedList[] =
    QT_TRANSLATE_NOOP("SummaryText", "The user name is selected from a list.  Names may ONLY be "
                                     "added or deleted by using this program.  ");
constexpr char kOnServer[] = QT_TRANSLATE_NOOP(
    "SummaryText", "History files are automatically stored on the newtork server. ");

constexpr std::array<HistorySummaryText, 11> kHistorySummary{{
    {values::kHistLogin, Installation::Any, Location::Given,
     QT_TRANSLATE_NOOP("SummaryText", "A password name must be entered when the program starts.  "
                                      "History files are created for each user password. "),
     QT_TRANSLATE_NOOP("SummaryText", "History files are stored in: ")},
    {values::kHistLogin, Installation::Any, Location::NotGiven,
     QT_TRANSLATE_NOOP("SummaryText", "A password must be entered when the program starts.  "
                                      "History files are created for each user password.  "),
     kSameFolder},
    {values::kHistAuto, Installation::SingleComputer, Location::NotTested,
     QT_TRANSLATE_NOOP("SummaryText",
                       "A history file is maintained automatically for a single user.  "),
     QT_TRANSLATE_NOOP("SummaryText",
                       "The name may be changed and lessons restarted at any time.")},
    {values::kHistAuto, Installation::NetworkOrIndividual, Location::Given, kOnServer,
     QT_TRANSLATE_NOOP("SummaryText", "History files are stored in ")},
    {values::kHistAuto, Installation::NetworkOrIndividual, Location::NotGiven, kOnServer,
     QT_TRANSLATE_NOOP(
         "SummaryText",
         "The location of the history files on the network server has not been specified.")},
    {values::kHistRosterOpen, Installation::Any, Location::Given, kOpenList,
     QT_TRANSLATE_NOOP("SummaryText", "The location of the history files is ")},
    {values::kHistRosterOpen, Installation::Any, Location::NotGiven, kOpenList, kSameFolder},
    {values::kHistRosterProtected, Installation::Any, Location::Given, kProtectedList,
     QT_TRANSLATE_NOOP("SummaryText", "The location of the history files is ")},
    {values::kHistRosterProtected, Installation::Any, Location::NotGiven, kProtectedList,
     kSameFolder},
    {values::kHistDriveA, Installation::Any, Location::NotTested,
     QT_TRANSLATE_NOOP("SummaryText", "History files are stored on individual disks in Drive A:."),
     QT_TRANSLATE_NOOP(
         "SummaryText",
         "Any number of people may keep individual history files on separate disks.")},
    {values::kHistNone, Installation::Any, Location::NotTested,
     QT_TRANSLATE_NOOP("SummaryText", "No history files are stored.  "),
     QT_TRANSLATE_NOOP("SummaryText", "The program resets automatically with each user.")},
}};

// The summary's rows tell installations apart as the History Files page does.
std::optional<Installation> installationOf(const QByteArray& entry3) {
    const std::optional<InstallationGroup> group = installationGroup(entry3);
    if (!group)
        return std::nullopt;
    return *group == InstallationGroup::SingleComputer ? Installation::SingleComputer
                                                       : Installation::NetworkOrIndividual;
}

} // namespace

std::span<const ValueText> soundSummaryTexts() {
    return kSoundSummary;
}

std::span<const ValueText> advanceSummaryTexts() {
    return kAdvanceSummary;
}

std::span<const ValueText> documentsSummaryTexts() {
    return kDocumentsSummary;
}

bool locationGiven(const QByteArray& entry5) {
    return !entry5.isEmpty() && entry5 != values::kHistHome;
}

std::optional<QString> lookUp(std::span<const ValueText> table, const QByteArray& value) {
    for (const ValueText& row : table) {
        if (value == row.value)
            return QCoreApplication::translate("SummaryText", row.text);
    }
    return std::nullopt;
}

std::optional<TextNamingPath> historySummaryParts(const QByteArray& entry3,
                                                  const QByteArray& entry4,
                                                  const QByteArray& entry5,
                                                  const CodePage& codePage) {
    const std::optional<Installation> installation = installationOf(entry3);
    if (!installation)
        return std::nullopt;
    const Location location = locationGiven(entry5) ? Location::Given : Location::NotGiven;
    for (const HistorySummaryText& row : kHistorySummary) {
        if (entry4 != row.mode)
            continue;
        if (row.installation != Installation::Any && row.installation != *installation)
            continue;
        if (row.location != Location::NotTested && row.location != location)
            continue;
        TextNamingPath text;
        text.before = QCoreApplication::translate("SummaryText", row.firstLine) + kCrLf +
                      QCoreApplication::translate("SummaryText", row.secondLine);
        if (row.location == Location::Given) {
            text.path = screenText(entry5, codePage);
            text.after = QStringLiteral(".");
        }
        return text;
    }
    return std::nullopt;
}

std::optional<QString> historySummary(const QByteArray& entry3, const QByteArray& entry4,
                                      const QByteArray& entry5, const CodePage& codePage) {
    const std::optional<TextNamingPath> parts =
        historySummaryParts(entry3, entry4, entry5, codePage);
    if (!parts)
        return std::nullopt;
    return parts->whole();
}

std::optional<SummaryTexts> summaryTexts(const OptionLines& lines, const QString& programFolder,
                                         const CodePage& codePage) {
    SummaryTexts texts;
    texts.programLocation.path = shownPath(programFolder);
    const std::optional<TextNamingPath> history = historySummaryParts(
        lines[EntryInstallation], lines[EntryHistoryMode], lines[EntryHistoryLocation], codePage);
    const std::optional<QString> sounds = lookUp(kSoundSummary, lines[EntrySounds]);
    const std::optional<QString> advance = lookUp(kAdvanceSummary, lines[EntryManualAdvance]);
    const std::optional<QString> documents = lookUp(kDocumentsSummary, lines[EntryDocuments]);
    if (!history || !sounds || !advance || !documents)
        return std::nullopt;
    texts.history = *history;
    texts.sounds = *sounds;
    texts.advance = *advance;
    texts.documents = *documents;
    return texts;
}

} // namespace dexlan
