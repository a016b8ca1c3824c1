// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the city feeds' answers: a message or calls that cannot run script,
// never a crash.
#include "fuzz/MapCallCheck.h"
#include "map/LayerFeeds.h"
#include "platform/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    MapCallCheck::Checked out;
    try {
        LayerFeeds::sendKrakow(bytes, QStringLiteral("http://h"), out);
    } catch (const KorvixError &) {
    }
    try {
        LayerFeeds::sendZakopane(bytes, out);
    } catch (const KorvixError &) {
    }
    return 0;
}
