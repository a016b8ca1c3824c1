// SPDX-License-Identifier: GPL-3.0-or-later
// The voice container reader on any bytes: a header is taken only when it describes
// the file, a phrase only when its data lie inside its own record, and the phrases
// taken, packed again, read back the same.
#include "media/VoiceChk.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    const std::vector<quint32> header = VoiceChk::GetCHKHeader(in);
    if (header.empty())
        return 0;
    const quint32 n = header[0];
    if (n >= 200 || header.size() != n + 2 || header[1] != (n + 2) * 4 || header[n + 1] != size)
        std::abort();
    std::vector<QByteArray> taken;
    for (int k = 0; k <= int(n) + 1; ++k) {
        QByteArray ogg;
        if (!VoiceChk::GetOgg(in, header, k, ogg))
            continue;
        if (k < 1 || k > int(n))
            std::abort();
        const quint32 start = header[size_t(k)], end = header[size_t(k) + 1];
        if (start >= end || quint64(ogg.size()) + 16 > end - start || start + 16 + quint64(ogg.size()) > size)
            std::abort();
        if (bytes.mid(start + 16, ogg.size()) != ogg)
            std::abort();
        taken.push_back(ogg);
    }
    const QByteArray packed = VoiceChk::BuildChk(taken);
    QBuffer again;
    again.setData(packed);
    again.open(QIODevice::ReadOnly);
    const std::vector<quint32> packedHeader = VoiceChk::GetCHKHeader(again);
    if (packedHeader.size() != taken.size() + 2)
        std::abort();
    for (int k = 1; k <= int(taken.size()); ++k) {
        QByteArray ogg;
        if (!VoiceChk::GetOgg(again, packedHeader, k, ogg) || ogg != taken[size_t(k - 1)])
            std::abort();
    }
    return 0;
}
