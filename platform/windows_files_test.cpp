// SPDX-License-Identifier: GPL-3.0-or-later
// What only Windows does: files replaced with ReplaceFile keep what Explorer
// and the access lists know of them, and a read-only file is left alone.
#include "platform/atomic_file.h"
#include "platform/path_policy.h"
#include "testing/test_files.h"

#include <QDir>

#include <gtest/gtest.h>

#include <windows.h>

namespace dexlan {
namespace {

using testing::TestFolder;

const wchar_t* wide(const QString& path) {
    return reinterpret_cast<const wchar_t*>(path.utf16());
}

FILETIME creationTime(const QString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExW(wide(path), GetFileExInfoStandard, &data));
    return data.ftCreationTime;
}

TEST(WindowsFiles, TheNativeRulesAreWindowsOwn) {
    const PathPolicy policy = PathPolicy::native();
    EXPECT_TRUE(policy.upperCaseLocations);
    EXPECT_TRUE(policy.driveLetterColon);
    EXPECT_EQ(policy.separator, QLatin1Char('\\'));
    EXPECT_EQ(policy.locationCase("c:\\Trainer\\Users\\"), "C:\\TRAINER\\USERS\\");
    TestFolder folder;
    EXPECT_TRUE(folder.path().contains(QLatin1Char('\\')));
    EXPECT_FALSE(folder.path().contains(QLatin1Char('/')));
}

TEST(WindowsFiles, RewriteKeepsAttributesAndCreationTime) {
    TestFolder folder;
    const QString path = folder.file("Dexlan4.ini");
    folder.write("Dexlan4.ini", "old\r\n");
    FILETIME made{};
    made.dwHighDateTime = 0x01c0'0000; // early in 2000, not now
    const HANDLE file = CreateFileW(wide(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(file, &made, nullptr, nullptr));
    CloseHandle(file);
    // Wine keeps no creation time of its own (Linux file systems cannot be
    // given one); there only the attributes can be followed.
    const bool timeKept = creationTime(path).dwHighDateTime == made.dwHighDateTime;
    ASSERT_TRUE(SetFileAttributesW(wide(path), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));

    ASSERT_FALSE(rewriteKeepingIdentity(path, "new\r\n").failed());
    EXPECT_EQ(folder.read("Dexlan4.ini"), "new\r\n");
    EXPECT_TRUE(GetFileAttributesW(wide(path)) & FILE_ATTRIBUTE_HIDDEN);
    if (timeKept)
        EXPECT_EQ(creationTime(path).dwHighDateTime, made.dwHighDateTime);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"Dexlan4.ini"})
        << "no temporary file is left behind";
}

TEST(WindowsFiles, AReadOnlyFileIsNeitherReplacedNorRewritten) {
    TestFolder folder;
    const QString path = folder.file("Dexlan4.ini");
    folder.write("Dexlan4.ini", "kept\r\n");
    ASSERT_TRUE(SetFileAttributesW(wide(path), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(rewriteKeepingIdentity(path, "new\r\n").failed());
    EXPECT_TRUE(replaceFileAtomically(path, "new\r\n").failed());
    EXPECT_EQ(folder.read("Dexlan4.ini"), "kept\r\n");
    SetFileAttributesW(wide(path), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"Dexlan4.ini"});
}

TEST(WindowsFiles, ANewFileIsMadeWhole) {
    TestFolder folder;
    ASSERT_FALSE(rewriteKeepingIdentity(folder.file("Dexlan4.ini"), "first\r\n").failed());
    EXPECT_EQ(folder.read("Dexlan4.ini"), "first\r\n");
}

} // namespace
} // namespace dexlan
