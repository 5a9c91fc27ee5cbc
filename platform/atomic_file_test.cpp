// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomic_file.h"
#include "testing/test_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

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

// Linux-only: symbolic and hard links, owner, group, mode, access lists and
// chattr are POSIX identity; windows_files_test covers what Windows keeps.
#ifdef Q_OS_UNIX
QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// What makes a file the same file to the other people who use it.
struct Identity {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    QMap<QByteArray, QByteArray> attributes;

    friend bool operator==(const Identity&, const Identity&) = default;
};

std::ostream& operator<<(std::ostream& out, const Identity& id) {
    out << id.owner << ':' << id.group << " mode " << std::oct << id.mode << std::dec;
    for (auto it = id.attributes.begin(); it != id.attributes.end(); ++it)
        out << ' ' << it.key().constData() << '(' << it.value().size() << ')';
    return out;
}

Identity identityOf(const QString& path) {
    Identity id;
    struct stat info {};
    EXPECT_EQ(stat(native(path).constData(), &info), 0);
    id.owner = info.st_uid;
    id.group = info.st_gid;
    id.mode = info.st_mode & 07777;
    char names[4096];
    const ssize_t length = listxattr(native(path).constData(), names, sizeof names);
    for (ssize_t at = 0; at < length; at += ssize_t(strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t size = getxattr(native(path).constData(), names + at, value, sizeof value);
        id.attributes[names + at] = QByteArray(value, size < 0 ? 0 : size);
    }
    return id;
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(stat(native(path).constData(), &info), 0);
    return info.st_ino;
}

bool isSymbolicLink(const QString& path) {
    struct stat info {};
    return lstat(native(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Who saves: a user with its groups.
struct Saver {
    const char* who;
    uid_t uid;
    gid_t gid;
    std::vector<gid_t> groups;
};
const Saver kRoot{"root", 0, 0, {0}};

// Runs body in a child process as saver, and answers its exit status (0 when
// body succeeded).
int runAs(const Saver& saver, const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        const bool asSelf = saver.uid == geteuid() && saver.gid == getegid();
        if (!asSelf && (setgroups(saver.groups.size(), saver.groups.data()) != 0 ||
                        setresgid(saver.gid, saver.gid, saver.gid) != 0 ||
                        setresuid(saver.uid, saver.uid, saver.uid) != 0))
            _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int saveAs(const Saver& saver, const QString& path, const QByteArray& bytes) {
    return runAs(saver, [&] {
        const FileError error = rewriteKeepingIdentity(path, bytes);
        if (error.failed())
            fprintf(stderr, "%s: %s\n", saver.who, qPrintable(error.text));
        return error.failed() ? 1 : 0;
    });
}

void setOwner(const QString& path, uid_t uid, gid_t gid, mode_t mode) {
    ASSERT_EQ(chown(native(path).constData(), uid, gid), 0);
    ASSERT_EQ(chmod(native(path).constData(), mode), 0);
}

// An access list that lets one more user write the file.
QByteArray aclLettingWrite(uid_t colleague) {
    struct Entry {
        quint16 tag, perm;
        quint32 id;
    } entries[] = {{0x01, 6, quint32(-1)},
                   {0x02, 6, colleague},
                   {0x04, 6, quint32(-1)},
                   {0x10, 6, quint32(-1)},
                   {0x20, 4, quint32(-1)}};
    QByteArray acl;
    const quint32 version = 2;
    acl.append(reinterpret_cast<const char*>(&version), sizeof version);
    acl.append(reinterpret_cast<const char*>(entries), sizeof entries);
    return acl;
}

int filesIn(const QString& folder) {
    return int(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size());
}

class RewriteKeepingIdentity : public ::testing::Test {
  protected:
    // A folder that other users can reach; the temporary folder is private.
    QString folderFor(const QString& name, uid_t uid, gid_t gid, mode_t mode) {
        chmod(native(base.path()).constData(), 0755);
        const QString path = base.file(name);
        EXPECT_TRUE(QDir().mkpath(path));
        setOwner(path, uid, gid, mode);
        return path + QLatin1Char('/');
    }
    TestFolder base;
};

TEST_F(RewriteKeepingIdentity, ThroughSymbolicLinksTheTargetIsRewritten) {
    const QString shared = folderFor("shared", geteuid(), getegid(), 0755);
    const QString program = folderFor("program", geteuid(), getegid(), 0755);
    testing::writeFile(shared + "real.ini", "old");
    ASSERT_EQ(symlink("../shared/real.ini", native(program + "Dexlan4.ini").constData()), 0);
    ASSERT_EQ(symlink("Dexlan4.ini", native(program + "again.ini").constData()), 0);
    ASSERT_EQ(symlink("../shared/later.ini", native(program + "dangling.ini").constData()), 0);

    ASSERT_FALSE(rewriteKeepingIdentity(program + "Dexlan4.ini", "new").failed());
    EXPECT_TRUE(isSymbolicLink(program + "Dexlan4.ini"));
    EXPECT_EQ(testing::readFile(shared + "real.ini"), "new");

    ASSERT_FALSE(rewriteKeepingIdentity(program + "again.ini", "newer").failed());
    EXPECT_TRUE(isSymbolicLink(program + "again.ini"));
    EXPECT_EQ(testing::readFile(shared + "real.ini"), "newer");

    // A link to a file not there yet makes the file where the link points.
    ASSERT_FALSE(rewriteKeepingIdentity(program + "dangling.ini", "made").failed());
    EXPECT_TRUE(isSymbolicLink(program + "dangling.ini"));
    EXPECT_EQ(testing::readFile(shared + "later.ini"), "made");
    EXPECT_EQ(filesIn(shared), 2) << "no temporary file is left behind";

    // The shared folder may take no new files; the link still stays a link.
    if (QProcess::execute("chattr", {"+i", shared}) != 0)
        GTEST_SKIP() << "chattr +i is not available on this file system";
    const FileError error = rewriteKeepingIdentity(program + "Dexlan4.ini", "newest");
    QProcess::execute("chattr", {"-i", shared});
    EXPECT_FALSE(error.failed()) << error.text.toStdString();
    EXPECT_TRUE(isSymbolicLink(program + "Dexlan4.ini"));
    EXPECT_EQ(testing::readFile(shared + "real.ini"), "newest");
    EXPECT_EQ(filesIn(program), 3);
}

TEST_F(RewriteKeepingIdentity, HardLinksStayOneFile) {
    const QString folder = folderFor("f", geteuid(), getegid(), 0755);
    testing::writeFile(folder + "Dexlan4.ini", "old contents");
    ASSERT_EQ(
        link(native(folder + "Dexlan4.ini").constData(), native(folder + "other").constData()), 0);
    const ino_t inode = inodeOf(folder + "Dexlan4.ini");
    ASSERT_FALSE(rewriteKeepingIdentity(folder + "Dexlan4.ini", "new").failed());
    EXPECT_EQ(testing::readFile(folder + "other"), "new");
    EXPECT_EQ(inodeOf(folder + "Dexlan4.ini"), inode);
    EXPECT_EQ(filesIn(folder), 2);
}

// A file shared by a group, with an access list for one more colleague: whoever
// of them saves, the file stays theirs in common.
TEST_F(RewriteKeepingIdentity, OwnerGroupModeAndAttributesAreKept) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as other users";
    const Saver savers[] = {kRoot,
                            {"the owner", 4001, 4001, {4001, 4000}},
                            {"a member of the group", 4002, 4002, {4002, 4000}},
                            {"the colleague in the access list", 4003, 4003, {4003}}};
    for (const Saver& saver : savers) {
        SCOPED_TRACE(saver.who);
        const QString folder = folderFor(saver.who, 4001, 4000, 0775);
        const QString path = folder + "Dexlan4.ini";
        testing::writeFile(path, "old contents");
        setOwner(path, 4001, 4000, 0664);
        const QByteArray note = "shared with the lab";
        ASSERT_EQ(
            setxattr(native(path).constData(), "user.dexlan", note.constData(), note.size(), 0), 0);
        const QByteArray acl = aclLettingWrite(4003);
        if (setxattr(native(path).constData(), "system.posix_acl_access", acl.constData(),
                     acl.size(), 0) != 0)
            GTEST_SKIP() << "no access lists on this file system";
        const Identity before = identityOf(path);
        ASSERT_EQ(before.attributes.size(), 2) << before;

        ASSERT_EQ(saveAs(saver, path, "new"), 0);
        EXPECT_EQ(testing::readFile(path), "new");
        EXPECT_EQ(identityOf(path), before);
        EXPECT_EQ(filesIn(folder), 1);
    }
}

// Where the folder takes no new file, the file itself may still be written.
TEST_F(RewriteKeepingIdentity, AFolderThatTakesNoNewFilesIsNoObstacle) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as other users";
    const Saver member{"a member of the group", 4002, 4002, {4002, 4000}};
    const Saver owner{"the owner", 4002, 4002, {4002}};
    struct Case {
        const char* what;
        Saver saver;
        mode_t folderMode;
        uid_t fileOwner;
        bool immutableFolder;
    } cases[] = {
        {"a folder of another user", owner, 0755, 4002, false},
        {"a sticky folder", member, 01777, 4001, false},
        {"an immutable folder", kRoot, 0755, 4001, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString folder = folderFor(c.what, 0, 0, c.folderMode);
        const QString path = folder + "Dexlan4.ini";
        testing::writeFile(path, "old contents");
        setOwner(path, c.fileOwner, 4000, 0664);
        const Identity before = identityOf(path);
        if (c.immutableFolder && QProcess::execute("chattr", {"+i", folder}) != 0)
            GTEST_SKIP() << "chattr +i is not available on this file system";
        EXPECT_EQ(saveAs(c.saver, path, "new"), 0);
        if (c.immutableFolder)
            QProcess::execute("chattr", {"-i", folder});
        EXPECT_EQ(testing::readFile(path), "new");
        EXPECT_EQ(identityOf(path), before);
        EXPECT_EQ(filesIn(folder), 1);
    }
}

// A rewrite in place that fails half-way puts the old bytes back and says why.
// The file-size limit is passed without the signal being ignored beforehand:
// the rewrite must not end the program half-way either.
TEST_F(RewriteKeepingIdentity, AFailedRewriteInPlacePutsTheOldBytesBack) {
    const QString folder = folderFor("f", geteuid(), getegid(), 0755);
    const QString path = folder + "Dexlan4.ini";
    const QByteArray old(600, 'o');
    testing::writeFile(path, old);
    ASSERT_EQ(link(native(path).constData(), native(folder + "other").constData()), 0);
    const int status = runAs({"limited", geteuid(), getegid(), {getegid()}}, [&] {
        rlimit limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const FileError error = rewriteKeepingIdentity(path, QByteArray(5000, 'n'));
        if (!error.failed())
            return 1;
        return error.text == QLatin1String("File too large") ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(testing::readFile(path), old);
    EXPECT_EQ(testing::readFile(folder + "other"), old);
    EXPECT_EQ(filesIn(folder), 2);
}
#endif

// A copy killed in the middle of a save leaves its temporary file. The next save
// into that folder removes those of our temporaries that are old, and only
// those: a young one may be another copy's save in progress.
TEST(AbandonedTemporaries, TheNextSaveRemovesOnlyOursAndOnlyOldOnes) {
    const std::function<bool(const QString&)> saves[] = {
        [](const QString& path) { return !rewriteKeepingIdentity(path, "new").failed(); },
        [](const QString& path) {
            const TemporaryBeside made = writeTemporaryBeside(path, "new");
            return made.outcome == TemporaryBeside::Made && QFile::remove(made.path);
        },
    };
    for (const auto& save : saves) {
        TestFolder folder;
        folder.write("Dexlan4.ini", "old");
        const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-20 * 60);
        struct Left {
            const char* name;
            bool aged;
            bool kept;
        } const left[] = {
            {".Dexlan4.ini.new5f3a9c01", true, false}, // a killed save's
            {".12HIST.DX.new7b", true, false},         // a killed add's
            {".Dexlan4.ini.new2d4e", false, true},     // a save in progress
            {".Dexlan4.ini.newest", true, true},       // not a name we give
            {".Dexlan4.ini.new5f3a9c01x", true, true},
            {"Dexlan4.ini.new5f3a9c01", true, true}, // not hidden
            {".new5f3a9c01", true, true},
        };
        for (const Left& file : left) {
            folder.write(file.name, "partial");
            if (file.aged) {
                QFile aged(folder.file(file.name));
                ASSERT_TRUE(aged.open(QIODevice::Append));
                ASSERT_TRUE(aged.setFileTime(old, QFileDevice::FileModificationTime));
            }
        }
        ASSERT_TRUE(save(folder.file("Dexlan4.ini")));
        for (const Left& file : left)
            EXPECT_EQ(QFileInfo::exists(folder.file(file.name)), file.kept) << file.name;
    }
}

} // namespace
} // namespace dexlan
