// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/LayerFeeds.h"

#include "map/MapScript.h"
#include "platform/Error.h"
#include "platform/XmlGuard.h"
#include "core/Ov2Units.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

#include <functional>

namespace LayerFeeds {

namespace {

QString notXml(const QString &why)
{
    return QCoreApplication::translate("LayerFeeds", "The answer is not XML: %1").arg(why);
}

// Calls `marker` with the attributes of each "marker" child of the root element,
// when the root is named `root`. The answer is read as a stream, twice: a broken
// answer sends nothing, and no document model of it is built. Throws KorvixError
// when the answer is refused or not XML.
void forEachMarker(const QByteArray &xml, const char *root,
                   const std::function<void(const QXmlStreamAttributes &)> &marker)
{
    if (const QString why = xmlRefusal(xml); !why.isEmpty())
        throw KorvixError(notXml(why));
    {
        QXmlStreamReader check(xml);
        check.setNamespaceProcessing(false);
        while (!check.atEnd())
            check.readNext();
        if (check.hasError())
            throw KorvixError(QCoreApplication::translate("LayerFeeds", "The answer is not XML: %1 (line %2, column %3)")
                                  .arg(check.errorString())
                                  .arg(check.lineNumber())
                                  .arg(check.columnNumber()));
    }
    QXmlStreamReader r(xml);
    r.setNamespaceProcessing(false);
    if (!r.readNextStartElement() || r.qualifiedName() != QLatin1String(root))
        return;
    while (r.readNextStartElement()) {
        if (r.qualifiedName() == u"marker")
            marker(r.attributes());
        r.skipCurrentElement();
    }
}

QString value(const QXmlStreamAttributes &a, const char *name)
{
    return a.value(QLatin1String(name)).toString();
}

// A marker is shown only with every attribute its texts and icon are made of: one
// without would be a pin with an empty text or a broken icon.
bool hasAll(const QXmlStreamAttributes &a, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        if (!a.hasAttribute(QLatin1String(name)))
            return false;
    return true;
}

// Sends the marker and widens `box`; false when its position is not plain decimals.
bool place(const QString &lat, const QString &lng, const QString &icon, const QString &text,
           MapScript::BoundingRect &box, IMapCalls &out)
{
    if (!MapScript::isPlainDecimal(lat) || !MapScript::isPlainDecimal(lng))
        return false;
    const auto la = toOv2UnitsValue(lat), lo = toOv2UnitsValue(lng);
    if (!la || !lo)
        return false;
    out.send(MapScript::icon(icon));
    out.send(MapScript::poi(lat, lng, text));
    box.extend(*la, *lo);
    return true;
}

void finish(const MapScript::BoundingRect &box, IMapCalls &out)
{
    out.send(MapScript::refresh());
    if (!box.isEmpty())
        out.send(MapScript::bounds(box));
}

} // namespace

int sendKrakow(const QByteArray &answer, const QString &host, IMapCalls &out)
{
    int skipped = 0;
    // The feed starts with a UTF-8 byte-order mark the parser is not to see.
    const QByteArray xml = answer.startsWith("\xEF\xBB\xBF") ? answer.mid(3) : answer;
    MapScript::BoundingRect box;
    forEachMarker(xml, "data", [&](const QXmlStreamAttributes &m) {
        if (!hasAll(m, {"lat", "long", "iconfile", "limit", "date", "desc"})) {
            ++skipped;
            return;
        }
        const QString lat = value(m, "lat").trimmed();
        const QString lng = value(m, "long").trimmed();
        if (!MapScript::isPlainDecimal(lat) || !MapScript::isPlainDecimal(lng))
            return;
        const double la = lat.toDouble(), lo = lng.toDouble();
        if (!(lo > 19.522705 && lo < 20.398178 && la > 49.907903 && la < 50.204154))
            return;
        place(lat, lng, host + QLatin1String(krakowIcons) + value(m, "iconfile"),
              value(m, "limit") + u' ' + value(m, "date") + u' ' + value(m, "desc"), box, out);
    });
    finish(box, out);
    return skipped;
}

int sendZakopane(const QByteArray &answer, IMapCalls &out)
{
    int skipped = 0;
    MapScript::BoundingRect box;
    forEachMarker(answer, "dane", [&](const QXmlStreamAttributes &m) {
        if (!hasAll(m, {"lat", "lon", "ikona", "nazwa"})) {
            ++skipped;
            return;
        }
        place(value(m, "lat").trimmed(), value(m, "lon").trimmed(), value(m, "ikona"), value(m, "nazwa"), box, out);
    });
    finish(box, out);
    return skipped;
}

QString skippedText(int skipped)
{
    if (skipped <= 0)
        return QString();
    return QCoreApplication::translate("LayerFeeds", "Markers skipped for a missing attribute: %1").arg(skipped);
}

} // namespace LayerFeeds
