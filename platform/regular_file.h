#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace dexlan {

// Opens path for reading when it names a regular file, through any symbolic
// links. A FIFO, a device or a folder is refused at once, without waiting for a
// writer or reading a byte of it.
bool openRegularFile(QFile& file, const QString& path);

} // namespace dexlan
