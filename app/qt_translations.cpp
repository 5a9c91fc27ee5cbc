// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace dexlan {

std::unique_ptr<QTranslator> qtTranslationsFor(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return translator;
}

std::unique_ptr<QTranslator> programTranslationsFor(const QLocale& locale,
                                                    const QStringList& folders) {
    for (const QString& folder : folders) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(locale, QStringLiteral("dexlan-options"), QStringLiteral("_"), folder))
            return translator;
    }
    return nullptr;
}

QStringList programTranslationFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {program,
            QDir::cleanPath(program + QLatin1String("/../share/dexlan-options/translations"))};
}

} // namespace dexlan
