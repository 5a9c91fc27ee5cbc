// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringView>

namespace dexlan {

// A name as it is checked and written, however it was typed, pasted or read
// from a class list: without blanks round it and in composed form, so that a
// letter keyboards and web forms give as two characters (e and a combining
// diaeresis) is the one character the trainer's code page holds.
QString cleanedName(QStringView given);

// The form in which two names are the same person: composed, every run of
// white space of any kind (no-break space, tab ...) one blank, none round it.
// Letter case still tells names apart, as it always has in the name box.
QString sameNameKey(QStringView name);

// The order of the user list: the language's own alphabet (the user's, unless
// told), letter case ignored; names equal so are then ordered by themselves.
// Each name's key is made once for a sort, never inside its comparisons.
class ListOrder {
  public:
    ListOrder();
    explicit ListOrder(const QLocale& locale);

    QCollatorSortKey sortKeyFor(const QString& name) const;
    // Whether a comes before b: the alphabet first, then the names themselves.
    bool before(const QString& a, const QString& b) const;
    // The same from keys already made.
    static int compare(const QCollatorSortKey& keyA, QStringView a, const QCollatorSortKey& keyB,
                       QStringView b);

  private:
    QCollator m_collator;
};

} // namespace dexlan
