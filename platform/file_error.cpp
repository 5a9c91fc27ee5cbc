#include "platform/file_error.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

#include <cerrno>

namespace dexlan {

FileError describeFailure(const QString& path, const QString& errorText) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    FileError error;
    error.kind = folder.isDir() ? FileError::Other : FileError::FolderMissing;
    error.text = errorText;
    if (error.kind == FileError::FolderMissing && errorText.isEmpty())
        error.text = qt_error_string(ENOENT);
    return error;
}

QString lastSystemErrorText() {
    return qt_error_string(errno);
}

} // namespace dexlan
