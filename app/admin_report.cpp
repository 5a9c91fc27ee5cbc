// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/admin_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace dexlan {

namespace {

QString row(const QStringList& fields) {
    return fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

QString numberField(int number) {
    return number > 0 ? QString::number(number) : QString();
}

QJsonValue numberOrNull(int number) {
    return number > 0 ? QJsonValue(number) : QJsonValue(QJsonValue::Null);
}

QJsonObject changeObject(const ChangeRecord& change) {
    QJsonObject object{{QStringLiteral("action"), change.action},
                       {QStringLiteral("result"), change.result},
                       {QStringLiteral("changed"), change.changed}};
    if (change.action == QLatin1String("set")) {
        QJsonArray lines;
        for (const LineChange& line : change.lines)
            lines.append(QJsonObject{{QStringLiteral("line"), line.line},
                                     {QStringLiteral("old"), line.before},
                                     {QStringLiteral("new"), line.after},
                                     {QStringLiteral("corrected"), line.corrected}});
        object.insert(QStringLiteral("lines"), lines);
    } else if (change.action == QLatin1String("create-folder")) {
        object.insert(QStringLiteral("path"), change.name);
    } else {
        object.insert(QStringLiteral("name"), change.name);
        object.insert(QStringLiteral("number"), numberOrNull(change.number));
    }
    if (!change.deletedAt.isEmpty())
        object.insert(QStringLiteral("deleted_at"), change.deletedAt);
    if (!change.reason.isEmpty())
        object.insert(QStringLiteral("reason"), change.reason);
    return object;
}

QJsonObject pairsObject(const std::vector<std::pair<QString, QString>>& pairs) {
    QJsonObject object;
    for (const auto& [key, value] : pairs)
        object.insert(key, value);
    return object;
}

QJsonArray usersArray(const std::vector<ReportedUser>& users, bool held) {
    QJsonArray array;
    for (const ReportedUser& user : users) {
        QJsonObject object{{QStringLiteral("number"), numberOrNull(user.number)},
                           {QStringLiteral("name"), user.name}};
        if (held)
            object.insert(QStringLiteral("deleted_at"), user.deletedAt);
        array.append(object);
    }
    return array;
}

} // namespace

std::optional<ReportFormat> reportFormatNamed(const QString& word) {
    if (word == QLatin1String("text"))
        return ReportFormat::Text;
    if (word == QLatin1String("tsv"))
        return ReportFormat::Tsv;
    if (word == QLatin1String("json"))
        return ReportFormat::Json;
    return std::nullopt;
}

QString changeRows(const ChangeRecord& change) {
    if (change.result == QLatin1String("refused"))
        return {};
    if (change.action == QLatin1String("set")) {
        if (change.lines.empty())
            return row({change.action, change.result, {}, {}, {}});
        QString rows;
        for (const LineChange& line : change.lines)
            rows += row({change.action, change.result, QString::number(line.line), line.before,
                         line.after});
        return rows;
    }
    return row(
        {change.action, change.result, numberField(change.number), change.name, change.reason});
}

QByteArray reportJson(const AdminReport& report) {
    QJsonObject document{{QStringLiteral("schema"), QLatin1String(kReportSchema)},
                         {QStringLiteral("trainer"), report.trainer},
                         {QStringLiteral("check"), report.check},
                         {QStringLiteral("status"), report.status}};
    QJsonArray changes;
    if (report.withChanges) {
        for (const ChangeRecord& change : report.changes)
            changes.append(changeObject(change));
    }
    document.insert(QStringLiteral("changes"), changes);
    if (!report.values.empty())
        document.insert(QStringLiteral("values"), pairsObject(report.values));
    if (report.settings)
        document.insert(QStringLiteral("settings"), pairsObject(*report.settings));
    if (report.lines)
        document.insert(QStringLiteral("lines"), QJsonArray::fromStringList(*report.lines));
    if (report.users)
        document.insert(QStringLiteral("users"), usersArray(*report.users, false));
    if (report.deleted)
        document.insert(QStringLiteral("deleted"), usersArray(*report.deleted, true));
    if (report.log)
        document.insert(QStringLiteral("log"), QJsonArray::fromStringList(*report.log));
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

} // namespace dexlan
