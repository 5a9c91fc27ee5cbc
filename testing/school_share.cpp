// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/school_share.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace dexlan::testing {

SchoolShare schoolShare(const QString& state) {
    SchoolShare share;
    if (state.isEmpty()) {
        share.whyNot = QStringLiteral("The school's share is not up: ctest starts it with "
                                      "tools/school-share for these tests.");
        return share;
    }
    QFile skipped(state + QStringLiteral("/skipped"));
    if (skipped.open(QIODevice::ReadOnly)) {
        share.whyNot = QString::fromUtf8(skipped.readAll()).trimmed();
        return share;
    }
    QFile clients(state + QStringLiteral("/clients"));
    if (!clients.open(QIODevice::ReadOnly)) {
        share.whyNot = QStringLiteral("The school's share is not up: ctest starts it, or run "
                                      "tools/school-share start ") +
                       state + QLatin1Char('.');
        return share;
    }
    for (const QByteArray& line : clients.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 2)
            continue;
        const QString folder = QFile::decodeName(fields[1]) + QLatin1Char('/');
        if (fields[0] == "teacher-a")
            share.teacherA = folder;
        else if (fields[0] == "teacher-b")
            share.teacherB = folder;
    }
    share.served = state + QStringLiteral("/served/");
    if (share.teacherA.isEmpty() || share.teacherB.isEmpty())
        share.whyNot = QStringLiteral("The school's share lists fewer than two teachers' mounts.");
    return share;
}

ShareFolder::ShareFolder(const SchoolShare& share) {
    const QString name = QStringLiteral("t-") + QUuid::createUuid().toString(QUuid::Id128);
    // Made on the server's disk: the test begins with a folder both mounts see.
    EXPECT_TRUE(QDir().mkdir(share.served + name)) << name.toStdString();
    m_a = share.teacherA + name + QLatin1Char('/');
    m_b = share.teacherB + name + QLatin1Char('/');
    m_served = share.served + name + QLatin1Char('/');
    EXPECT_TRUE(QFileInfo(m_a).isDir()) << m_a.toStdString();
}

ShareFolder::~ShareFolder() {
    QDir(m_served).removeRecursively();
}

QStringList ShareFolder::names() const {
    QStringList names = QDir(m_served).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                 QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace dexlan::testing
