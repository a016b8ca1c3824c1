// SPDX-License-Identifier: GPL-3.0-or-later
// DecodeLettersDigits on any payload: reads exactly its bytes, at most a few characters per bit.
#include "poi/Ov2Codings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray out;
    DecodeLettersDigits(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), out);
    if (out.size() > qsizetype(size) * 8 + 1)
        std::abort();
    return 0;
}
