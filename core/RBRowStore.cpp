// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBRowStore.h"

#include "platform/LargePages.h"

#include <algorithm>

namespace {
// Chunks grow fourfold from 128 KB to 32 MB: a short list stays small, a million rows
// take a handful of chunks backed by huge pages. 32 MB is past the size up to which
// the C library keeps freed blocks for reuse, so a large chunk is always a fresh
// mapping that the advice applies to and that goes back to the system when freed.
// Pages a chunk never reaches cost nothing.
constexpr qsizetype kFirstChunkChars = 64 * 1024;
constexpr qsizetype kLargestChunkChars = 16 * 1024 * 1024;
} // namespace

TRBRowStore &TRBRowStore::operator=(const TRBRowStore &other)
{
    if (this != &other)
        Release();
    return *this;
}

void TRBRowStore::Release()
{
    m_chunk = QString::DataPointer();
    m_nextChunkChars = 0;
}

void TRBRowStore::newChunk(qsizetype least)
{
    m_nextChunkChars = std::clamp(m_nextChunkChars, kFirstChunkChars, kLargestChunkChars);
    const qsizetype chars = std::max(m_nextChunkChars, least);
    m_nextChunkChars *= 4;
    m_chunk = QString::DataPointer(QTypedArrayData<char16_t>::allocate(chars));
    adviseLargePages(m_chunk.data(), size_t(chars) * sizeof(char16_t));
}

template <typename Fields>
TRBParams TRBRowStore::pack(const Fields &fields)
{
    const int count = int(fields.size());
    qsizetype text = 0;
    for (const auto &f : fields)
        text += f.size();
    // Ends, texts and a terminating zero, as every QString buffer has one. Short rows
    // (nearly all) store each end in one QChar.
    const bool narrow = text <= 0xFFFF;
    const qsizetype base = (narrow ? 1 : 2) * qsizetype(count);
    const qsizetype need = base + text;
    if (!m_chunk.d_ptr() || m_chunk.freeSpaceAtEnd() < need + 1)
        newChunk(need + 1);
    char16_t *start = m_chunk.data() + m_chunk.size;
    QChar *d = reinterpret_cast<QChar *>(start);
    TRBParams row;
    quint32 end = 0;
    int i = 0;
    for (const auto &f : fields) {
        std::copy(f.begin(), f.end(), d + base + end);
        end += quint32(f.size());
        if (narrow)
            d[i++] = QChar(char16_t(end));
        else
            row.setEnd(d, i++, end);
    }
    start[need] = 0;
    m_chunk.d_ptr()->ref();
    row.m_d = QString(QString::DataPointer(m_chunk.d_ptr(), start, need));
    row.m_count = count;
    row.m_narrow = narrow;
    m_chunk.size += need + 1;
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
    if (!row.m_narrow && row.m_d.isDetached() && old.size() == value.size()) {
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
