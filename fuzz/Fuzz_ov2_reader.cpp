// SPDX-License-Identifier: GPL-3.0-or-later
// The OV2 reader on any bytes: both passes and the check walk, no read outside them.
#include "poi/Ov2Reader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Ov2Data d;
    // A raw view: the sanitizer sees the exact end of the input.
    d.bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString error = size ? readOv2Range(d, 0, qint64(size), nullptr) : QString();
    for (const Ov2Poi &p : d.pois) {
        const QByteArray &src = (p.flags & Ov2Poi::TextInArena) ? d.arena : d.bytes;
        if (qint64(p.textPos) + p.textLen > src.size())
            std::abort();
        // Touch every byte of the text so the sanitizer checks it.
        unsigned sum = 0;
        for (char c : d.text(p))
            sum += static_cast<unsigned char>(c);
        if (sum > 255u * p.textLen)
            std::abort();
    }
    const Ov2CheckStats st = checkOv2(d);
    // The counting pass, the reading pass and the check walk agree.
    if (st.error.isEmpty() != error.isEmpty())
        std::abort();
    if (error.isEmpty() && st.pois != qint64(d.pois.size()))
        std::abort();
    return 0;
}
