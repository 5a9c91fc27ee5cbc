#include "platform/atomic_file.h"
#include "platform/test_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using testing::TestFolder;

const ReplaceStrategy kStrategies[] = {ReplaceStrategy::SaveFile, ReplaceStrategy::NamedTemporary,
                                       ReplaceStrategy::Automatic};

TEST(ReplaceFileAtomically, ReplacesAndCreatesWithEachStrategy) {
    for (ReplaceStrategy strategy : kStrategies) {
        TestFolder folder;
        folder.write("a.ini", "old contents");
        ASSERT_FALSE(replaceFileAtomically(folder.file("a.ini"), "new", strategy).failed());
        EXPECT_EQ(folder.read("a.ini"), "new");
        ASSERT_FALSE(replaceFileAtomically(folder.file("b.ini"), "fresh", strategy).failed());
        EXPECT_EQ(folder.read("b.ini"), "fresh");
        // Nothing but the two files remains: no temporary is left behind.
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
}

TEST(ReplaceFileAtomically, MissingFolderIsToldApart) {
    for (ReplaceStrategy strategy : kStrategies) {
        TestFolder folder;
        const FileError error = replaceFileAtomically(folder.file("nowhere/a.ini"), "x", strategy);
        EXPECT_EQ(error.kind, FileError::FolderMissing);
        EXPECT_FALSE(error.text.isEmpty());
    }
}

TEST(ReplaceFileAtomically, PathThroughAFileIsAnOtherError) {
    TestFolder folder;
    folder.write("plain", "I am a file");
    const FileError error = replaceFileAtomically(folder.file("plain/a.ini"), "x");
    EXPECT_TRUE(error.failed());
    EXPECT_FALSE(error.text.isEmpty());
}

} // namespace
} // namespace dexlan
