// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/bulk_add.h"

#include "platform/code_page.h"
#include "platform/line_break.h"
#include "platform/regular_file.h"
#include "platform/system_code_page.h"
#include "roster/core/name_rules.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_messages.h"

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace dexlan {

namespace {

// The first field of a row; quotes as spreadsheets write them ("Smith, Ann",
// a doubled quote for a quote).
QString firstField(QStringView row, bool commaEnds) {
    QString field;
    qsizetype i = 0;
    while (i < row.size() && (row[i] == u' '))
        ++i;
    if (commaEnds && i < row.size() && row[i] == u'"') {
        for (++i; i < row.size(); ++i) {
            if (row[i] == u'"') {
                if (i + 1 < row.size() && row[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                    continue;
                }
                break;
            }
            field += row[i];
        }
        return field;
    }
    for (; i < row.size(); ++i) {
        if (row[i] == u'\t' || (commaEnds && (row[i] == u',' || row[i] == u';')))
            break;
        field += row[i];
    }
    return field;
}

QString tooLargeText() {
    return QCoreApplication::translate("BulkAdd",
                                       "The file is larger than %1 MB, the most a class list may "
                                       "be.")
        .arg(kMaxClassListBytes / (1024 * 1024));
}

} // namespace

ClassListSource classListSourceOf(const QString& path) {
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? ClassListSource::Csv
                                                                     : ClassListSource::Text;
}

// The names of a class list's bytes, or why they are not taken: an encoding in
// doubt, a line too long to be a name, a chosen column that is not there, or
// more names than are added at once, counted before any name is kept.
ClassList classListFromBytes(const QByteArray& bytes, const QString& shownName,
                             const ImportChoices& choices, ClassListSource source,
                             const CodePage& codePage) {
    ClassList list;
    const DecodedClassList decoded = decodeClassListAs(bytes, choices.encoding, codePage);
    const QString& text = decoded.text;
    qsizetype lineNumber = 0;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        ++lineNumber;
        if (end - start > kMaxClassListLine) {
            list.refusal = classListUnreadableReport(
                QCoreApplication::translate("BulkAdd",
                                            "Line %1 is longer than %2 characters; a class list "
                                            "holds one name a line.")
                    .arg(QString::number(lineNumber), QString::number(kMaxClassListLine)),
                shownName);
            return list;
        }
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    list.table = tableFromText(text, choices, source);
    list.linesInDoubt = decoded.linesInDoubt;
    if (decoded.inDoubt()) {
        list.refusal = classListUnreadableReport(
            QCoreApplication::translate("BulkAdd",
                                        "Line %1 is not valid UTF-8, though the file's other "
                                        "letters are: it is not known how to read it.")
                .arg(decoded.linesInDoubt.front()),
            shownName);
        return list;
    }
    if (!list.table.whyNot.isEmpty()) {
        list.refusal = classListUnreadableReport(list.table.whyNot, shownName);
        return list;
    }
    const qsizetype names =
        qsizetype(list.table.rows.size()) - (list.table.header && !list.table.rows.empty() ? 1 : 0);
    if (tooManyNames(names)) {
        list.refusal = tooManyNamesReport(names);
        return list;
    }
    list.names = namesFromTable(list.table);
    return list;
}

ClassList readClassListFile(const QString& path, const CodePage& codePage,
                            const ImportChoices& choices, QByteArray* bytesRead) {
    ClassList list;
    QFile file;
    QString whyNot;
    if (!openRegularFile(file, path, &whyNot)) {
        list.refusal = classListUnreadableReport(whyNot, path);
        return list;
    }
    // The size asked first spares reading a huge file; the bound on the
    // reading holds should it grow meanwhile.
    if (file.size() > kMaxClassListBytes) {
        list.refusal = classListUnreadableReport(tooLargeText(), path);
        return list;
    }
    const QByteArray bytes = file.read(kMaxClassListBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        list.refusal = classListUnreadableReport(file.errorString(), path);
        return list;
    }
    if (bytes.size() > kMaxClassListBytes) {
        list.refusal = classListUnreadableReport(tooLargeText(), path);
        return list;
    }
    if (bytesRead)
        *bytesRead = bytes;
    return classListFromBytes(bytes, path, choices, classListSourceOf(path), codePage);
}

ClassList readClassList(QIODevice& input, const QString& shownName, const CodePage& codePage,
                        const ImportChoices& choices) {
    QByteArray bytes;
    // A pipe answers a read with what it has so far; read on to its end or
    // one byte past the bound. A failed read is no end: half a class list
    // added would look like the whole of it.
    char buffer[64 * 1024];
    while (bytes.size() <= kMaxClassListBytes) {
        const qint64 got = input.read(
            buffer, std::min<qint64>(sizeof buffer, kMaxClassListBytes + 1 - bytes.size()));
        if (got < 0) {
            ClassList list;
            list.refusal = classListUnreadableReport(input.errorString(), shownName);
            return list;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    if (bytes.size() > kMaxClassListBytes) {
        ClassList list;
        list.refusal = classListUnreadableReport(tooLargeText(), shownName);
        return list;
    }
    return classListFromBytes(bytes, shownName, choices, ClassListSource::Text, codePage);
}

bool tooManyNames(qsizetype count) {
    return count > kMaxNamesAtOnce;
}

MsgBoxRequest tooManyNamesReport(qsizetype count) {
    return {countedText("BulkAdd",
                        QT_TRANSLATE_N_NOOP("BulkAdd", "The list holds %n name(s), more than the "
                                                       "%1 the program adds at one time."),
                        count)
                    .arg(kMaxNamesAtOnce) +
                kCrLf + kCrLf +
                QCoreApplication::translate(
                    "BulkAdd", "No name was added.  Add the list in parts of at most %1 names.")
                    .arg(kMaxNamesAtOnce),
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok,
            QCoreApplication::translate("BulkAdd", "Add names...")};
}

QString decodeClassList(const QByteArray& bytes, const CodePage& codePage) {
    // Spreadsheets save "Unicode text" as UTF-16 with a byte-order mark.
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8 && *marked != QStringConverter::Latin1 &&
        bytes.size() >= 2 && (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff"))) {
        QStringDecoder unicode(*marked, QStringDecoder::Flag::Stateless);
        QString text = unicode.decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromCodePage(bytes, codePage);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

namespace {

// The rows of a spreadsheet's export, each as its fields: a comma, semicolon
// or tab ends a field, a line end (CR, LF or CR LF) a row, except within
// quotes, where a doubled quote is a quote (RFC 4180).
std::vector<QStringList> csvRows(QStringView text) {
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool anything = false; // the row has begun
    auto endField = [&] {
        row.append(field);
        field.clear();
    };
    auto endRow = [&] {
        endField();
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
        if (c == u'"' && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
            anything = true;
        } else if (c == u',' || c == u';' || c == u'\t') {
            endField();
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

} // namespace

QStringList namesFromClassList(const QString& text, bool firstColumnOnly) {
    QStringList names;
    if (firstColumnOnly) {
        for (const QStringList& row : csvRows(text)) {
            // A row of empty fields (",,") is a blank row, as a spreadsheet shows it.
            const bool blank = std::all_of(row.begin(), row.end(),
                                           [](const QString& f) { return f.trimmed().isEmpty(); });
            if (!blank)
                names.append(row.front().trimmed());
        }
        return names;
    }
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (QStringView line : QStringView(normalised).split(u'\n')) {
        if (line.trimmed().isEmpty())
            continue;
        names.append(firstField(line, firstColumnOnly).trimmed());
    }
    return names;
}

BulkAddPlan planBulkAdd(const QStringList& names, const QStringList& namesOnList,
                        const CodePage& codePage) {
    BulkAddPlan plan;
    QSet<QString> onList;
    onList.reserve(namesOnList.size());
    for (const QString& name : namesOnList)
        onList.insert(sameNameKey(name));
    QSet<QString> planned;
    for (const QString& given : names) {
        const QString name = cleanedName(given);
        const QString key = sameNameKey(name);
        auto refuse = [&](RefusalReason reason) { plan.refused.push_back({name, reason, {}}); };
        if (name.isEmpty()) {
            refuse(RefusalReason::Empty);
            continue;
        }
        if (name.size() > kMaxNameLength) {
            refuse(RefusalReason::TooLong);
            continue;
        }
        if (onList.contains(key)) {
            refuse(RefusalReason::AlreadyOnList);
            continue;
        }
        if (planned.contains(key)) {
            refuse(RefusalReason::GivenTwice);
            continue;
        }
        const StorableName storable = storableName(name, codePage);
        if (storable.problem != StorableName::None) {
            // Outside the code page, the refusal names it: the same name may
            // be fine on a trainer of another language.
            plan.refused.push_back({name, RefusalReason::CannotBeStored,
                                    storable.problem == StorableName::OutsideCodePage
                                        ? codePageName(codePage)
                                        : QString()});
            continue;
        }
        planned.insert(key);
        plan.toAdd.push_back({name, storable.bytes});
    }
    return plan;
}

BulkAddResult carryOutBulkAdd(const QString& folder, const BulkAddPlan& plan,
                              std::vector<int> listNumbers,
                              const std::function<std::array<int, kRandomsPerFile>()>& drawRandoms,
                              const std::function<bool()>& createMissingFolder) {
    BulkAddResult result;
    result.refused = plan.refused;
    bool asked = false;
    auto askOnce = [&] {
        if (asked)
            return false;
        asked = true;
        return createMissingFolder && createMissingFolder();
    };
    QString stoppedBy; // once set, every name after is refused with it
    for (const PlannedName& planned : plan.toAdd) {
        if (!stoppedBy.isEmpty()) {
            result.refused.push_back({planned.name, RefusalReason::NotSaved, stoppedBy});
            continue;
        }
        const NewUserFile created =
            createUserFile(folder, listNumbers, planned.bytes, drawRandoms, askOnce);
        switch (created.outcome) {
        case NewUserFile::Created:
            listNumbers.push_back(created.number);
            result.added.push_back({planned.name, created.number, created.path});
            continue;
        case NewUserFile::FolderDeclined:
            stoppedBy =
                QCoreApplication::translate("BulkAdd", "The history file location does not exist.");
            break;
        case NewUserFile::Failed:
            stoppedBy = created.error.text + QStringLiteral(" (") + created.path + QLatin1Char(')');
            break;
        case NewUserFile::NumbersUsedUp:
            stoppedBy = numbersUsedUpText();
            break;
        }
        result.refused.push_back({planned.name, RefusalReason::NotSaved, stoppedBy});
    }
    return result;
}

QString refusalText(const RefusedName& refused) {
    switch (refused.reason) {
    case RefusalReason::AlreadyOnList:
        return QCoreApplication::translate("BulkAdd", "already on the list");
    case RefusalReason::GivenTwice:
        return QCoreApplication::translate("BulkAdd", "given twice in the names to add");
    case RefusalReason::CannotBeStored:
        if (!refused.detail.isEmpty())
            return QCoreApplication::translate("BulkAdd",
                                               "a character that cannot be stored in a history "
                                               "file (code page %1)")
                .arg(refused.detail);
        return QCoreApplication::translate("BulkAdd",
                                           "a character that cannot be stored in a history file");
    case RefusalReason::Empty:
        return QCoreApplication::translate("BulkAdd", "empty");
    case RefusalReason::TooLong:
        return QCoreApplication::translate("BulkAdd", "longer than %1 characters")
            .arg(kMaxNameLength);
    case RefusalReason::NotSaved:
        return QCoreApplication::translate("BulkAdd", "not saved: %1").arg(refused.detail);
    }
    return {};
}

MsgBoxRequest bulkAddQuestion(int count) {
    return {count == 1
                ? QCoreApplication::translate("BulkAdd", "Add this name?")
                : countedText("BulkAdd", QT_TRANSLATE_N_NOOP("BulkAdd", "Add these %n name(s)?"),
                              count),
            MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes,
            QCoreApplication::translate("BulkAdd", "Add names...")};
}

FileOpenRequest classListRequest() {
    FileOpenRequest request;
    request.title = QCoreApplication::translate("BulkAdd", "Add names from a file");
    request.defaultExtension = QStringLiteral(".txt");
    request.filter = QCoreApplication::translate("BulkAdd", "Class lists (*.txt *.csv)");
    return request;
}

MsgBoxRequest classListUnreadableReport(const QString& errorText, const QString& path) {
    const QString twice = kCrLf + kCrLf;
    return {errorText + twice + path + twice +
                QCoreApplication::translate("BulkAdd",
                                            "The program cannot read the names in this file."),
            MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok,
            QCoreApplication::translate("BulkAdd", " Sorry...")};
}

QString addedNamesText(const std::vector<AddedName>& addedNames) {
    QStringList lines;
    const size_t added = addedNames.size();
    lines.append(countedText("BulkAdd", QT_TRANSLATE_N_NOOP("BulkAdd", "%n name(s) added"),
                             qsizetype(added)));
    lines.last() += added ? QLatin1Char(':') : QLatin1Char('.');
    for (const AddedName& name : addedNames)
        lines.append(QStringLiteral("    ") + name.name);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString plannedNamesText(const std::vector<PlannedName>& planned) {
    QStringList lines;
    lines.append(countedText("BulkAdd", QT_TRANSLATE_N_NOOP("BulkAdd", "%n name(s) will be added"),
                             qsizetype(planned.size())));
    lines.last() += planned.empty() ? QLatin1Char('.') : QLatin1Char(':');
    for (const PlannedName& name : planned)
        lines.append(QStringLiteral("    ") + name.name);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString countedText(const char* context, const char* source, qsizetype count) {
    // Without a catalogue the source itself comes back, its %n filled in; a
    // catalogue's English, or one that left "(s)" in place, reads as English.
    return QCoreApplication::translate(context, source, nullptr, int(count))
        .replace(QLatin1String("(s)"), count == 1 ? QString() : QStringLiteral("s"));
}

QString refusedNamesText(const std::vector<RefusedName>& refusedNames) {
    QStringList lines;
    const size_t refused = refusedNames.size();
    lines.append(countedText("BulkAdd", QT_TRANSLATE_N_NOOP("BulkAdd", "%n name(s) refused:"),
                             qsizetype(refused)));
    for (const RefusedName& name : refusedNames)
        lines.append(QStringLiteral("    ") +
                     (name.name.isEmpty() ? QCoreApplication::translate("BulkAdd", "(no name)")
                                          : name.name) +
                     QStringLiteral(": ") + refusalText(name));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString bulkAddSummaryText(const BulkAddResult& result) {
    QString text = addedNamesText(result.added);
    if (!result.refused.empty())
        text += QLatin1Char('\n') + refusedNamesText(result.refused);
    return text;
}

} // namespace dexlan
