// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes through the XML guard: the same answer however the bytes are cut into
// pieces, and whatever it lets through, the parser finds within the limits (no
// element beyond the attributes or the depth, no entity declared or referenced).
#include "platform/XmlGuard.h"

#include <QXmlStreamReader>

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString whole = xmlRefusal(bytes);

    // The first byte chooses the pieces.
    XmlScan pieces;
    const qsizetype step = size ? 1 + data[0] % 7 : 1;
    for (qsizetype at = 0; at < bytes.size() && pieces.feed(bytes.constData() + at, qMin(step, bytes.size() - at)); at += step) {
    }
    pieces.finish();
    if (pieces.reason() != whole)
        std::abort();
    if (!whole.isEmpty())
        return 0;

    QXmlStreamReader r(bytes);
    int depth = 0;
    std::vector<qsizetype> declared;
    qsizetype inScope = 0;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > XmlMaxDepth || r.attributes().size() > XmlMaxAttributes)
                std::abort();
            declared.push_back(r.namespaceDeclarations().size());
            inScope += declared.back();
            if (inScope > XmlMaxNamespaces)
                std::abort();
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            inScope -= declared.back();
            declared.pop_back();
            break;
        case QXmlStreamReader::EntityReference:
            std::abort();
        case QXmlStreamReader::DTD:
            if (!r.entityDeclarations().isEmpty())
                std::abort();
            break;
        default:
            break;
        }
    }
    return 0;
}
