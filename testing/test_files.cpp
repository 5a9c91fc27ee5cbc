// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>

#ifdef Q_OS_WIN
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace dexlan::testing {

TestFolder::TestFolder() {
    EXPECT_TRUE(m_dir.isValid());
}

QString TestFolder::path() const {
    return QDir::toNativeSeparators(m_dir.path()) + QDir::separator();
}

void TestFolder::write(const QString& name, const QByteArray& bytes) const {
    writeFile(file(name), bytes);
}

QByteArray TestFolder::read(const QString& name) const {
    return readFile(file(name));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray systemPath(const TestFolder& folder, const QByteArray& name) {
    return QFile::encodeName(folder.path()) + name;
}

void writeBytesNamed(const QByteArray& path, const QByteArray& bytes) {
    std::FILE* file = std::fopen(path.constData(), "wb");
    ASSERT_NE(file, nullptr) << path.toStdString();
    EXPECT_EQ(std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file), size_t(bytes.size()));
    EXPECT_EQ(std::fclose(file), 0);
}

QByteArray readBytesNamed(const QByteArray& path) {
    std::FILE* file = std::fopen(path.constData(), "rb");
    if (!file) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    QByteArray bytes;
    char buffer[4096];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, file))
        bytes.append(buffer, qsizetype(n));
    std::fclose(file);
    return bytes;
}

bool existsBytesNamed(const QByteArray& path) {
    std::FILE* file = std::fopen(path.constData(), "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

void makeFolderBytesNamed(const QByteArray& path) {
#ifdef Q_OS_WIN
    ASSERT_EQ(::_mkdir(path.constData()), 0) << path.toStdString();
#else
    ASSERT_EQ(::mkdir(path.constData(), 0777), 0) << path.toStdString();
#endif
}

} // namespace dexlan::testing
