// SPDX-License-Identifier: GPL-3.0-or-later
// Targeo route files on any text: at most the ten route points come back.
#include "exchange/TargeoImport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (Itn::ReadTargeoRoute(text).size() > 10)
        std::abort();
    return 0;
}
