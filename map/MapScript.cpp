// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapScript.h"

#include "core/RBParams.h"
#include "core/Ov2Units.h"

namespace MapScript {

void appendJsonString(QString &out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    out.reserve(out.size() + text.size() + 2);
    out.append(u'"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'"': out.append(u"\\\""); break;
        case u'\\': out.append(u"\\\\"); break;
        case 0x08: out.append(u"\\b"); break;
        case 0x09: out.append(u"\\t"); break;
        case 0x0A: out.append(u"\\n"); break;
        case 0x0C: out.append(u"\\f"); break;
        case 0x0D: out.append(u"\\r"); break;
        default:
            if (u < 0x20) {
                out.append(u"\\u00");
                out.append(QLatin1Char(hex[u >> 4]));
                out.append(QLatin1Char(hex[u & 15]));
            } else {
                out.append(c);
            }
        }
    }
    out.append(u'"');
}

QString jsonString(QStringView text)
{
    QString out;
    appendJsonString(out, text);
    return out;
}

bool isPlainDecimal(QStringView text)
{
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    int digits = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i, ++digits;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i, ++digits;
    }
    return digits > 0 && i == text.size();
}

void BoundingRect::extend(qint64 latitude, qint64 longitude)
{
    if (isEmpty()) {
        left = right = latitude;
        top = bottom = longitude;
        return;
    }
    left = std::min(left, latitude);
    right = std::max(right, latitude);
    top = std::max(top, longitude);
    bottom = std::min(bottom, longitude);
}

namespace {

QString pointCall(QLatin1StringView function, QStringView lat, QStringView lng, QStringView name,
                  QLatin1StringView tail)
{
    QString out;
    out.reserve(function.size() + lat.size() + lng.size() + name.size() + 16);
    out.append(function).append(u'(').append(lat).append(u',').append(lng).append(u',');
    appendJsonString(out, name);
    out.append(tail);
    return out;
}

TRBParams commaFields(const QString &text)
{
    TRBParams f;
    f.ParseFields(text, 0, TRBCharSet{','}, RBConventions::doubleQuote(), RBConventions::blankSet());
    return f;
}

// 8 decimals, exact on the units (5 decimals) rather than through a double.
QString degrees8(qint64 units)
{
    return formatOv2Degrees(units) + QLatin1String("000");
}

} // namespace

QString icon(QStringView file)
{
    QString out = QStringLiteral("WB_Icon(");
    appendJsonString(out, file);
    return out + QLatin1String(");");
}

QString poi(QStringView lat, QStringView lng, QStringView name)
{
    return pointCall(QLatin1StringView("WB_POI"), lat, lng, name, QLatin1StringView(",false);"));
}

QString waypoint(QStringView lat, QStringView lng, QStringView name)
{
    return pointCall(QLatin1StringView("WB_WP"), lat, lng, name, QLatin1StringView(");"));
}

QString poiBlock(const std::vector<qint32> &coords, QStringView names, const std::vector<qint32> &ends)
{
    auto base64 = [](const std::vector<qint32> &v) {
        return QByteArray::fromRawData(reinterpret_cast<const char *>(v.data()), qsizetype(v.size() * sizeof(qint32)))
            .toBase64();
    };
    const QByteArray c = base64(coords), e = base64(ends);
    QString out;
    out.reserve(c.size() + e.size() + names.size() * 11 / 10 + 32);
    out.append(QLatin1String("WB_POIBlock(\"")).append(QLatin1String(c)).append(QLatin1String("\","));
    appendJsonString(out, names);
    out.append(QLatin1String(",\"")).append(QLatin1String(e)).append(QLatin1String("\");"));
    return out;
}

QString refresh()
{
    return QStringLiteral("WB_POIRefresh();");
}

QString bounds(const BoundingRect &r)
{
    return QStringLiteral("WB_Bounds(%1,%2,%3,%4);")
        .arg(degrees8(r.left), degrees8(r.top), degrees8(r.right), degrees8(r.bottom));
}

std::optional<QString> home(const QString &setting)
{
    if (setting.isEmpty())
        return std::nullopt;
    const TRBParams f = commaFields(setting);
    if (f.Count() < 2 || !isPlainDecimal(f.FieldView(0)) || !isPlainDecimal(f.FieldView(1)))
        return std::nullopt;
    return pointCall(QLatin1StringView("WB_Home"), f.FieldView(0), f.FieldView(1), f.FieldView(2),
                     QLatin1StringView(");"));
}

std::optional<QString> initialView(const QString &setting)
{
    const TRBParams f = commaFields(setting);
    if (f.Count() != 4)
        return std::nullopt;
    for (int i = 0; i < 4; ++i)
        if (!isPlainDecimal(f.FieldView(i)))
            return std::nullopt;
    return QStringLiteral("WB_Bounds(%1,%2,%3,%4);").arg(f.GetField(0), f.GetField(1), f.GetField(2), f.GetField(3));
}

std::optional<PagePoint> parsePoint(const QString &text)
{
    const TRBParams f = commaFields(text);
    if (f.Count() < 2 || !isPlainDecimal(f.FieldView(0)) || !isPlainDecimal(f.FieldView(1)))
        return std::nullopt;
    return PagePoint{f.GetField(0), f.GetField(1), f.GetField(2)};
}

std::optional<std::vector<PagePoint>> parseRoute(const QString &text)
{
    TRBParams f;
    f.ParseFields(text, 0, TRBCharSet{'|'}, RBConventions::doubleQuote(), RBConventions::blankSet());
    const auto count = parseOv2Integer(f.FieldView(0));
    if (!count || qint64(*count) + 1 != f.Count())
        return std::nullopt;
    std::vector<PagePoint> points;
    points.reserve(size_t(*count));
    for (int i = 1; i < f.Count(); ++i) {
        const QStringView field = f.FieldView(i);
        const qsizetype c1 = field.indexOf(u',');
        const qsizetype c2 = c1 < 0 ? -1 : field.indexOf(u',', c1 + 1);
        const QStringView lat = (c1 < 0 ? field : field.left(c1)).trimmed();
        const QStringView lng = c1 < 0 ? QStringView() : (c2 < 0 ? field.mid(c1 + 1) : field.mid(c1 + 1, c2 - c1 - 1)).trimmed();
        if (!isPlainDecimal(lat) || !isPlainDecimal(lng))
            continue;
        const QStringView address = c2 < 0 ? QStringView() : field.mid(c2 + 1).trimmed();
        points.push_back({lat.toString(), lng.toString(), address.toString()});
    }
    return points;
}

} // namespace MapScript
