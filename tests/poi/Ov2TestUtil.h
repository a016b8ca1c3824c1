// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builders for OV2 records, so each test spells out the bytes it reads.
#include <QByteArray>

struct Ov2Bytes {
    QByteArray b;

    Ov2Bytes &u8(int v) { b.append(char(v)); return *this; }
    Ov2Bytes &le16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Ov2Bytes &le24(quint32 v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF).u8((v >> 16) & 0xFF); }
    Ov2Bytes &le32(qint64 v)
    {
        const quint32 u = quint32(v);
        return u8(u & 0xFF).u8((u >> 8) & 0xFF).u8((u >> 16) & 0xFF).u8(u >> 24);
    }
    Ov2Bytes &raw(const QByteArray &x) { b.append(x); return *this; }

    // Plain POI: type, len, lon, lat, text, zero.
    Ov2Bytes &poi(qint32 lon, qint32 lat, const QByteArray &text, int type = 2)
    {
        return u8(type).le32(text.size() + 14).le32(lon).le32(lat).raw(text).u8(0);
    }
    Ov2Bytes &skipper(qint64 len, qint32 e = 0, qint32 n = 0, qint32 w = 0, qint32 s = 0)
    {
        return u8(1).le32(len).le32(e).le32(n).le32(w).le32(s);
    }
    Ov2Bytes &deleted(int type, qint32 len)
    {
        u8(type).le32(len);
        for (int i = 5; i < len; ++i)
            u8(0xEE);
        return *this;
    }
    // Compact kinds with n bytes of payload after the 24-bit coordinates.
    Ov2Bytes &compact(int type, quint32 lon24, quint32 lat24, const QByteArray &payload)
    {
        return u8(type).u8(payload.size()).le24(lon24).le24(lat24).raw(payload);
    }
    operator QByteArray() const { return b; }
    qsizetype size() const { return b.size(); }
};

inline QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex));
}
