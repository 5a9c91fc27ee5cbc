// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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

} // namespace dexlan::testing
