// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/code_page.h"
#include "platform/folder_reading.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

class QIODevice;

namespace dexlan {

// The trainer keeps one history file per user: the user's number, then
// "hist.dx" in any letter case. The program creates them in upper case and the
// trainer looks them up in lower case; on Windows both are the same file.
inline constexpr char kHistorySuffix[] = "hist.dx";
inline constexpr char kNewHistorySuffix[] = "HIST.DX";

// The layout of a new history file.
inline constexpr int kHistoryFileLines = 374;
inline constexpr int kRecordValues = 360;
inline constexpr int kRandomsPerFile = 8;
inline constexpr int kRandomBottom = 200;
inline constexpr int kRandomTop = 5000;
inline constexpr char kRecordMarker[] = "xxxx1";
inline constexpr int kFixedKey = 8046;

// The name box of AddNamesDialog accepts no more than this.
inline constexpr int kMaxNameLength = 30;

// A first line longer than this holds no name the program could have written;
// reading stops there so that a huge file without line breaks costs nothing.
inline constexpr qsizetype kMaxFirstLineBytes = 4096;

// The name under which a new history file for number is created: "12HIST.DX".
QString newHistoryFileName(int number);
// The name of number's history file as the trainer spells it: "12hist.dx".
QString historyFileName(int number);

// Every letter-case spelling of number + "hist.dx" (64 of them). Asking the file
// system for each is how a case-sensitive file system is made to find the one
// file of a user without reading a folder that may hold 100,000 names.
QStringList historyFileSpellings(int number);

// Whether the name ends in "hist.dx", letter case ignored (ASCII only, as the
// trainer's own file system compares these letters).
bool hasHistorySuffix(QStringView fileName);

// The user number a history file's name carries: the number at its start
// (digits with an optional leading minus sign, leading zeros allowed). No
// number, number 0, or a number outside the signed 32-bit range is no user;
// nor is a name that does not end in "hist.dx".
std::optional<int> userNumberFromFileName(QStringView fileName);
// The same, from the name in the file system's bytes (as a folder lists it).
std::optional<int> userNumberFromNativeName(QByteArrayView nativeName);

// The first line of a history file, read as the trainer writes lines: a line
// ends at a carriage return (a line feed right after it is not part of the
// next line); a lone line feed belongs to the line.
struct FirstLine {
    enum Status { Line, Empty, TooLong, ReadError };
    Status status = Empty;
    QByteArray bytes;  // the line without its end, when status is Line
    QString errorText; // the device's description, when status is ReadError
    // Where the system's own calls opened the file: its size and time of
    // last change in one number (fileStamp), 0 when unknown.
    quint64 stamp = 0;
};
FirstLine readFirstLine(QIODevice& input);
// The first line of the file at path. A file that cannot be opened, or is not
// a regular file, gives ReadError with the platform's description.
FirstLine readFirstLineOfFile(const QString& path);

// How readFirstLineIn may open a file the folder's listing named.
struct FirstLineRead {
    // The listing said it is a regular file (not a link): with no stamp
    // wanted, nothing is asked of the file beyond open, read and close.
    bool listedAsRegular = false;
    // The stamp is wanted (a folder digest is being made).
    bool withStamp = true;
};
// The first line of the file named nativeName (the file system's bytes) in
// folder, as readFirstLineOfFile(folder path + name) reads it; the stamp is
// 0 when not wanted.
FirstLine readFirstLineIn(const OpenFolder& folder, const QByteArray& nativeName,
                          FirstLineRead how);

// The user's name on a first line: the line without its enclosing quotes.
// Nothing for the empty name ("") and for a line too short to hold a name.
std::optional<QByteArray> nameFromFirstLine(const QByteArray& line);

// Whether a typed name can stand on line 1 of a history file, and its bytes in
// the trainer's code page when it can.
struct StorableName {
    enum Problem { None, ControlCharacter, OutsideCodePage };
    Problem problem = None;
    QByteArray bytes;
};
StorableName storableName(const QString& name, const CodePage& codePage = CodePage::windows1252());

// The name check of line 363: the sum of the name's byte values, modulo 100.
int nameCheck(const QByteArray& name);
// The name key of line 366.
int nameKey(int nameCheck);

// A number as the trainer writes it: a blank (the sign place) or a minus sign,
// then the digits.
QByteArray historyNumberText(int value);

// The 374 lines of a new history file for name (code-page bytes), each ended by
// CR LF. randoms are the numbers of lines 365, 367 to 370 and 372 to 374.
QByteArray newHistoryFileBytes(const QByteArray& name,
                               const std::array<int, kRandomsPerFile>& randoms);

} // namespace dexlan
