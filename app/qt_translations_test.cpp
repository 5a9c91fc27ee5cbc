// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace dexlan {
namespace {

TEST(QtTranslations, QtsOwnButtonsFollowTheUsersLanguage) {
    const auto german = qtTranslationsFor(QLocale(QLocale::German, QLocale::Germany));
    if (!german)
        GTEST_SKIP() << "Qt's German translations are not in "
                     << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString()
                     << " (Debian's qt6-translations-l10n)";
    QCoreApplication::installTranslator(german.get());
    QMessageBox box;
    const QString cancel = box.addButton(QMessageBox::Cancel)->text();
    const QString yes = box.addButton(QMessageBox::Yes)->text();
    QCoreApplication::removeTranslator(german.get());
    EXPECT_EQ(cancel, "Abbrechen");
    EXPECT_EQ(yes, "&Ja");
}

TEST(QtTranslations, NoneForALanguageQtHasNoTranslationFor) {
    EXPECT_EQ(qtTranslationsFor(QLocale(QLocale::Zulu)), nullptr);
}

} // namespace
} // namespace dexlan
