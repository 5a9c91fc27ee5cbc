// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/code_page.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace dexlan {

// How a class list exported by a school system or a spreadsheet is read: its
// encoding, the separator of its columns, whether its first row holds the
// columns' titles, and the column or columns that make a name. The window's
// preview and the command line fill the same struct; whatever is left open is
// guessed from the file, the same way on both.

enum class ClassListEncoding {
    Guess,    // a byte-order mark, else UTF-8 when the bytes are, else the code page
    Utf8,     // UTF-8 even where a line is not valid UTF-8
    CodePage, // the trainer's code page throughout
};

enum class ClassListSeparator {
    Comma,
    Semicolon,
    Tab,
    None, // one name a line
};

struct ImportChoices {
    std::optional<ClassListSeparator> separator;
    std::optional<bool> header; // the first row holds the columns' titles
    // The columns joined (with a space, in this order) to make a name: each a
    // number from 1 or a column's title. Empty: guessed.
    QStringList nameColumns;
    ClassListEncoding encoding = ClassListEncoding::Guess;
    friend bool operator==(const ImportChoices&, const ImportChoices&) = default;
};

// Whether the source is known to be a spreadsheet's export (a file named
// .csv): there, a comma is a separator even without a header to show it.
enum class ClassListSource { Text, Csv };

// A class list's bytes as text, and where their encoding is in doubt: lines
// that are not valid UTF-8 in a file whose other lines show UTF-8's
// multi-byte letters. Such a file is never silently read in the code page.
struct DecodedClassList {
    QString text;
    std::vector<qsizetype> linesInDoubt; // from 1, by the bytes' own line ends
    bool inDoubt() const { return !linesInDoubt.empty(); }
};
DecodedClassList decodeClassListAs(const QByteArray& bytes, ClassListEncoding encoding,
                                   const CodePage& codePage);

// The file read with every choice settled.
struct ClassListTable {
    ClassListSeparator separator = ClassListSeparator::None;
    bool header = false;
    std::vector<int> nameColumns;  // from 0
    std::vector<QStringList> rows; // blank rows left out; the header, if any, first
    QString whyNot;                // a named column that is not there; empty when the choices fit
};

// Splits text into rows with the separator settled (guessed if not chosen),
// recognises a header row and picks the name's columns.
ClassListTable tableFromText(const QString& text, const ImportChoices& choices,
                             ClassListSource source);

// The names of the table's rows after its header, each its name columns
// joined by a space.
QStringList namesFromTable(const ClassListTable& table);

// Recognised titles of name columns ("Name", "Vorname", "Surname", …).
bool looksLikeNameTitle(const QString& cell);

// Spellings used on the command line and in the preview.
std::optional<ClassListSeparator> separatorNamed(const QString& word);
std::optional<ClassListEncoding> encodingNamed(const QString& word);
QString separatorText(ClassListSeparator separator);

} // namespace dexlan
