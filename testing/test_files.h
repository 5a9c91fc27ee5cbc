// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace dexlan::testing {

// The options file of the administrator's tests: a network installation with
// an open list, and lines 6 to 9 the trainer's own (one in its code page).
inline const QByteArray kTrainersOwnLinesOptions =
    "Options File\r\nCorvantis Dexlan Training System 4\r\nnetwork\r\n"
    "hist roster open\r\nhist home\r\n0\r\ntrainer's own\r\n\xe9t\xe9\r\n"
    "0\r\nf2 on\r\nsfx all\r\ndocuments off\r\n";

// The eleven lines of an options file saved before its twelfth line existed:
// a network installation with an open list, lines 6 to 9 standing out.
inline const QByteArray kElevenLineOptions =
    "Options File\r\nCorvantis Dexlan Training System 4\r\nnetwork\r\n"
    "hist roster open\r\nhist home\r\n6\r\n7\r\n8\r\n9\r\nf2 on\r\n"
    "sfx all\r\n";

// A fresh folder for one test, removed afterwards; path() ends in a separator.
class TestFolder {
  public:
    TestFolder();
    QString path() const;
    QString file(const QString& name) const { return path() + name; }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

  private:
    QTemporaryDir m_dir;
};

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

// Files and folders named by the file system's own bytes, made and read
// through the C library alone, so that a name that is not UTF-8 reaches the
// disk without passing through the program's conversions.
QByteArray systemPath(const TestFolder& folder, const QByteArray& name);
void writeBytesNamed(const QByteArray& path, const QByteArray& bytes);
QByteArray readBytesNamed(const QByteArray& path);
bool existsBytesNamed(const QByteArray& path);
void makeFolderBytesNamed(const QByteArray& path);

} // namespace dexlan::testing
