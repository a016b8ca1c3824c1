// SPDX-License-Identifier: GPL-3.0-or-later
// The ITN reader on any bytes: rows of the number column and at most four fields,
// and every row can be written out again.
#include "core/RBParams.h"
#include "itn/ItnFormat.h"
#include "platform/DeviceCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DeviceCodec codec;
    const auto rows = Itn::readRows(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), codec);
    for (const TRBParams &row : rows) {
        if (row.Count() > 5)
            std::abort();
        if (Itn::rowHasPoint(row) && !Itn::lineOf(row).endsWith(QLatin1String("|\r\n")))
            std::abort();
    }
    return 0;
}
