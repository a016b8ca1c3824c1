// SPDX-License-Identifier: GPL-3.0-or-later
// Map links on any text: the point, the KML request and the fetched URL.
#include "exchange/MapLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString link = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)Itn::pointFromMapLink(link);
    if (Itn::isHttpLink(link)) {
        (void)Itn::kmlRequestUrl(link);
        (void)Itn::fetchUrl(link);
    }
    return 0;
}
