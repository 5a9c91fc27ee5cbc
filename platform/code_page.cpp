// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/code_page.h"

#include "platform/code_page_tables.h"

#include <algorithm>
#include <iterator>

namespace dexlan {

QString fromCodePage(const QByteArray& bytes, const CodePage& page) {
    return page.decode(bytes);
}

std::optional<QByteArray> toCodePage(const QString& text, const CodePage& page) {
    return page.encode(text);
}

std::optional<CodePage> CodePage::byNumber(int number) {
    for (const code_page_tables::Table& table : code_page_tables::kTables) {
        if (table.number == number)
            return CodePage(&table);
    }
    return std::nullopt;
}

CodePage CodePage::windows1252() {
    static const CodePage page = *byNumber(1252);
    return page;
}

int CodePage::number() const {
    return m_table->number;
}

QString CodePage::decode(QByteArrayView bytes) const {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(value < 0x80 ? char16_t(value) : m_table->high[value - 0x80]);
    }
    return text;
}

std::optional<QByteArray> CodePage::encode(QStringView text) const {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x80) {
            *out++ = char(unit);
            continue;
        }
        const auto* found = std::find(std::begin(m_table->high), std::end(m_table->high), unit);
        if (found == std::end(m_table->high))
            return std::nullopt;
        *out++ = char(0x80 + (found - std::begin(m_table->high)));
    }
    return bytes;
}

bool holdsControlCharacter(QStringView text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

} // namespace dexlan
