// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>

#include <algorithm>
#include <functional>
#include <vector>

// Output in 1 MB chunks handed to `flush`, so writing a million records never needs
// the whole file in memory. After a failed flush the rest is dropped and ok() is false.
class ChunkedOut {
public:
    explicit ChunkedOut(std::function<bool(const char *, qsizetype)> flush) : m_flush(std::move(flush)) {}
    // Room for up to n bytes; advance() then says how many were written.
    char *reserve(size_t n)
    {
        if (m_used + n > m_buf.size()) {
            flush();
            if (n > m_buf.size())
                m_buf.resize(std::max(n, kChunk)); // made on first use
        }
        return m_buf.data() + m_used;
    }
    void advance(const char *end) { m_used = size_t(end - m_buf.data()); }
    // Room for exactly n bytes, written by the caller.
    char *take(size_t n)
    {
        char *p = reserve(n);
        m_used += n;
        return p;
    }
    bool flush()
    {
        if (m_used && m_ok)
            m_ok = m_flush(m_buf.data(), qsizetype(m_used));
        m_used = 0;
        return m_ok;
    }
    // Bytes already in one piece go straight out, after what is buffered.
    bool put(const char *d, qsizetype n)
    {
        if (flush() && n > 0)
            m_ok = m_flush(d, n);
        return m_ok;
    }
    bool ok() const { return m_ok; }

    // The whole output in memory, for callers that want the bytes themselves.
    static QByteArray collect(const std::function<void(ChunkedOut &)> &fill)
    {
        QByteArray bytes;
        ChunkedOut out([&bytes](const char *d, qsizetype n) {
            bytes.append(d, n);
            return true;
        });
        fill(out);
        out.flush();
        return bytes;
    }

private:
    static constexpr size_t kChunk = size_t(1) << 20;
    std::function<bool(const char *, qsizetype)> m_flush;
    std::vector<char> m_buf;
    size_t m_used = 0;
    bool m_ok = true;
};
