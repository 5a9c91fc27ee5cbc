// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstring>
#include <utility>

namespace dexlan {

// Reads lines the way the trainer writes them: a line ends at CR, and an LF
// right after it is skipped; a lone LF is part of the value. Bytes come
// through read(buffer, size), which answers how many it read, 0 at the end,
// or -1 on an error. The options file and the first line of a history file
// are both read with it.
template <typename Read, qsizetype kBufferSize> class CrLineReader {
  public:
    explicit CrLineReader(Read read) : m_read(std::move(read)) {}

    enum Result { Line, Overlong, End, ReadError };

    // Reads the next line of at most limit bytes. A longer line is not read
    // on: its remainder may be endless.
    Result next(QByteArray& line, qsizetype limit) {
        line.clear();
        bool any = false;
        for (;;) {
            if (m_pos == m_size) {
                const Result filled = fill();
                if (filled == ReadError)
                    return ReadError;
                if (filled == End)
                    break;
            }
            if (m_skipLf) {
                m_skipLf = false;
                if (m_buffer[m_pos] == '\n') {
                    ++m_pos;
                    continue;
                }
            }
            any = true;
            const char* start = m_buffer + m_pos;
            const char* cr =
                static_cast<const char*>(std::memchr(start, '\r', size_t(m_size - m_pos)));
            const qsizetype length = cr ? cr - start : m_size - m_pos;
            if (length > limit - line.size())
                return Overlong;
            line.append(start, length);
            m_pos += length;
            if (cr) {
                ++m_pos;
                m_skipLf = true;
                return Line;
            }
        }
        return any ? Line : End;
    }

    // Reads what is left, for a reader that must see every byte.
    void readToEnd() {
        m_pos = m_size;
        while (fill() == Line)
            m_pos = m_size;
    }

  private:
    Result fill() {
        const qint64 n = m_read(m_buffer, qint64(kBufferSize));
        m_pos = 0;
        m_size = n > 0 ? qsizetype(n) : 0;
        if (n < 0)
            return ReadError;
        return n > 0 ? Line : End;
    }

    Read m_read;
    char m_buffer[kBufferSize];
    qsizetype m_pos = 0;
    qsizetype m_size = 0;
    bool m_skipLf = false;
};

} // namespace dexlan
