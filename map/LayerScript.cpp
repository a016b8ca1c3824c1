// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/LayerScript.h"

#include "map/MapScript.h"

namespace LayerScript {

QString polylineClear()
{
    return QStringLiteral("WB_Poliline_clr();");
}

QString polylineAdd(QStringView lat, QStringView lng)
{
    QString out;
    out.reserve(lat.size() + lng.size() + 20);
    out.append(QLatin1String("WB_Poliline_add(")).append(lat).append(u',').append(lng).append(QLatin1String(");"));
    return out;
}

QString polyline(QStringView colour, int width)
{
    QString out = QStringLiteral("WB_Poliline(");
    MapScript::appendJsonString(out, colour);
    return out + QStringLiteral(",%1);").arg(width);
}

QString raster(QStringView west, QStringView south, QStringView east, QStringView north,
               QStringView picture, QStringView infoHtml)
{
    QString out = QStringLiteral("WB_Raster(");
    out.append(west).append(u',').append(south).append(u',').append(east).append(u',').append(north).append(u',');
    MapScript::appendJsonString(out, picture);
    out.append(u',');
    MapScript::appendJsonString(out, infoHtml);
    return out + QLatin1String(");");
}

QString htmlEscaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&': out.append(QLatin1String("&amp;")); break;
        case u'<': out.append(QLatin1String("&lt;")); break;
        case u'>': out.append(QLatin1String("&gt;")); break;
        case u'"': out.append(QLatin1String("&quot;")); break;
        case u'\'': out.append(QLatin1String("&#39;")); break;
        default: out.append(c);
        }
    }
    return out;
}

QString degrees15(double value)
{
    // QString::number with 'g' follows %g and always writes "."; -0 reads as 0.
    if (value == 0)
        value = 0;
    return QString::number(value, 'g', 15);
}

} // namespace LayerScript
