// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include <memory>

namespace dexlan {

// Qt's own texts (the file dialog, the standard buttons) in the user's
// language, from the translations installed with Qt; null when Qt has none for
// that language.
std::unique_ptr<QTranslator> qtTranslationsFor(const QLocale& locale);

// The program's own texts in the user's language, from
// "dexlan-options_<language>.qm" in the first folder that has one; null when
// none has. Without one the program speaks English.
std::unique_ptr<QTranslator> programTranslationsFor(const QLocale& locale,
                                                    const QStringList& folders);

// Where the program looks for its translations: beside the program (as a
// Windows installation lays them out), then in the installation's
// share/dexlan-options/translations.
QStringList programTranslationFolders();

} // namespace dexlan
