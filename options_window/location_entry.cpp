// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/location_entry.h"

#include "options_file/option_lines.h"
#include "platform/code_page.h"

namespace dexlan {

QString screenText(const QByteArray& entry, const CodePage& codePage) {
    return fromCodePage(entry, codePage);
}

QByteArray entryBytes(const QString& text, const CodePage& codePage) {
    if (std::optional<QByteArray> exact = toCodePage(text, codePage))
        return *exact;
    QByteArray lossy;
    lossy.reserve(text.size());
    for (QChar c : text) {
        const std::optional<QByteArray> one = toCodePage(QString(c), codePage);
        lossy += one ? *one : QByteArray("?");
    }
    return lossy;
}

QByteArray refreshedLocationEntry(const QString& boxText, const PathPolicy& policy) {
    if (boxText.isEmpty())
        return values::kHistHome;
    return entryBytes(policy.locationCase(boxText), policy.codePage);
}

QByteArray typedLocationEntry(const QString& boxText, const CodePage& codePage) {
    if (boxText.isEmpty())
        return values::kHistHome;
    return entryBytes(boxText, codePage);
}

} // namespace dexlan
