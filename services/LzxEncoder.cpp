// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/LzxEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <queue>

namespace {
constexpr int MinMatch = 3, MaxMatch = 257, Chars = 256, SecondaryLengths = 249, PretreeSymbols = 20;
constexpr int ChainTries = 16;

struct Tables {
    std::array<uint32_t, 52> base{};
    std::array<uint8_t, 52> extra{};
    Tables()
    {
        for (int i = 0, j = 0; i < 51; i += 2) {
            extra[size_t(i)] = uint8_t(j);
            extra[size_t(i) + 1] = uint8_t(j);
            if (i != 0 && j < 17)
                ++j;
        }
        for (uint32_t i = 0, j = 0; i < 52; ++i) {
            base[i] = j;
            j += 1u << extra[i];
        }
    }
    int slotOf(uint32_t formatted) const
    {
        return int(std::upper_bound(base.begin(), base.begin() + 51, formatted) - base.begin()) - 1;
    }
};
const Tables tables;

int slotsFor(int windowBits)
{
    static const int positionSlots[] = {30, 32, 34, 36, 38, 42, 50};
    return positionSlots[windowBits - 15];
}

// 16-bit words, little-endian, each filled from its most significant bit.
class BitWriter {
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}
    void put(uint32_t value, int bits)
    {
        if (bits == 0)
            return;
        m_acc = (m_acc << bits) | (value & ((1u << bits) - 1));
        m_bits += bits;
        while (m_bits >= 16) {
            const uint32_t word = uint32_t(m_acc >> (m_bits - 16)) & 0xffff;
            m_out.append(char(word & 0xff)).append(char(word >> 8));
            m_bits -= 16;
        }
    }
    void align()
    {
        if (m_bits > 0)
            put(0, 16 - m_bits);
    }
    // Before stored bytes the reader skips 1 to 16 bits: a whole word when aligned.
    void alignForStoredBytes()
    {
        put(0, m_bits > 0 ? 16 - m_bits : 16);
    }

private:
    QByteArray &m_out;
    uint64_t m_acc = 0;
    int m_bits = 0;
};

// Code lengths of at most `maxLen` bits, a complete code over at least two symbols
// (the reader refuses an incomplete one).
std::vector<uint8_t> huffmanLengths(std::vector<uint32_t> freq, int maxLen)
{
    const size_t n = freq.size();
    size_t used = size_t(std::count_if(freq.begin(), freq.end(), [](uint32_t f) { return f > 0; }));
    for (size_t i = 0; used < 2 && i < n; ++i)
        if (freq[i] == 0) {
            freq[i] = 1;
            ++used;
        }
    std::vector<uint8_t> lens(n, 0);
    for (;;) {
        struct Node {
            uint64_t weight;
            int index;
        };
        auto cmp = [](const Node &a, const Node &b) { return a.weight > b.weight; };
        std::priority_queue<Node, std::vector<Node>, decltype(cmp)> heap(cmp);
        std::vector<int> parent(2 * n, -1);
        int next = int(n);
        for (size_t i = 0; i < n; ++i)
            if (freq[i])
                heap.push({freq[i], int(i)});
        while (heap.size() > 1) {
            const Node a = heap.top();
            heap.pop();
            const Node b = heap.top();
            heap.pop();
            parent[size_t(a.index)] = next;
            parent[size_t(b.index)] = next;
            heap.push({a.weight + b.weight, next++});
        }
        int longest = 0;
        for (size_t i = 0; i < n; ++i) {
            int depth = 0;
            if (freq[i])
                for (int p = parent[i]; p >= 0; p = parent[size_t(p)])
                    ++depth;
            lens[i] = uint8_t(depth);
            longest = std::max(longest, depth);
        }
        if (longest <= maxLen)
            return lens;
        for (uint32_t &f : freq)
            if (f)
                f = std::max<uint32_t>(1, f >> 1);
    }
}

// Canonical codes: shorter first, equal lengths by symbol.
std::vector<uint32_t> canonicalCodes(const std::vector<uint8_t> &lens)
{
    uint32_t count[18] = {}, next[18] = {};
    for (uint8_t l : lens)
        ++count[l];
    count[0] = 0;
    uint32_t code = 0;
    for (int bits = 1; bits <= 17; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint32_t> codes(lens.size(), 0);
    for (size_t i = 0; i < lens.size(); ++i)
        if (lens[i])
            codes[i] = next[lens[i]]++;
    return codes;
}

// The lengths of elements [from, to) through a pre-tree, as changes from `previous`.
void writeLengths(BitWriter &bits, std::vector<uint8_t> &previous, const std::vector<uint8_t> &lens, size_t from, size_t to)
{
    struct Item {
        uint8_t symbol, extraBits;
        uint32_t extra;
    };
    std::vector<Item> items;
    for (size_t x = from; x < to;) {
        if (lens[x] == 0) {
            size_t run = 1;
            while (x + run < to && lens[x + run] == 0 && run < 51)
                ++run;
            if (run >= 20) {
                items.push_back({18, 5, uint32_t(run - 20)});
                x += run;
                continue;
            }
            if (run >= 4) {
                items.push_back({17, 4, uint32_t(run - 4)});
                x += run;
                continue;
            }
        }
        items.push_back({uint8_t((previous[x] + 17 - lens[x]) % 17), 0, 0});
        ++x;
    }
    std::vector<uint32_t> freq(PretreeSymbols, 0);
    for (const Item &i : items)
        ++freq[i.symbol];
    const std::vector<uint8_t> preLens = huffmanLengths(freq, 15);
    const std::vector<uint32_t> preCodes = canonicalCodes(preLens);
    for (uint8_t l : preLens)
        bits.put(l, 4);
    for (const Item &i : items) {
        bits.put(preCodes[i.symbol], preLens[i.symbol]);
        bits.put(i.extra, i.extraBits);
    }
    std::copy(lens.begin() + std::ptrdiff_t(from), lens.begin() + std::ptrdiff_t(to), previous.begin() + std::ptrdiff_t(from));
}
} // namespace

LzxEncoder::LzxEncoder(int windowBits)
    : m_windowBits(windowBits), m_hashBits(std::min(windowBits + 1, 22)), m_slots(slotsFor(windowBits))
    , m_window(int64_t(1) << windowBits)
{
    reset();
}

void LzxEncoder::reset()
{
    m_buf.clear();
    m_bufStart = m_pos = 0;
    m_head.assign(size_t(1) << m_hashBits, -1);
    m_prev.assign(size_t(m_window), -1);
    m_mainLens.assign(size_t(Chars + m_slots * 8), 0);
    m_lengthLens.assign(SecondaryLengths, 0);
    m_started = false;
    m_repeats = {1, 1, 1};
}

void LzxEncoder::findMatches(int64_t from, int64_t to, std::vector<Symbol> &symbols)
{
    const uint8_t *buf = m_buf.data() - m_bufStart; // indexed by absolute position
    const int64_t maxOffset = std::min<int64_t>(m_window - 3, int64_t(tables.base[size_t(m_slots)]) - 3);
    const uint64_t mask = uint64_t(m_window - 1);
    const int shift = 32 - m_hashBits;
    auto hashAt = [buf, shift](int64_t p) {
        return (uint32_t(buf[p]) << 16 | uint32_t(buf[p + 1]) << 8 | buf[p + 2]) * 2654435761u >> shift;
    };
    auto insert = [&](int64_t p) {
        const uint32_t h = hashAt(p);
        m_prev[uint64_t(p) & mask] = m_head[h];
        m_head[h] = int32_t(p);
    };
    for (int64_t p = from; p < to;) {
        int bestLen = 0;
        int64_t bestOffset = 0;
        if (p + MinMatch <= to) {
            const int limit = int(std::min<int64_t>(MaxMatch, to - p));
            int tries = ChainTries;
            for (int64_t c = m_head[hashAt(p)]; c >= 0 && p - c <= maxOffset && tries-- > 0;) {
                // Other three bytes with the same hash are no match at all.
                if (buf[c + bestLen] == buf[p + bestLen] && buf[c] == buf[p] && buf[c + 1] == buf[p + 1]
                    && buf[c + 2] == buf[p + 2]) {
                    int len = 0;
                    while (len < limit && buf[c + len] == buf[p + len])
                        ++len;
                    if (len > bestLen) {
                        bestLen = len;
                        bestOffset = p - c;
                        if (len == limit)
                            break;
                    }
                }
                const int64_t next = m_prev[uint64_t(c) & mask];
                if (next >= c)
                    break;
                c = next;
            }
        }
        if (bestLen >= MinMatch) {
            symbols.push_back({uint32_t(bestLen), uint32_t(bestOffset)});
            for (int64_t q = p; q < p + bestLen && q + MinMatch <= to; ++q)
                insert(q);
            p += bestLen;
        } else {
            symbols.push_back({0, buf[p]});
            if (p + MinMatch <= to)
                insert(p);
            ++p;
        }
    }
}

void LzxEncoder::encode(const char *data, int size, QByteArray &out)
{
    // Keep one window of history; move it down only now and then.
    if (int64_t(m_buf.size()) + size > 2 * m_window + 32768 && int64_t(m_buf.size()) > m_window) {
        const int64_t drop = int64_t(m_buf.size()) - m_window;
        m_buf.erase(m_buf.begin(), m_buf.begin() + std::ptrdiff_t(drop));
        m_bufStart += drop;
    }
    m_buf.insert(m_buf.end(), reinterpret_cast<const uint8_t *>(data), reinterpret_cast<const uint8_t *>(data) + size);
    std::vector<Symbol> symbols;
    symbols.reserve(size_t(size));
    findMatches(m_pos, m_pos + size, symbols);
    m_pos += size;

    std::vector<uint32_t> mainFreq(m_mainLens.size(), 0), lengthFreq(SecondaryLengths, 0);
    for (const Symbol &s : symbols) {
        if (s.length == 0) {
            ++mainFreq[s.value];
            continue;
        }
        const int slot = tables.slotOf(s.value + 2);
        const uint32_t header = std::min<uint32_t>(s.length - 2, 7);
        ++mainFreq[Chars + size_t(slot) * 8 + header];
        if (header == 7)
            ++lengthFreq[s.length - 9];
    }
    const std::vector<uint8_t> mainLens = huffmanLengths(mainFreq, 16);
    const std::vector<uint8_t> lengthLens = huffmanLengths(lengthFreq, 16);
    const std::vector<uint32_t> mainCodes = canonicalCodes(mainLens), lengthCodes = canonicalCodes(lengthLens);

    // The trees are sent as changes from the last ones, which a stored block leaves as they were.
    const std::vector<uint8_t> lastMainLens = m_mainLens, lastLengthLens = m_lengthLens;
    const bool first = !m_started;
    m_started = true;
    out.clear();
    out.reserve(size + size / 8 + 1024);
    BitWriter bits(out);
    if (first)
        bits.put(0, 1); // no call translation
    bits.put(1, 3); // verbatim block
    bits.put(uint32_t(size) >> 8, 16);
    bits.put(uint32_t(size) & 0xff, 8);
    writeLengths(bits, m_mainLens, mainLens, 0, Chars);
    writeLengths(bits, m_mainLens, mainLens, Chars, mainLens.size());
    writeLengths(bits, m_lengthLens, lengthLens, 0, SecondaryLengths);
    for (const Symbol &s : symbols) {
        if (s.length == 0) {
            bits.put(mainCodes[s.value], mainLens[s.value]);
            continue;
        }
        const uint32_t formatted = s.value + 2;
        const int slot = tables.slotOf(formatted);
        const uint32_t header = std::min<uint32_t>(s.length - 2, 7);
        const size_t main = Chars + size_t(slot) * 8 + header;
        bits.put(mainCodes[main], mainLens[main]);
        if (header == 7)
            bits.put(lengthCodes[s.length - 9], lengthLens[s.length - 9]);
        bits.put(formatted - tables.base[size_t(slot)], tables.extra[size_t(slot)]);
    }
    bits.align();

    // Data without matches comes out larger than it went in: then it is stored as it is.
    const int storedSize = 4 + 12 + size + (size & 1);
    if (out.size() <= storedSize) {
        // The reader keeps the last three offsets; a stored block sends them as they are.
        for (const Symbol &s : symbols)
            if (s.length != 0)
                m_repeats = {s.value, m_repeats[0], m_repeats[1]};
        return;
    }
    m_mainLens = lastMainLens;
    m_lengthLens = lastLengthLens;
    out.clear();
    BitWriter stored(out);
    if (first)
        stored.put(0, 1);
    stored.put(3, 3); // uncompressed block
    stored.put(uint32_t(size) >> 8, 16);
    stored.put(uint32_t(size) & 0xff, 8);
    stored.alignForStoredBytes();
    for (uint32_t r : m_repeats)
        for (int shift = 0; shift < 32; shift += 8)
            out.append(char(r >> shift & 0xff));
    out.append(data, size);
    if (size & 1)
        out.append('\0'); // the next block starts on a 16-bit word
}
