// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

class QFile;

namespace dexlan {

// Opens path for reading when it names a regular file, through any symbolic
// links. A FIFO, a device or a folder is refused at once, without waiting for a
// writer or reading a byte of it. When whyNot is given, a refusal puts there
// the system's words, or notRegularFileText().
bool openRegularFile(QFile& file, const QString& path, QString* whyNot = nullptr);

// Why a FIFO, a device or a folder was not read as a file.
QString notRegularFileText();

// The fingerprint that tells whether a file still holds what was read or written
// is a digest of all its bytes, made with this algorithm.
inline constexpr QCryptographicHash::Algorithm kContentDigest = QCryptographicHash::Sha256;

// The fingerprint of bytes about to be written.
QByteArray contentDigest(const QByteArray& bytes);

// The fingerprint of the regular file at path; empty when there is no readable
// regular file there.
QByteArray regularFileDigest(const QString& path);

} // namespace dexlan
