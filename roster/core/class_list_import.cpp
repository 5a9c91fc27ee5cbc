// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/class_list_import.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace dexlan {

namespace {

// How many rows the separator and the header are guessed from: enough to see
// the file's shape, few enough that a stray line far down does not count.
constexpr qsizetype kRowsToGuessFrom = 20;

QString titleKey(const QString& cell) {
    return cell.trimmed().normalized(QString::NormalizationForm_C).toCaseFolded();
}

// Titles of name columns as school systems and spreadsheets in many languages
// write them.
const QSet<QString>& firstNameTitles() {
    static const QSet<QString> titles = [] {
        QSet<QString> set;
        for (const char* t :
             {"first name", "firstname", "first",    "given name", "given names", "forename",
              "forenames",  "vorname",   "vornamen", "prénom",     "prenom",      "nombre",
              "imię",       "imie",      "имя",      "voornaam",   "nome",        "förnamn",
              "fornavn",    "fornavn",   "etunimi",  "keresztnév", "jméno",       "ime",
              "ім'я",       "όνομα",     "ad",       "adı"})
            set.insert(titleKey(QString::fromUtf8(t)));
        return set;
    }();
    return titles;
}

const QSet<QString>& lastNameTitles() {
    static const QSet<QString> titles = [] {
        QSet<QString> set;
        for (const char* t :
             {"last name", "lastname",     "last",      "surname",        "family name",
              "nachname",  "familienname", "nom",       "nom de famille", "apellido",
              "apellidos", "nazwisko",     "фамилия",   "прізвище",       "achternaam",
              "cognome",   "efternamn",    "etternavn", "sukunimi",       "vezetéknév",
              "příjmení",  "priezvisko",   "prezime",   "επώνυμο",        "soyad",
              "soyadı"})
            set.insert(titleKey(QString::fromUtf8(t)));
        return set;
    }();
    return titles;
}

const QSet<QString>& wholeNameTitles() {
    static const QSet<QString> titles = [] {
        QSet<QString> set;
        for (const char* t :
             {"name",         "names",   "full name",  "fullname",    "student",
              "student name", "pupil",   "pupil name", "schüler",     "schülerin",
              "schüler/in",   "élève",   "eleve",      "nom complet", "nombre completo",
              "alumno",       "uczeń",   "ученик",     "leerling",    "user",
              "user name",    "username"})
            set.insert(titleKey(QString::fromUtf8(t)));
        return set;
    }();
    return titles;
}

QChar separatorChar(ClassListSeparator separator) {
    switch (separator) {
    case ClassListSeparator::Comma:
        return u',';
    case ClassListSeparator::Semicolon:
        return u';';
    case ClassListSeparator::Tab:
        return u'\t';
    case ClassListSeparator::None:
        break;
    }
    return {};
}

// A row with nothing but blanks and separators of any kind: a spreadsheet's
// empty row, whichever separator it was written with.
bool blankRow(const QStringList& row) {
    return std::all_of(row.begin(), row.end(), [](const QString& field) {
        return std::all_of(field.begin(), field.end(),
                           [](QChar c) { return c.isSpace() || c == u',' || c == u';'; });
    });
}

// The rows of text, each as its fields: the separator ends a field, a line end
// (CR, LF or CR LF) a row, except within quotes, where a doubled quote is a
// quote. Without a separator a line is one field, quotes and all, but for a
// tab, which is never part of a name. Rows of
// nothing but blanks and separators are left out, as a spreadsheet shows them.
std::vector<QStringList> splitRows(QStringView text, ClassListSeparator separator) {
    const QChar ends = separatorChar(separator);
    const bool quoting = separator != ClassListSeparator::None;
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool anything = false;
    auto endRow = [&] {
        row.append(field);
        field.clear();
        if (!blankRow(row))
            rows.push_back(std::move(row));
        row = QStringList();
        anything = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (quoting && c == u'"' && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
            anything = true;
        } else if (quoting ? c == ends : c == u'\t') {
            row.append(field);
            field.clear();
            anything = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRow();
        } else {
            field += c;
            anything = true;
        }
    }
    if (anything || !field.isEmpty())
        endRow();
    return rows;
}

// The first rows of text, split with the separator.
std::vector<QStringList> firstRows(QStringView text, ClassListSeparator separator) {
    // Enough characters for the rows guessed from at the longest a line may be
    // read; the rest of a large file is not split twice.
    std::vector<QStringList> rows = splitRows(text.left(kRowsToGuessFrom * 1024), separator);
    if (qsizetype(rows.size()) > kRowsToGuessFrom)
        rows.resize(size_t(kRowsToGuessFrom));
    return rows;
}

bool looksLikeHeader(const QStringList& row) {
    return std::any_of(row.begin(), row.end(), looksLikeNameTitle);
}

ClassListSeparator guessSeparator(QStringView text, ClassListSource source) {
    // A separator that splits most of the first rows; a tab first, which is
    // never part of a name, then a semicolon, then a comma. A comma may be
    // part of a name ("Smith, Ann") in a plain list, so there it must be shown
    // by a header of titles it separates.
    ClassListSeparator best = ClassListSeparator::None;
    qsizetype bestSplit = 0;
    for (ClassListSeparator candidate :
         {ClassListSeparator::Tab, ClassListSeparator::Semicolon, ClassListSeparator::Comma}) {
        const std::vector<QStringList> rows = firstRows(text, candidate);
        if (rows.empty())
            continue;
        if (candidate == ClassListSeparator::Comma && source != ClassListSource::Csv &&
            !(rows.front().size() > 1 && looksLikeHeader(rows.front())))
            continue;
        const qsizetype split = std::count_if(
            rows.begin(), rows.end(), [](const QStringList& row) { return row.size() > 1; });
        if (split * 2 >= qsizetype(rows.size()) && split > bestSplit) {
            best = candidate;
            bestSplit = split;
        }
    }
    if (best == ClassListSeparator::None && source == ClassListSource::Csv)
        return ClassListSeparator::Comma; // one column, quotes still as a spreadsheet writes them
    return best;
}

// The name's columns from a header's titles: first name then last name where
// both are there ("Name" beside "Vorname" is the family name), else the one
// column titled as a name, else the first.
std::vector<int> guessNameColumns(const QStringList& header) {
    int first = -1, last = -1, whole = -1;
    for (int i = 0; i < header.size(); ++i) {
        const QString key = titleKey(header[i]);
        if (first < 0 && firstNameTitles().contains(key))
            first = i;
        else if (last < 0 && lastNameTitles().contains(key))
            last = i;
        else if (whole < 0 && wholeNameTitles().contains(key))
            whole = i;
    }
    if (first >= 0 && last >= 0)
        return {first, last};
    if (first >= 0 && whole >= 0)
        return {first, whole};
    if (whole >= 0)
        return {whole};
    if (last >= 0)
        return {last};
    if (first >= 0)
        return {first};
    return {0};
}

} // namespace

bool looksLikeNameTitle(const QString& cell) {
    const QString key = titleKey(cell);
    return firstNameTitles().contains(key) || lastNameTitles().contains(key) ||
           wholeNameTitles().contains(key);
}

DecodedClassList decodeClassListAs(const QByteArray& bytes, ClassListEncoding encoding,
                                   const CodePage& codePage) {
    DecodedClassList decoded;
    // A byte-order mark of UTF-16 (spreadsheets' "Unicode text") decides.
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
        QStringDecoder unicode(bytes.startsWith("\xff\xfe") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        decoded.text = unicode.decode(bytes);
        if (decoded.text.startsWith(QChar(0xFEFF)))
            decoded.text.remove(0, 1);
        return decoded;
    }
    if (encoding == ClassListEncoding::CodePage) {
        // A UTF-8 byte-order mark is no letter of the first name.
        decoded.text =
            fromCodePage(bytes.startsWith("\xef\xbb\xbf") ? bytes.mid(3) : bytes, codePage);
        return decoded;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    decoded.text = utf8.decode(bytes);
    if (decoded.text.startsWith(QChar(0xFEFF)))
        decoded.text.remove(0, 1);
    if (!utf8.hasError() || encoding == ClassListEncoding::Utf8)
        return decoded;
    // Not wholly UTF-8: the code page, unless other lines hold UTF-8's
    // multi-byte letters, when the lines that break it are in doubt.
    bool utf8Letters = false;
    qsizetype line = 0;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        ++line;
        const QByteArrayView piece(bytes.constData() + start, end - start);
        QStringDecoder lineDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decodedLine = lineDecoder.decode(piece); // decoding is what finds an error
        if (lineDecoder.hasError())
            decoded.linesInDoubt.push_back(line);
        else if (std::any_of(piece.begin(), piece.end(), [](char c) { return (c & 0x80) != 0; }))
            utf8Letters = true;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    if (!utf8Letters) {
        decoded.linesInDoubt.clear();
        decoded.text = fromCodePage(bytes, codePage);
    }
    return decoded;
}

ClassListTable tableFromText(const QString& text, const ImportChoices& choices,
                             ClassListSource source) {
    ClassListTable table;
    table.separator = choices.separator ? *choices.separator : guessSeparator(text, source);
    table.rows = splitRows(text, table.separator);
    table.header = choices.header ? *choices.header
                                  : !table.rows.empty() && looksLikeHeader(table.rows.front());
    const QStringList titles =
        table.header && !table.rows.empty() ? table.rows.front() : QStringList();
    if (choices.nameColumns.isEmpty()) {
        table.nameColumns = guessNameColumns(titles);
        return table;
    }
    for (const QString& given : choices.nameColumns) {
        bool isNumber = false;
        const int number = given.trimmed().toInt(&isNumber);
        if (isNumber && number >= 1 && number <= 1000) {
            table.nameColumns.push_back(number - 1);
            continue;
        }
        const auto titled = std::find_if(titles.begin(), titles.end(), [&](const QString& title) {
            return titleKey(title) == titleKey(given);
        });
        if (titled == titles.end()) {
            table.whyNot =
                isNumber
                    ? QCoreApplication::translate("ClassList", "There is no column %1; columns are "
                                                               "numbered from 1.")
                          .arg(given.trimmed())
                    : QCoreApplication::translate("ClassList",
                                                  "No column is titled \"%1\" in the first "
                                                  "row.")
                          .arg(given.trimmed());
            table.nameColumns.clear();
            return table;
        }
        table.nameColumns.push_back(int(titled - titles.begin()));
    }
    return table;
}

QStringList namesFromTable(const ClassListTable& table) {
    QStringList names;
    const size_t from = table.header ? 1 : 0;
    for (size_t r = from; r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        QStringList parts;
        for (int column : table.nameColumns) {
            if (column < row.size() && !row[column].trimmed().isEmpty())
                parts.append(row[column].trimmed());
        }
        names.append(parts.join(QLatin1Char(' ')));
    }
    return names;
}

std::optional<ClassListSeparator> separatorNamed(const QString& word) {
    const QString key = word.toCaseFolded();
    if (key == QLatin1String("comma") || key == QLatin1String(","))
        return ClassListSeparator::Comma;
    if (key == QLatin1String("semicolon") || key == QLatin1String(";"))
        return ClassListSeparator::Semicolon;
    if (key == QLatin1String("tab") || key == QLatin1String("\t"))
        return ClassListSeparator::Tab;
    if (key == QLatin1String("none"))
        return ClassListSeparator::None;
    return std::nullopt;
}

std::optional<ClassListEncoding> encodingNamed(const QString& word) {
    const QString key = word.toCaseFolded();
    if (key == QLatin1String("utf-8") || key == QLatin1String("utf8"))
        return ClassListEncoding::Utf8;
    if (key == QLatin1String("code-page"))
        return ClassListEncoding::CodePage;
    return std::nullopt;
}

QString separatorText(ClassListSeparator separator) {
    switch (separator) {
    case ClassListSeparator::Comma:
        return QCoreApplication::translate("ClassList", "Comma");
    case ClassListSeparator::Semicolon:
        return QCoreApplication::translate("ClassList", "Semicolon");
    case ClassListSeparator::Tab:
        return QCoreApplication::translate("ClassList", "Tab");
    case ClassListSeparator::None:
        return QCoreApplication::translate("ClassList", "None (one name a line)");
    }
    return {};
}

} // namespace dexlan
