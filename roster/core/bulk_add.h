// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_error.h"
#include "platform/message_box.h"
#include "roster/core/class_list_import.h"
#include "roster/core/history_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

namespace dexlan {

// Adding many names at once: a class list pasted into the name box, read from
// a file, or given on the command line. Every name is checked as one typed
// into the name box; each accepted name gets a whole history file of its own.

// What one class list may be. A class is far smaller; the bounds keep a wrong
// file (a disc image, a log, an endless device) from filling the memory.
inline constexpr qint64 kMaxClassListBytes = 10 * 1024 * 1024;
inline constexpr qsizetype kMaxClassListLine = 1000; // characters
inline constexpr qsizetype kMaxNamesAtOnce = 5000;

// A class list as read: its names, or the message that says why none are taken.
struct ClassList {
    QStringList names;
    std::optional<MsgBoxRequest> refusal;
    ClassListTable table; // the rows and the choices settled, for a preview
    // Lines not valid UTF-8 in an otherwise UTF-8 file, when the encoding was
    // guessed: the list is refused until the encoding is chosen.
    std::vector<qsizetype> linesInDoubt;
};

// Reads the class list in the file at path (CSV when its name ends in .csv):
// a regular file only, opened without waiting, so that a FIFO or a device is
// refused at once; within the bounds above. bytesRead, if given, keeps the
// bytes for reading again with other choices.
ClassList readClassListFile(const QString& path, const CodePage& codePage = CodePage::windows1252(),
                            const ImportChoices& choices = {}, QByteArray* bytesRead = nullptr);

// The same from a stream that has no size to ask (standard input): no more
// than one byte past the bound is read. shownName names it in the messages.
ClassList readClassList(QIODevice& input, const QString& shownName,
                        const CodePage& codePage = CodePage::windows1252(),
                        const ImportChoices& choices = {});

// A class list's bytes read with the choices, the rest guessed.
ClassList classListFromBytes(const QByteArray& bytes, const QString& shownName,
                             const ImportChoices& choices, ClassListSource source,
                             const CodePage& codePage);

// Whether a source's name says it is a spreadsheet's export.
ClassListSource classListSourceOf(const QString& path);

// More names than are added in one go: the list is refused whole.
bool tooManyNames(qsizetype count);
MsgBoxRequest tooManyNamesReport(qsizetype count);

// A class list's text: UTF-8 when the bytes are valid UTF-8 (a byte-order mark
// is dropped), otherwise the trainer's code page.
QString decodeClassList(const QByteArray& bytes,
                        const CodePage& codePage = CodePage::windows1252());

// The names of a class list, one a line. With firstColumnOnly, a line is a
// row of comma- or tab-separated values (quotes as spreadsheets write them)
// and the name is its first column; otherwise only a tab ends the name. Blanks
// round a name are dropped; lines with nothing on them are no names.
QStringList namesFromClassList(const QString& text, bool firstColumnOnly);

// Why a name was not added.
enum class RefusalReason {
    AlreadyOnList,
    GivenTwice,     // an earlier line of the same list holds it
    CannotBeStored, // a character the trainer's history file cannot hold
    Empty,
    TooLong,
    NotSaved, // the history file could not be made; the detail says why
};

struct RefusedName {
    QString name;
    RefusalReason reason;
    QString detail; // for NotSaved; for CannotBeStored, the code page it is outside
    friend bool operator==(const RefusedName&, const RefusedName&) = default;
};

struct PlannedName {
    QString name;
    QByteArray bytes; // in the code page
};

struct BulkAddPlan {
    std::vector<PlannedName> toAdd; // in the list's order
    std::vector<RefusedName> refused;
};

// Sorts the names into those to add and those refused, against the names on
// the list now. Each is cleaned (cleanedName) and compared as the name box
// compares them (sameNameKey).
BulkAddPlan planBulkAdd(const QStringList& names, const QStringList& namesOnList,
                        const CodePage& codePage = CodePage::windows1252());

struct AddedName {
    QString name;
    int number = 0;
    QString path;
};

struct BulkAddResult {
    std::vector<AddedName> added;
    std::vector<RefusedName> refused; // the plan's refusals, then those that failed
};

// Gives every planned name a history file in folder, under the smallest
// numbers free in the list and the folder. A name is added whole or not at
// all; once a file cannot be made, the names after it are refused with the
// same reason rather than tried one by one. createMissingFolder is asked at
// most once.
BulkAddResult carryOutBulkAdd(const QString& folder, const BulkAddPlan& plan,
                              std::vector<int> listNumbers,
                              const std::function<std::array<int, kRandomsPerFile>()>& drawRandoms,
                              const std::function<bool()>& createMissingFolder);

// The reason as the summary words it.
QString refusalText(const RefusedName& refused);

// A text of a count, translated as the count's number asks: source holds %n
// and "(s)" (marked with QT_TRANSLATE_N_NOOP in context), so that each
// language gives its own plural forms. Where "(s)" is left, untranslated, it
// is made English here: "1 name", "2 names".
QString countedText(const char* context, const char* source, qsizetype count);

// "Add these 28 names?" (Yes / No).
MsgBoxRequest bulkAddQuestion(int count);

// File, "Add names from a file…": the file dialog's request.
FileOpenRequest classListRequest();

// A class list that cannot be read.
MsgBoxRequest classListUnreadableReport(const QString& errorText, const QString& path);

// The summary as plain lines: the names added, then those refused with why.
QString bulkAddSummaryText(const BulkAddResult& result);
// Its two parts: "2 names added:" with the names, and "1 name refused:" with
// each name and why.
QString addedNamesText(const std::vector<AddedName>& added);
QString refusedNamesText(const std::vector<RefusedName>& refused);
// "2 names will be added:" with the names, before any is added.
QString plannedNamesText(const std::vector<PlannedName>& planned);

} // namespace dexlan
