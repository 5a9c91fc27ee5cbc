// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_translations.h"

#include <QLibraryInfo>

namespace dexlan {

std::unique_ptr<QTranslator> qtTranslationsFor(const QLocale& locale) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return translator;
}

} // namespace dexlan
