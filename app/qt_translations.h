// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>

namespace dexlan {

// Qt's own texts (the file dialog, the standard buttons) in the user's
// language, from the translations installed with Qt; null when Qt has none for
// that language. The program's own texts stay as they are.
std::unique_ptr<QTranslator> qtTranslationsFor(const QLocale& locale);

} // namespace dexlan
