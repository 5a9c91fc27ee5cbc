// SPDX-License-Identifier: GPL-3.0-or-later
// One command for several trainers: each administered in turn, each line of
// its report marked with its folder, and the worst status answered.
#include "app/admin_run.h"

#include "platform/regular_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>

namespace dexlan {

namespace {

// Refused outweighs would-change, which outweighs done.
int worseStatus(int a, int b) {
    auto weight = [](int status) {
        return status == kAdminRefused ? 3 : status == kAdminUsage ? 2 : status ? 1 : 0;
    };
    return weight(b) > weight(a) ? b : a;
}

// Every line of text, each begun by prefix.
QString prefixed(const QString& text, const QString& prefix) {
    QString result;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        result += prefix + line + QLatin1Char('\n');
    return result;
}

// The folders a --trainers file names, one a line, blank lines skipped.
std::optional<QStringList> trainersListed(const QString& path, QTextStream& err) {
    QFile file;
    QString whyNot;
    QByteArray bytes;
    if (openRegularFile(file, path, &whyNot)) {
        bytes = file.read(1024 * 1024);
        if (file.error() != QFileDevice::NoError)
            whyNot = file.errorString();
    }
    if (!whyNot.isEmpty()) {
        err << admin::kProgramName << ": " << shownPath(path) << ": " << whyNot << '\n';
        return std::nullopt;
    }
    QStringList folders;
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const QString folder = line.trimmed();
        if (!folder.isEmpty())
            folders.append(folder);
    }
    return folders;
}

} // namespace

int administerEach(const AdminRequest& request, QTextStream& out, QTextStream& err,
                   QIODevice& standardInput, const QDateTime& now) {
    QStringList trainers = request.trainers;
    if (trainers.isEmpty() && !request.trainer.isEmpty())
        trainers.append(request.trainer);
    for (const QString& list : request.trainerLists) {
        const std::optional<QStringList> listed = trainersListed(list, err);
        if (!listed) {
            err.flush();
            return kAdminRefused;
        }
        trainers += *listed;
    }
    if (trainers.size() == 1 && request.trainerLists.isEmpty()) {
        AdminRequest one = request;
        one.trainer = trainers.constFirst();
        return runAdministration(one, out, err, standardInput, now);
    }
    // Standard input is read once, and each trainer given the same names.
    QByteArray input = standardInput.readAll();
    int worst = kAdminDone;
    for (const QString& trainer : trainers) {
        AdminRequest one = request;
        one.trainer = trainer;
        QString oneOut, oneErr;
        QTextStream outStream(&oneOut), errStream(&oneErr);
        QBuffer inputDevice(&input);
        inputDevice.open(QIODevice::ReadOnly);
        worst = worseStatus(worst, runAdministration(one, outStream, errStream, inputDevice, now));
        const QString shown = shownPath(trainer);
        if (request.format == ReportFormat::Json) {
            // One document a trainer, each on a line of its own.
            // (Under --quiet with nothing asked, a trainer prints none.)
            if (!oneOut.isEmpty())
                out << QString::fromUtf8(
                           QJsonDocument::fromJson(oneOut.toUtf8()).toJson(QJsonDocument::Compact))
                    << '\n';
        } else {
            out << prefixed(oneOut,
                            shown + (request.format == ReportFormat::Tsv ? QStringLiteral("\t")
                                                                         : QStringLiteral(": ")));
        }
        err << prefixed(oneErr, shown + QStringLiteral(": "));
        out.flush();
        err.flush();
    }
    return worst;
}

} // namespace dexlan
