// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <array>

namespace dexlan {

// The options file as twelve entries of single-byte text; slot 0 is never used,
// so entry n is always slot n.
using OptionLines = std::array<QByteArray, 13>;

inline constexpr int kFirstEntry = 1;
inline constexpr int kLastEntry = 12;

// Entries with a meaning of their own.
enum OptionEntry : int {
    EntryHeader = 1,
    EntryTitle = 2,
    EntryInstallation = 3,
    EntryHistoryMode = 4,
    EntryHistoryLocation = 5,
    EntryManualAdvance = 10,
    EntrySounds = 11,
    EntryDocuments = 12,
};

// The fixed values the trainer understands, compared exactly.
namespace values {
inline constexpr char kHeader[] = "Options File";
inline constexpr char kTitle[] = "Corvantis Dexlan Training System 4";
inline constexpr char kSingleComputer[] = "single computer";
inline constexpr char kNetwork[] = "network";
inline constexpr char kIndividual[] = "individual";
inline constexpr char kHistAuto[] = "hist auto";
inline constexpr char kHistRosterOpen[] = "hist roster open";
inline constexpr char kHistRosterProtected[] = "hist roster protected";
inline constexpr char kHistDriveA[] = "hist drive a:";
inline constexpr char kHistNone[] = "hist none";
inline constexpr char kHistLogin[] = "hist login";
inline constexpr char kHistHome[] = "hist home";
inline constexpr char kF2Off[] = "f2 off";
inline constexpr char kF2On[] = "f2 on";
inline constexpr char kSfxNone[] = "sfx none";
inline constexpr char kSfxBeep[] = "sfx beep";
inline constexpr char kSfxAll[] = "sfx all";
inline constexpr char kDocumentsOff[] = "documents off";
inline constexpr char kDocumentsOn[] = "documents on";
} // namespace values

} // namespace dexlan
