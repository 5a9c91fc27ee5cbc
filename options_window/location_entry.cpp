// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/location_entry.h"

#include "options_file/option_lines.h"
#include "platform/code_page.h"

namespace dexlan {

QString screenText(const QByteArray& entry) {
    return fromCodePage(entry);
}

QByteArray entryBytes(const QString& text) {
    if (std::optional<QByteArray> exact = toCodePage(text))
        return *exact;
    QByteArray lossy;
    lossy.reserve(text.size());
    for (QChar c : text) {
        const std::optional<QByteArray> one = toCodePage(QString(c));
        lossy += one ? *one : QByteArray("?");
    }
    return lossy;
}

QByteArray refreshedLocationEntry(const QString& boxText, const PathPolicy& policy) {
    if (boxText.isEmpty())
        return values::kHistHome;
    return entryBytes(policy.locationCase(boxText));
}

QByteArray typedLocationEntry(const QString& boxText) {
    if (boxText.isEmpty())
        return values::kHistHome;
    return entryBytes(boxText);
}

} // namespace dexlan
