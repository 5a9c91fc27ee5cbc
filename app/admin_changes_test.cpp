// SPDX-License-Identifier: GPL-3.0-or-later
// What a change reports: every line of Dexlan4.ini it rewrites, those the
// program corrects by itself included.
#include "app/admin_test_fixture.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

using namespace admin_test;

// A single computer whose line 5 names a folder, and a file without line 12:
// loading corrects both, so a save rewrites them, and the report says so.
TEST(AdminChanges, LinesTheProgramCorrectsAreReportedWithTheAskedOnes) {
    struct Case {
        const char* what;
        QByteArray options;
        const char* setting;
        const char* text; // the report in text
        QByteArray saved; // Dexlan4.ini afterwards
    };
    const QByteArray single = "Options File\r\nCorvantis Dexlan Training System 4\r\n"
                              "single computer\r\nhist auto\r\n/srv/hist\r\n0\r\nown\r\n0\r\n0\r\n"
                              "f2 on\r\nsfx all\r\ndocuments off\r\n";
    QByteArray noLine12 = kOptions;
    noLine12.chop(QByteArray("documents off\r\n").size());
    const Case cases[] = {
        {"single computer", single, "sounds=none",
         "Line 5: \"/srv/hist\" -> \"hist home\" (corrected, as every save of the file does)\n"
         "Line 11: \"sfx all\" -> \"sfx none\"\n",
         QByteArray(single).replace("/srv/hist", "hist home").replace("sfx all", "sfx none")},
        {"no line 12", noLine12, "f2=off",
         "Line 10: \"f2 on\" -> \"f2 off\"\n"
         "Line 12: \"\" -> \"documents on\" (corrected, as every save of the file does)\n",
         QByteArray(noLine12).replace("f2 on", "f2 off") + "documents on\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Trainer trainer;
        trainer.folder.write("Dexlan4.ini", c.options);
        AdminRequest request;
        request.settings = {QString::fromLatin1(c.setting)};

        request.check = true;
        Ran ran = administer(trainer, request);
        EXPECT_EQ(ran.status, kAdminWouldChange) << ran.err.toStdString();
        EXPECT_EQ(ran.out, QString::fromLatin1(c.text).replace(": \"", " would change: \""));
        EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), c.options);

        request.check = false;
        request.format = ReportFormat::Json;
        ran = administer(trainer, request);
        EXPECT_EQ(ran.status, kAdminDone) << ran.err.toStdString();
        EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), c.saved);
        const QJsonArray changes = jsonOf(ran)["changes"].toArray();
        ASSERT_EQ(changes.size(), 1);
        const QJsonArray lines = changes[0].toObject()["lines"].toArray();
        ASSERT_EQ(lines.size(), 2);
        // The text's lines, rebuilt from the JSON: the same lines, the same flags.
        QString fromJson;
        for (const QJsonValue& line : lines) {
            const QJsonObject object = line.toObject();
            fromJson +=
                QStringLiteral("Line %1: \"%2\" -> \"%3\"%4\n")
                    .arg(object["line"].toInt())
                    .arg(object["old"].toString(), object["new"].toString(),
                         object["corrected"].toBool()
                             ? QStringLiteral(" (corrected, as every save of the file does)")
                             : QString());
        }
        EXPECT_EQ(fromJson, QString::fromLatin1(c.text));

        // Corrected once and for all: asked again, nothing changes.
        request.format = ReportFormat::Text;
        ran = administer(trainer, request);
        EXPECT_EQ(ran.status, kAdminDone);
        EXPECT_TRUE(ran.out.startsWith("Nothing changed")) << ran.out.toStdString();
    }
}

// A setting that is so already changes nothing, not even the lines loading
// would correct: the file stays the trainer's, byte for byte.
TEST(AdminChanges, NothingAskedChangesNothingToCorrect) {
    Trainer trainer;
    QByteArray noLine12 = kOptions;
    noLine12.chop(QByteArray("documents off\r\n").size());
    trainer.folder.write("Dexlan4.ini", noLine12);
    AdminRequest request;
    request.settings = {"sounds=all"};
    request.check = true;
    EXPECT_EQ(administer(trainer, request).status, kAdminDone);
    request.check = false;
    const Ran ran = administer(trainer, request);
    EXPECT_EQ(ran.status, kAdminDone);
    EXPECT_TRUE(ran.out.startsWith("Nothing changed"));
    EXPECT_EQ(trainer.folder.read("Dexlan4.ini"), noLine12);
}

} // namespace
} // namespace dexlan
