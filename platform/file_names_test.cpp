// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_names.h"
#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::TestFolder;

struct NameCase {
    const char* what;
    QByteArray bytes;
    QString shown; // as a person sees it
};

const QChar kMark = QChar::ReplacementCharacter;

std::vector<NameCase> nameCases() {
    return {
        {"ASCII", "12HIST.DX", QStringLiteral("12HIST.DX")},
        {"UTF-8", "caf\xc3\xa9/\xe6\x97\xa5", QStringLiteral("caf\u00e9/\u65e5")},
        {"UTF-8 beyond the BMP", "\xf0\x9f\x98\x80", QString::fromUtf8("\xf0\x9f\x98\x80")},
        {"a Latin-1 byte", "tr\xe9", QStringLiteral("tr") + kMark},
        {"a byte that starts nothing", "5\xffHIST.DX", QStringLiteral("5") + kMark + "HIST.DX"},
        {"a sequence cut short", "a\xe2\x82", QStringLiteral("a") + kMark + kMark},
        {"an overlong slash", "\xc0\xaf", QString(2, kMark)},
        {"an encoded surrogate", "\xed\xa0\x80", QString(3, kMark)},
        // The very escape the conversion uses, written out as UTF-8: still
        // three bytes that are no text, never the byte 0x80.
        {"an encoded escape", "\xed\xb2\x80", QString(3, kMark)},
        {"past U+10FFFF", "\xf4\x90\x80\x80", QString(4, kMark)},
        {"a pair then a stray byte", "\xf0\x9f\x98\x80\x80",
         QString::fromUtf8("\xf0\x9f\x98\x80") + kMark},
        {"a stray continuation byte", "x\x80y", QStringLiteral("x") + kMark + "y"},
    };
}

TEST(FileNames, EveryNameComesBackAsTheSameBytesAndShowsMarksForNonText) {
    DEXLAN_LINUX_ONLY("Windows names are UTF-16, never bytes that are not text");
    for (const NameCase& name : nameCases()) {
        SCOPED_TRACE(name.what);
        const QString path = pathFromSystem(name.bytes);
        EXPECT_EQ(pathToSystem(path), name.bytes);
        EXPECT_EQ(shownPath(path), name.shown);
        // Qt reaches every path it decodes itself, and none that it would mangle.
        const bool text = QString::fromUtf8(name.bytes).toUtf8() == name.bytes;
        EXPECT_EQ(qtReachesPath(path), text);
        if (text)
            EXPECT_EQ(path, QFile::decodeName(name.bytes));
    }
}

TEST(FileNames, ShownPathLeavesTextAloneAndMarksEveryLoneSurrogate) {
    const QString pair = QString::fromUtf8("\xf0\x9f\x98\x80");
    EXPECT_EQ(shownPath(QStringLiteral("/srv/caf\u00e9/") + pair),
              QStringLiteral("/srv/caf\u00e9/") + pair);
    EXPECT_EQ(shownPath(QString(QChar(0xD800)) + "a" + QChar(0xDCE9)),
              QString(kMark) + "a" + kMark);
}

// A file whose name Qt cannot give back: QFileInfo finds no such file, the
// platform functions find it, read it, write it and remove it.
TEST(FileNames, FileNotNamedInUtf8IsFoundOpenedListedAndRemoved) {
    DEXLAN_LINUX_ONLY("file names that are not UTF-8 are made only there");
    TestFolder folder;
    const QByteArray native = testing::systemPath(folder, "tr\xe9.ini");
    testing::writeBytesNamed(native, "old");
    folder.write("plain.ini", "plain");
    const QString path = pathFromSystem(native);
    ASSERT_FALSE(QFileInfo::exists(path)); // the fault being worked around

    const PathStatus status(path);
    EXPECT_TRUE(status.exists());
    EXPECT_TRUE(status.isFile());
    EXPECT_FALSE(status.isDir());
    EXPECT_FALSE(status.isSymLink());
    EXPECT_FALSE(status.isHidden());
    EXPECT_TRUE(status.isReadable());
    EXPECT_TRUE(status.isWritable());
    EXPECT_TRUE(PathStatus(pathFromSystem(testing::systemPath(folder, ""))).isDir());

    QStringList names = fileNamesIn(folder.path());
    names.sort();
    EXPECT_EQ(names, QStringList({QStringLiteral("plain.ini"), pathFromSystem("tr\xe9.ini")}));

    {
        QFile file;
        ASSERT_TRUE(openPath(file, path, QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "old");
    }
    {
        QFile file;
        ASSERT_TRUE(openPath(file, path, QIODevice::WriteOnly));
        EXPECT_EQ(file.write("new"), 3);
    }
    EXPECT_EQ(testing::readBytesNamed(native), "new");
    {
        QFile file;
        QString error;
        EXPECT_FALSE(openPath(file, path, QIODevice::WriteOnly | QIODevice::NewOnly, &error));
        EXPECT_FALSE(error.isEmpty());
    }

    EXPECT_TRUE(removePath(path));
    EXPECT_FALSE(testing::existsBytesNamed(native));
    EXPECT_FALSE(PathStatus(path).exists());
    QString error;
    EXPECT_FALSE(removePath(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(testing::existsBytesNamed(testing::systemPath(folder, "plain.ini")));
}

} // namespace
} // namespace dexlan
