// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/name_rules.h"

namespace dexlan {

QString cleanedName(QStringView given) {
    return given.trimmed().toString().normalized(QString::NormalizationForm_C);
}

QString sameNameKey(QStringView name) {
    const QString composed = name.toString().normalized(QString::NormalizationForm_C);
    QString key;
    key.reserve(composed.size());
    bool blank = false;
    for (QChar c : composed) {
        if (c.isSpace()) {
            blank = !key.isEmpty();
            continue;
        }
        if (blank)
            key += QLatin1Char(' ');
        blank = false;
        key += c;
    }
    return key;
}

ListOrder::ListOrder() : ListOrder(QLocale()) {}

ListOrder::ListOrder(const QLocale& locale) : m_collator(locale) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

QCollatorSortKey ListOrder::sortKeyFor(const QString& name) const {
    // Made of the name without letter case: Qt's collator for the C locale (a
    // machine with no language set), and Windows' for any, make their keys of
    // the text as it is, whatever the case sensitivity asked.
    return m_collator.sortKey(name.toCaseFolded());
}

bool ListOrder::before(const QString& a, const QString& b) const {
    // Through the keys, so that one comparison never disagrees with a sort.
    return compare(sortKeyFor(a), a, sortKeyFor(b), b) < 0;
}

int ListOrder::compare(const QCollatorSortKey& keyA, QStringView a, const QCollatorSortKey& keyB,
                       QStringView b) {
    // Names equal but for letter case are ordered by themselves, never by
    // their keys: Windows' keys of two such names may differ past their end,
    // and so order them differently from one sort to the next.
    if (a.compare(b, Qt::CaseInsensitive) == 0)
        return a.compare(b);
    if (const int byAlphabet = keyA.compare(keyB))
        return byAlphabet;
    return a.compare(b);
}

} // namespace dexlan
