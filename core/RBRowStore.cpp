// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBRowStore.h"

#include "platform/LargePages.h"

#include <algorithm>
#include <utility>

namespace {
// Chunks grow fourfold from 128 KB to 32 MB: a short list stays small, a million rows
// take a handful of chunks backed by huge pages. 32 MB is past the size up to which
// the C library keeps freed blocks for reuse, so a large chunk is always a fresh
// mapping that the advice applies to and that goes back to the system when freed.
// Pages a chunk never reaches cost nothing.
constexpr qsizetype kFirstChunkChars = 64 * 1024;
constexpr qsizetype kLargestChunkChars = 16 * 1024 * 1024;
// A row's place in its chunk has 24 bits. A larger chunk holds one row, at 0.
static_assert(kLargestChunkChars <= (1 << 24));
} // namespace

TRBRowStore &TRBRowStore::operator=(const TRBRowStore &other)
{
    if (this != &other)
        Release();
    return *this;
}

TRBRowStore::TRBRowStore(TRBRowStore &&other) noexcept
    : m_chunk(std::exchange(other.m_chunk, nullptr)), m_used(std::exchange(other.m_used, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_nextChunkChars(std::exchange(other.m_nextChunkChars, 0))
{
}

TRBRowStore &TRBRowStore::operator=(TRBRowStore &&other) noexcept
{
    if (this != &other) {
        Release();
        m_chunk = std::exchange(other.m_chunk, nullptr);
        m_used = std::exchange(other.m_used, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_nextChunkChars = std::exchange(other.m_nextChunkChars, 0);
    }
    return *this;
}

void TRBRowStore::Release()
{
    TRBParams::Block::release(std::exchange(m_chunk, nullptr));
    m_used = m_capacity = 0;
}

void TRBRowStore::newChunk(qsizetype least)
{
    TRBParams::Block::release(m_chunk);
    m_nextChunkChars = std::clamp(m_nextChunkChars, kFirstChunkChars, kLargestChunkChars);
    const qsizetype chars = std::max(m_nextChunkChars, least);
    m_nextChunkChars *= 4;
    m_chunk = TRBParams::Block::create(chars);
    m_used = 0;
    m_capacity = chars;
    adviseLargePages(m_chunk->units(), size_t(chars) * sizeof(QChar));
}

template <typename Fields>
TRBParams TRBRowStore::pack(const Fields &fields)
{
    const int count = int(fields.size());
    TRBParams row;
    if (count == 0)
        return row;
    qsizetype text = 0;
    for (const auto &f : fields)
        text += f.size();
    // Ends, then texts, the ends as small as the text's length allows: a POI's row
    // (nearly every row) takes a byte an end.
    const TRBParams::Form form = text <= 0xFF ? TRBParams::Bytes
                                 : text <= 0xFFFF ? TRBParams::Narrow : TRBParams::Wide;
    const qsizetype base = TRBParams::headerSize(form, count);
    const qsizetype need = base + text;
    if (!m_chunk || m_capacity - m_used < need)
        newChunk(need);
    QChar *d = m_chunk->units() + m_used;
    quint32 end = 0;
    int i = 0;
    for (const auto &f : fields) {
        std::copy(f.begin(), f.end(), d + base + end);
        end += quint32(f.size());
        if (form == TRBParams::Bytes) {
            const char16_t low = (i & 1) ? char16_t(d[i / 2].unicode() & 0xFF) : char16_t(0);
            d[i / 2] = QChar(char16_t(low | (end << (8 * (i & 1)))));
        } else if (form == TRBParams::Narrow) {
            d[i] = QChar(char16_t(end));
        } else {
            TRBParams::setEnd(d, i, end);
        }
        ++i;
    }
    m_chunk->refs.ref();
    row.m_block = m_chunk;
    row.m_offset = quint32(m_used);
    row.m_count = quint32(count);
    row.m_form = form;
    m_used += need;
    return row;
}

TRBParams TRBRowStore::Pack(std::initializer_list<QStringView> fields)
{
    return pack(fields);
}

TRBParams TRBRowStore::Pack(std::initializer_list<QString> fields)
{
    return pack(fields);
}

TRBParams TRBRowStore::Pack(const QStringList &fields)
{
    return pack(fields);
}

void TRBRowStore::SetField(TRBParams &row, int index, QStringView value)
{
    if (index < 0 || index >= row.Count()) {
        row.SetField(index, value);
        return;
    }
    const QStringView old = row.FieldView(index);
    if (old == value)
        return;
    if (row.m_form == TRBParams::Wide && row.ownsBlock() && old.size() == value.size()) {
        row.SetField(index, value);
        return;
    }
    QVarLengthArray<QStringView, 16> fields;
    for (int i = 0; i < row.Count(); ++i)
        fields.append(i == index ? value : row.FieldView(i));
    const QChar separator = row.NameValueSeparator();
    row = pack(fields);
    row.SetNameValueSeparator(separator);
}
