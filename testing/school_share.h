// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include <gtest/gtest.h>

namespace dexlan::testing {

// The school's share that tools/school-share brings up for the tests (ctest
// starts it before them): one folder on a Samba server, reached through the
// FUSE mounts of two teachers' computers.
struct SchoolShare {
    QString teacherA; // the share's folder as the first teacher's computer has it
    QString teacherB; // the same, from the second
    QString served;   // the folder as the server's own disk holds it
    QString whyNot;   // when the share is not up: one sentence saying why

    bool up() const { return whyNot.isEmpty(); }
};

// The share whose state folder (that of tools/school-share) is state.
SchoolShare schoolShare(const QString& state);

// A fresh folder on the share for one test, seen from both teachers'
// computers and on the server, removed afterwards. Paths end in "/".
class ShareFolder {
  public:
    explicit ShareFolder(const SchoolShare& share);
    ~ShareFolder();
    ShareFolder(const ShareFolder&) = delete;
    ShareFolder& operator=(const ShareFolder&) = delete;

    QString a() const { return m_a; }
    QString b() const { return m_b; }
    QString onServer() const { return m_served; }

    // The names in the folder, hidden ones too, as the server's disk has them.
    QStringList names() const;

  private:
    QString m_a, m_b, m_served;
};

// Skips a test with the reason when the share is not up. The share is the one
// named by DEXLAN_SCHOOL_SHARE, else the one the build gives the test.
class ShareTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!share.up())
            GTEST_SKIP() << share.whyNot.toStdString();
        folder = std::make_unique<ShareFolder>(share);
    }
    void TearDown() override { folder.reset(); }

#ifdef DEXLAN_SCHOOL_SHARE_STATE
    SchoolShare share = schoolShare(
        qEnvironmentVariable("DEXLAN_SCHOOL_SHARE", QStringLiteral(DEXLAN_SCHOOL_SHARE_STATE)));
#else
    SchoolShare share = schoolShare(qEnvironmentVariable("DEXLAN_SCHOOL_SHARE"));
#endif
    std::unique_ptr<ShareFolder> folder;
};

} // namespace dexlan::testing
