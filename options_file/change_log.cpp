// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_file/change_log.h"

#include "options_file/shared_state.h"
#include "platform/append_file.h"
#include "platform/atomic_file.h"
#include "platform/dialogs.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "platform/folder_lock.h"
#include "platform/line_break.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>

namespace dexlan {

namespace {

// Only one copy makes the log the previous one at a time; another that
// finds the lock taken appends to whichever file is the log by then.
const QLatin1String kRotationLockName(".Dexlan4-changes.lock");
constexpr int kRotationWaitMs = 2000;
// On a share every line waits for the lock: a copy holds it a moment only.
constexpr int kShareWaitMs = 10000;

// A share may refuse to append: smbnetfs answers an O_APPEND open, and a
// second open of a file closed a moment ago, with EIO, and then the whole
// folder for a while. There the log is written anew beside itself and put in
// place by rename, one copy at a time under the lock, so that no line is
// lost, torn or doubled.
FileError recordOnShare(const QString& folder, const QString& path, const QByteArray& line) {
    FolderLock lock;
    if (lock.take(folder, kRotationLockName, kShareWaitMs) != FolderLock::Result::Taken)
        return {FileError::Other,
                QCoreApplication::translate("ChangeLog",
                                            "Another copy kept the record of changes busy.")};
    QByteArray bytes;
    {
        QFile file;
        if (openRegularFile(file, path))
            bytes = file.read(kChangeLogCapBytes + 1);
    }
    if (bytes.size() + line.size() > kChangeLogCapBytes) {
        if (const FileError moved =
                rewriteKeepingIdentity(path + QLatin1String(kPreviousLogSuffix), bytes);
            moved.failed())
            return moved;
        bytes.clear();
    }
    bytes += line;
    // The share's own way of saving, as the options file is saved there: an
    // open for appending is what it refuses.
    return rewriteKeepingIdentity(path, bytes);
}

qint64 fileSize(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path))
        return 0;
    return file.size();
}

QString isoWithZone(const QDateTime& at) {
    return at.toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODate);
}

QStringList linesOf(const QString& path) {
    QFile file;
    if (!openRegularFile(file, path))
        return {};
    // A log past its cap is read only so far: a copy may have failed to rotate it.
    const QByteArray bytes = file.read(4 * kChangeLogCapBytes);
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

ChangeAuthor thisAuthor(ChangePlace place) {
    return {accountName(), QSysInfo::machineHostName(), place, {}};
}

QString escapedLogField(const QString& field) {
    QString escaped;
    escaped.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QByteArray changeLogLine(const QDateTime& at, const ChangeAuthor& author,
                         const LoggedChange& change) {
    const QStringList fields = {
        isoWithZone(at),
        author.account,
        author.machine,
        author.place == ChangePlace::Window ? QStringLiteral("window")
                                            : QStringLiteral("command line"),
        change.action,
        change.name,
        change.number > 0 ? QString::number(change.number) : QString(),
        change.detail,
    };
    QStringList escaped;
    for (const QString& field : fields)
        escaped.append(escapedLogField(field));
    return escaped.join(QLatin1Char('\t')).toUtf8() + '\n';
}

ChangeLog::ChangeLog(const QString& programFolder, ChangeAuthor author)
    : m_folder(programFolder), m_path(programFolder + QLatin1String(kChangeLogName)),
      m_author(std::move(author)) {}

FileError ChangeLog::record(const LoggedChange& change) const {
    const QDateTime now = m_author.clock ? m_author.clock() : QDateTime::currentDateTime();
    const QByteArray line = changeLogLine(now, m_author, change);
    if (!surelyOnLocalFileSystem(m_folder))
        return recordOnShare(m_folder, m_path, line);
    if (fileSize(m_path) + line.size() > kChangeLogCapBytes) {
        // Asked again under the lock: a copy that rotated a moment ago left a
        // small log, which is not rotated a second time.
        FolderLock lock;
        if (lock.take(m_folder, kRotationLockName, kRotationWaitMs) == FolderLock::Result::Taken &&
            fileSize(m_path) + line.size() > kChangeLogCapBytes)
            replaceByRename(m_path, m_path + QLatin1String(kPreviousLogSuffix));
    }
    return appendWhole(m_path, line);
}

QStringList lastLoggedChanges(const QString& programFolder, int count) {
    const QString path = programFolder + QLatin1String(kChangeLogName);
    QStringList lines = linesOf(path);
    if (lines.size() < count)
        lines = linesOf(path + QLatin1String(kPreviousLogSuffix)) + lines;
    return count >= lines.size() ? lines : lines.mid(lines.size() - count);
}

LoggedChange settingChange(const LineValues& line) {
    return {QStringLiteral("set"),
            {},
            0,
            QStringLiteral("line %1: \"%2\" -> \"%3\"")
                .arg(QString::number(line.line), line.before, line.after)};
}

MsgBoxRequest changeLogUnwritableReport(const QString& errorText, const QString& path) {
    return {errorText + kCrLf + shownPath(path) + kCrLf + kCrLf +
                QCoreApplication::translate(
                    "ChangeLog",
                    "The record of changes cannot be written, so this change and those that "
                    "follow are not recorded there.  The changes themselves are made."),
            MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok,
            QCoreApplication::translate("ChangeLog", "Record of changes")};
}

void recordWindowChange(SharedState& state, Dialogs& dialogs, const LoggedChange& change) {
    const ChangeLog log(state.programFolder, thisAuthor(ChangePlace::Window));
    const FileError error = log.record(change);
    if (!error.failed() || state.changeLogFailureTold)
        return;
    state.changeLogFailureTold = true;
    dialogs.msgBox(changeLogUnwritableReport(error.text, log.path()));
}

} // namespace dexlan
