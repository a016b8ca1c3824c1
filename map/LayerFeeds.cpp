#include "map/LayerFeeds.h"

#include "map/MapScript.h"
#include "platform/Error.h"
#include "poi/Ov2Units.h"

#include <QCoreApplication>
#include <QDomDocument>

namespace LayerFeeds {

namespace {

// The document stays with the caller: its nodes live only as long as it does.
QDomElement firstMarker(QDomDocument &doc, const QByteArray &xml, const char *root)
{
    QString message;
    int line = 0, column = 0;
    if (!doc.setContent(xml, &message, &line, &column))
        throw KorvixError(QCoreApplication::translate("LayerFeeds", "The answer is not XML: %1 (line %2, column %3)")
                              .arg(message)
                              .arg(line)
                              .arg(column));
    for (QDomNode n = doc.firstChild(); !n.isNull(); n = n.nextSibling())
        if (n.isElement() && n.nodeName() == QLatin1String(root))
            return n.firstChildElement(QStringLiteral("marker"));
    return QDomElement();
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

void sendKrakow(const QByteArray &answer, const QString &host, IMapCalls &out)
{
    // The feed starts with a UTF-8 byte-order mark the parser is not to see.
    const QByteArray xml = answer.startsWith("\xEF\xBB\xBF") ? answer.mid(3) : answer;
    MapScript::BoundingRect box;
    const QString marker = QStringLiteral("marker");
    QDomDocument doc;
    for (QDomElement m = firstMarker(doc, xml, "data"); !m.isNull(); m = m.nextSiblingElement(marker)) {
        const QString lat = m.attribute(QStringLiteral("lat")).trimmed();
        const QString lng = m.attribute(QStringLiteral("long")).trimmed();
        if (!MapScript::isPlainDecimal(lat) || !MapScript::isPlainDecimal(lng))
            continue;
        const double la = lat.toDouble(), lo = lng.toDouble();
        if (!(lo > 19.522705 && lo < 20.398178 && la > 49.907903 && la < 50.204154))
            continue;
        place(lat, lng, host + QLatin1String(krakowIcons) + m.attribute(QStringLiteral("iconfile")),
              m.attribute(QStringLiteral("limit")) + u' ' + m.attribute(QStringLiteral("date")) + u' '
                  + m.attribute(QStringLiteral("desc")),
              box, out);
    }
    finish(box, out);
}

void sendZakopane(const QByteArray &answer, IMapCalls &out)
{
    MapScript::BoundingRect box;
    const QString marker = QStringLiteral("marker");
    QDomDocument doc;
    for (QDomElement m = firstMarker(doc, answer, "dane"); !m.isNull(); m = m.nextSiblingElement(marker))
        place(m.attribute(QStringLiteral("lat")).trimmed(), m.attribute(QStringLiteral("lon")).trimmed(),
              m.attribute(QStringLiteral("ikona")), m.attribute(QStringLiteral("nazwa")), box, out);
    finish(box, out);
}

} // namespace LayerFeeds
