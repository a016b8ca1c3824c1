// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/CabWriter.h"

#include <cstring>

MszipBlockEncoder::MszipBlockEncoder(int level)
{
    deflateInit2(&m_z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
}

MszipBlockEncoder::~MszipBlockEncoder()
{
    deflateEnd(&m_z);
}

void MszipBlockEncoder::reset()
{
    deflateReset(&m_z);
}

void MszipBlockEncoder::start(const char *dictionary, int size)
{
    deflateReset(&m_z);
    if (size > 0)
        deflateSetDictionary(&m_z, reinterpret_cast<const Bytef *>(dictionary), uInt(size));
}

bool MszipBlockEncoder::encode(const char *data, int size, QByteArray &out)
{
    // Deflate's worst case for 32 KiB plus the flush marker and the closing block.
    out.resize(2 + int(deflateBound(&m_z, uLong(size))) + 16);
    out[0] = 'C';
    out[1] = 'K';
    m_z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    m_z.avail_in = uInt(size);
    m_z.next_out = reinterpret_cast<Bytef *>(out.data() + 2);
    m_z.avail_out = uInt(out.size() - 4);
    // A sync flush ends on a byte boundary with the whole block written out.
    if (deflate(&m_z, Z_SYNC_FLUSH) != Z_OK || m_z.avail_in != 0 || m_z.avail_out == 0)
        return false;
    qsizetype n = out.size() - 2 - qsizetype(m_z.avail_out);
    // An empty final block with fixed codes: the reader stops here and expects "CK".
    out[n++] = 0x03;
    out[n++] = 0x00;
    out.resize(n);
    return true;
}

quint32 cabChecksum(const char *data, int size, quint32 seed)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    quint32 sum = seed;
    int words = size / 4;
    for (; words > 0; --words, p += 4)
        sum ^= quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    quint32 tail = 0;
    switch (size & 3) {
    case 3: tail |= quint32(*p++) << 16; [[fallthrough]];
    case 2: tail |= quint32(*p++) << 8; [[fallthrough]];
    case 1: tail |= quint32(*p);
    }
    return sum ^ tail;
}
