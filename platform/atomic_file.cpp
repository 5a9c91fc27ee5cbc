#include "platform/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#endif

namespace dexlan {

namespace {

// Writes all bytes and flushes; any short write or failed flush is an error,
// because a cut-short file must never be committed.
bool writeAll(QFileDevice& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return file.flush() && file.error() == QFileDevice::NoError;
}

QString errorOr(const QFileDevice& file, const QString& fallback) {
    const QString text = file.errorString();
    return text.isEmpty() || text == QLatin1String("Unknown error") ? fallback : text;
}

bool syncToDisk(QFile& file) {
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// Moves from over to, replacing to in one step.
bool renameReplacing(const QString& from, const QString& to, QString* errorText) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                    reinterpret_cast<const wchar_t*>(to.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *errorText = QFile(from).errorString();
    return false;
#else
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *errorText = lastSystemErrorText();
    return false;
#endif
}

FileError viaSaveFile(const QString& path, const QByteArray& bytes, bool* opened) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    *opened = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (!*opened)
        return describeFailure(path, file.errorString());
    if (!writeAll(file, bytes)) {
        const QString text = errorOr(file, lastSystemErrorText());
        file.cancelWriting();
        file.commit(); // discards the temporary file
        return describeFailure(path, text);
    }
    if (!file.commit())
        return describeFailure(path, errorOr(file, lastSystemErrorText()));
    return FileError::ok();
}

FileError viaNamedTemporary(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    QFile temp;
    for (int attempt = 0;; ++attempt) {
        temp.setFileName(target.absolutePath() + QLatin1Char('/') + QLatin1Char('.') +
                         target.fileName() + QLatin1String(".new") +
                         QString::number(QRandomGenerator::global()->generate(), 16));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (temp.error() != QFileDevice::OpenError || attempt > 20 ||
            !QFileInfo::exists(temp.fileName()))
            return describeFailure(path, temp.errorString());
    }
    auto discard = [&temp](const QString& text, const QString& forPath) {
        temp.close();
        temp.remove();
        return describeFailure(forPath, text);
    };
    if (!writeAll(temp, bytes))
        return discard(errorOr(temp, lastSystemErrorText()), path);
    if (!syncToDisk(temp))
        return discard(lastSystemErrorText(), path);
    temp.close();
    QString renameError;
    if (!renameReplacing(temp.fileName(), path, &renameError)) {
        temp.remove();
        return describeFailure(path, renameError);
    }
    return FileError::ok();
}

} // namespace

FileError replaceFileAtomically(const QString& path, const QByteArray& bytes,
                                ReplaceStrategy strategy) {
    // A rename replaces a write-protected file as readily as any other, so ask
    // the file itself whether it may be written (without changing it).
    if (QFileInfo::exists(path)) {
        QFile existing(path);
        if (!existing.open(QIODevice::WriteOnly | QIODevice::Append))
            return describeFailure(path, existing.errorString());
    }
    if (strategy != ReplaceStrategy::NamedTemporary) {
        bool opened = false;
        FileError result = viaSaveFile(path, bytes, &opened);
        if (opened || strategy == ReplaceStrategy::SaveFile)
            return result;
    }
    return viaNamedTemporary(path, bytes);
}

} // namespace dexlan
