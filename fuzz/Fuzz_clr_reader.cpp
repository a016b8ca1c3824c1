// SPDX-License-Identifier: GPL-3.0-or-later
// The colour scheme reader on any bytes: an error or colours, never both missing the
// point; a scheme read and written again reads back to the same 24-bit colours.
#include "media/ClrFile.h"
#include "platform/DeviceCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DeviceCodec codec;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Clr::ReadResult r = Clr::readText(bytes, codec);
    if (!r.ok()) {
        if (!r.error.contains(QLatin1String("is not a valid integer value")))
            std::abort();
        return 0;
    }
    const QByteArray written = Clr::writeText(Clr::rowsFor(r.colors));
    if (written.count("\r\n") != qsizetype(r.colors.size()))
        std::abort();
    const Clr::ReadResult again = Clr::readText(written, codec);
    if (!again.ok() || again.colors.size() != r.colors.size())
        std::abort();
    for (size_t i = 0; i < r.colors.size(); ++i)
        if (!(r.colors[i] & 0x80000000u) && again.colors[i] != (r.colors[i] & 0xFFFFFFu))
            std::abort();
    return 0;
}
