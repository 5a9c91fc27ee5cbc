// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_system.h"
#include "testing/test_files.h"

#include <QThread>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

// A folder of this computer's own disk is read one thread a core; the share's
// side is proved on a real share (the school-share tests).
TEST(FileSystem, ALocalFolderIsReadOneThreadACore) {
    testing::TestFolder folder;
    EXPECT_FALSE(onNetworkFileSystem(folder.path()));
    EXPECT_EQ(readersFor(folder.path()), std::max(1, QThread::idealThreadCount()));
    EXPECT_FALSE(onNetworkFileSystem(folder.file("not/there/")))
        << "what cannot be asked is read as a local folder is";
#ifdef Q_OS_WIN
    EXPECT_TRUE(onNetworkFileSystem(QStringLiteral("\\\\server\\school\\Dexlan\\")));
    EXPECT_TRUE(onNetworkFileSystem(QStringLiteral("//server/school/Dexlan/")));
#endif
}

} // namespace
} // namespace dexlan
