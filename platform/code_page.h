// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace dexlan {

namespace code_page_tables {
struct Table;
}

// One of the single-byte code pages of Windows (874, 1250 to 1258) in which a
// trainer on a machine of that language writes its files.
class CodePage {
  public:
    // Nothing for a number that is none of them.
    static std::optional<CodePage> byNumber(int number);
    static CodePage windows1252();

    int number() const;
    bool operator==(const CodePage& other) const { return m_table == other.m_table; }
    QString decode(QByteArrayView bytes) const;
    // Nothing when a character has no byte in this code page.
    std::optional<QByteArray> encode(QStringView text) const;

  private:
    explicit CodePage(const code_page_tables::Table* table) : m_table(table) {}
    const code_page_tables::Table* m_table;
};

// The trainer's files are single-byte text in its machine's code page (the
// one in use, SharedState::codePage). Bytes are kept as they are and
// converted only for the screen.
QString fromCodePage(const QByteArray& bytes, const CodePage& page);

// The text in the code page, or nothing when a character has no single-byte form.
std::optional<QByteArray> toCodePage(const QString& text, const CodePage& page);

// Whether text holds a control character (0x00 to 0x1F, or DEL). The trainer
// ends a line of its files at CR, and no file or folder name should hold one:
// a NUL would even cut the path short, and Qt refuses it with a stale error.
bool holdsControlCharacter(QStringView text);

} // namespace dexlan
