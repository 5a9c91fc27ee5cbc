// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"
#include "options_file/shared_state.h"
#include "platform/file_error.h"

#include <QString>

#include <optional>

class QIODevice;

namespace dexlan {

inline constexpr char kOptionsFileName[] = "Dexlan4.ini";

// The longest line read. Reading stops as soon as a line passes its bound, so a
// file without line breaks, or an endless one, costs no more than this.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;
// Lines 6 to 9 belong to the trainer, which may keep long lists there.
inline constexpr qsizetype kMaxTrainerLineBytes = 1024 * 1024;

enum class LoadOutcome { Loaded, Missing, CheckFailed, LineTooLong };

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::Missing;
    OptionLines lines;        // the entries as read, after the two corrections
    OptionLines linesAsRead;  // the entries as the file holds them; line 12 empty when absent
    QByteArray offendingLine; // the line a check refused
    QString checkMessage;
    int longLine = 0;  // the line that passed its bound
    QByteArray digest; // of every byte of a loaded file, lines past 12 included
};

// Reads and validates an options file. Reads at most twelve lines, each within
// its bound, whatever the size of the input; only a regular file is read.
LoadResult parseOptionsFile(QIODevice& input);
LoadResult parseOptionsFile(const QString& path);

// The twelve entries as the trainer reads them: each line ended by CR LF.
QByteArray optionsFileBytes(const OptionLines& lines);

// Replaces the options file at path with the twelve entries, or refuses, the
// file untouched, when a line could not be read back as it is: one holding a
// line break, or longer than its bound.
FileError writeOptionsFile(const QString& path, const OptionLines& lines);

// The history folder prefix for a location entry. "hist home" is a marker for
// the trainer's own folder, never a folder name, so it gives an empty prefix.
QString historyFolderFromEntry(const QByteArray& entry5, const PathPolicy& policy);

// The caption of the installation heading for entry 3.
QString installationCaption(const QByteArray& entry3);

bool optionsChanged(const OptionLines& working, const OptionLines& onDisk);

// Why no history location (a folder name, line 5) may hold a control character.
QString controlCharacterInLocationText();

// Why the location box's text cannot be stored as entry 5; empty when it can.
QString locationRefusal(const QString& boxText, const PathPolicy& policy);

// Entry 5 as the save stores it, from the location box; the box text may change.
// Nothing when locationRefusal refuses it.
struct SavedLocation {
    QByteArray entry5;
    QString boxText;
};
std::optional<SavedLocation> locationForSaving(const QString& boxText, const QString& programFolder,
                                               const PathPolicy& policy);

} // namespace dexlan
