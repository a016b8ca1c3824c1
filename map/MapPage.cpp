// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapPage.h"

#include "core/Settings.h"
#include "map/TileSources.h"
#include "platform/AtomicFile.h"
#include "platform/Settings.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPainterPath>

namespace MapPage {

namespace {

QByteArray resource(const QString &name)
{
    QFile f(QStringLiteral(":/map/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray png(const QImage &img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// A pin of `colour` filling a w x h box, its tip at the bottom centre.
void pin(QPainter &p, QRectF box, const QColor &colour)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = box.width() / 2;
    QPainterPath path;
    path.addEllipse(QRectF(box.left(), box.top(), box.width(), box.width()));
    QPolygonF tip;
    tip << QPointF(box.left() + r * 0.25, box.top() + r * 1.4) << QPointF(box.right() - r * 0.25, box.top() + r * 1.4)
        << QPointF(box.center().x(), box.bottom());
    path.addPolygon(tip);
    path = path.simplified();
    p.setPen(QPen(QColor(0, 0, 64), 1));
    p.setBrush(colour);
    p.drawPath(path);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(box.center().x(), box.top() + r), r * 0.4, r * 0.4);
}

// The shadow: the pin's outline sheared to the right, half transparent.
QImage shadow(int w, int h, qreal pinWidth)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    QPolygonF s;
    s << QPointF(pinWidth / 2, h - 1) << QPointF(w - 2, h * 0.25) << QPointF(w - pinWidth * 0.6, h * 0.1)
      << QPointF(pinWidth * 0.3, h * 0.7);
    p.drawPolygon(s);
    return img;
}

QImage picture(const QString &name, int w, int h)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    if (name == QLatin1String("POI.png")) {
        pin(p, QRectF(6.5, 1.5, 14, 24), QColor(200, 30, 30));
    } else if (name == QLatin1String("Home.png")) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 64), 1));
        p.setBrush(QColor(0, 0, 128));
        QPolygonF house;
        house << QPointF(15, 2) << QPointF(28, 13) << QPointF(24, 13) << QPointF(24, 24) << QPointF(6, 24)
              << QPointF(6, 13) << QPointF(2, 13);
        p.drawPolygon(house);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(12.5, 16.5, 5, 7.5));
        p.setBrush(QColor(0, 0, 128));
        QPolygonF stem;
        stem << QPointF(13, 24) << QPointF(17, 24) << QPointF(15, 26);
        p.drawPolygon(stem);
    } else if (name == QLatin1String("POS.png")) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 128), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 9, 9);
        p.drawLine(QPointF(16, 2), QPointF(16, 30));
        p.drawLine(QPointF(2, 16), QPointF(30, 16));
    } else if (name.startsWith(QLatin1String("mm_20_")) && !name.contains(QLatin1String("shadow"))) {
        const QColor c = name.contains(QLatin1String("green")) ? QColor(20, 160, 40)
                         : name.contains(QLatin1String("red")) ? QColor(210, 30, 30)
                                                               : QColor(250, 250, 250);
        pin(p, QRectF(0.5, 0.5, 11, 19), c);
    }
    p.end();
    if (name == QLatin1String("HomeA.png") || name == QLatin1String("POIa.png"))
        return shadow(w, h, 30);
    if (name == QLatin1String("mm_20_shadow.png"))
        return shadow(w, h, 12);
    return img;
}

} // namespace

const std::vector<Picture> &pictures()
{
    static const std::vector<Picture> list = {
        {"Home.png", 32, 32}, {"HomeA.png", 59, 32}, {"POI.png", 32, 32}, {"POIa.png", 59, 32},
        {"POS.png", 32, 32}, {"mm_20_green.png", 12, 20}, {"mm_20_red.png", 12, 20},
        {"mm_20_white.png", 12, 20}, {"mm_20_shadow.png", 22, 20},
    };
    return list;
}

// Marked for the translation tools, translated when the page is written.
const char *const pageTextSources[] = {
    QT_TRANSLATE_NOOP("TGMaps", "Str00"), QT_TRANSLATE_NOOP("TGMaps", "AddPOI"),
    QT_TRANSLATE_NOOP("TGMaps", "AddToRoute"), QT_TRANSLATE_NOOP("TGMaps", "Center"),
    QT_TRANSLATE_NOOP("TGMaps", "SaveAsHome"), QT_TRANSLATE_NOOP("TGMaps", "SaveView"),
    QT_TRANSLATE_NOOP("TGMaps", "ShowRoute"), QT_TRANSLATE_NOOP("TGMaps", "RemoveRoute"),
    QT_TRANSLATE_NOOP("TGMaps", "Hide"), QT_TRANSLATE_NOOP("TGMaps", "Show"),
    QT_TRANSLATE_NOOP("TGMaps", "Panoramio"), QT_TRANSLATE_NOOP("TGMaps", "Wikipedia"),
    QT_TRANSLATE_NOOP("TGMaps", "Traffic "), QT_TRANSLATE_NOOP("TGMaps", "YouTube"),
    QT_TRANSLATE_NOOP("TGMaps", "SaveRoute"), QT_TRANSLATE_NOOP("TGMaps", "RemoveWP"),
    QT_TRANSLATE_NOOP("TGMaps", "SavePOI"), QT_TRANSLATE_NOOP("TGMaps", "RemovePOI"),
    QT_TRANSLATE_NOOP("TGMaps", "Nothing to show"), QT_TRANSLATE_NOOP("TGMaps", "ReverseRoute"),
    QT_TRANSLATE_NOOP("TGMaps", "Str20"), QT_TRANSLATE_NOOP("TGMaps", "END"),
    QT_TRANSLATE_NOOP("TGMaps", "START"),
    QT_TRANSLATE_NOOP("TGMaps", "Sorry, the Google Maps API is not compatible try to get UpToDate version of the application"),
    QT_TRANSLATE_NOOP("TGMaps", "No corresponding geographic location could be found for one of the specified addresses. This may be due to the fact that the address is relatively new, or it may be incorrect.\nError code: "),
    QT_TRANSLATE_NOOP("TGMaps", "A geocoding or directions request could not be successfully processed, yet the exact reason for the failure is not known.\n Error code: "),
    QT_TRANSLATE_NOOP("TGMaps", "The HTTP q parameter was either missing or had no value. For geocoder requests, this means that an empty address was specified as input. For directions requests, this means that no query was specified in the input.\n Error code: "),
    QT_TRANSLATE_NOOP("TGMaps", "The given key is either invalid or does not match the domain for which it was given. \n Error code: "),
    QT_TRANSLATE_NOOP("TGMaps", "A directions request could not be successfully parsed.\n Error code: "),
    QT_TRANSLATE_NOOP("TGMaps", "An unknown error occurred."), QT_TRANSLATE_NOOP("TGMaps", "Zoom"),
    QT_TRANSLATE_NOOP("TGMaps", "PanTo"), QT_TRANSLATE_NOOP("TGMaps", "WebCam"),
};

QJsonObject pageWords()
{
    static const char *const words[][2] = {
        {"normal", QT_TRANSLATE_NOOP("TGMaps", "Normal")}, {"satellite", QT_TRANSLATE_NOOP("TGMaps", "Satellite")},
        {"hybrid", QT_TRANSLATE_NOOP("TGMaps", "Hybrid")}, {"physical", QT_TRANSLATE_NOOP("TGMaps", "Physical")},
        {"terrain", QT_TRANSLATE_NOOP("TGMaps", "Terrain")}, {"info", QT_TRANSLATE_NOOP("TGMaps", "Info")},
        {"extra", QT_TRANSLATE_NOOP("TGMaps", "Extra")}, {"setMarkerHere", QT_TRANSLATE_NOOP("TGMaps", "SetMarkerHere")},
        {"tilesDown", QT_TRANSLATE_NOOP("TGMaps", "The map server %1 does not answer: no background")},
        {"searchDown", QT_TRANSLATE_NOOP("TGMaps", "The search service does not answer")},
    };
    QJsonObject out;
    for (const auto &w : words)
        out.insert(QLatin1String(w[0]), QCoreApplication::translate("TGMaps", w[1]));
    return out;
}

QStringList pageTexts()
{
    QStringList out;
    for (const char *text : pageTextSources)
        out << QCoreApplication::translate("TGMaps", text);
    return out;
}

Config readConfig(const KorvixSettings &s)
{
    using Prefs::MapService;
    const Prefs::Map map = Prefs::map(s);
    Config c;
    c.tiles.push_back({QStringLiteral("Map"), map.service(MapService::TileMap),
                       map.service(MapService::TileMapAttribution), QStringLiteral("map")});
    c.tiles.push_back({QStringLiteral("Terrain"), map.service(MapService::TileTerrain),
                       map.service(MapService::TileTerrainAttribution), QStringLiteral("terrain")});
    c.tiles.push_back({QStringLiteral("Satellite"), map.service(MapService::TileSatellite),
                       map.service(MapService::TileSatelliteAttribution), QStringLiteral("satellite")});
    // Place names and borders over the satellite pictures make the hybrid type.
    c.tiles.push_back({QStringLiteral("Labels"), map.service(MapService::TileLabels),
                       map.service(MapService::TileLabelsAttribution), QStringLiteral("labels")});
    c.services.driving = map.service(MapService::Driving);
    c.services.walking = map.service(MapService::Walking);
    c.services.avoidHighways = map.service(MapService::AvoidHighways);
    c.services.search = map.service(MapService::Search);
    c.services.reverse = map.service(MapService::Reverse);
    c.extras.wikipedia = map.service(MapService::Wikipedia);
    c.extras.panoramio = map.service(MapService::Panoramio);
    c.extras.traffic = map.service(MapService::Traffic);
    c.extras.youtube = map.service(MapService::YouTube);
    c.extras.webcam = map.service(MapService::WebCam);
    c.texts = pageTexts();
    c.archives = TileSources::archiveLayers(TileSources::archivePaths(s));
    return c;
}

namespace {
QString fromTemplate(const QString &name, const Config &config);
}

QString pageHtml(const Config &config)
{
    return fromTemplate(QStringLiteral("page.html"), config);
}

QString miniPageHtml(const Config &config)
{
    return fromTemplate(QStringLiteral("minimap.html"), config);
}

namespace {
QString fromTemplate(const QString &name, const Config &config)
{
    QJsonArray tiles;
    for (const TileSource &t : config.tiles)
        tiles.append(QJsonObject{{"name", t.name}, {"url", t.url}, {"attribution", t.attribution}, {"kind", t.kind},
                                 {"via", t.url.isEmpty() ? QString() : TileSources::webUrl(t.url)}});
    const Services &sv = config.services;
    const QJsonObject services{{"driving", sv.driving}, {"walking", sv.walking}, {"avoidHighways", sv.avoidHighways},
                               {"search", sv.search}, {"reverse", sv.reverse}};
    const Extras &x = config.extras;
    const QJsonObject extras{{"pano", x.panoramio}, {"wiki", x.wikipedia}, {"traf", x.traffic},
                             {"youtube", x.youtube}, {"webcam", x.webcam}};
    const QJsonObject root{{"tiles", tiles}, {"services", services}, {"extras", extras},
                           {"texts", QJsonArray::fromStringList(config.texts)}, {"words", pageWords()},
                           {"archives", config.archives}};
    QString json = QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact));
    // Inside a script element "</" would end it; "<\/" means the same in a literal.
    json.replace(QLatin1String("</"), QLatin1String("<\\/"));
    json.replace(QLatin1String("<!--"), QLatin1String("<\\!--"));
    QString page = QString::fromUtf8(resource(name));
    page.replace(QLatin1String("@CONFIG@"), json);
    return page;
}
} // namespace

QString writeFiles(const QString &folder, const Config &config)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("images")))
        return QStringLiteral("Can't create %1").arg(folder);
    // Leaflet only when missing; our own script and page every time.
    for (const char *name : {"leaflet.js", "leaflet.css", "images/layers.png", "images/layers-2x.png",
                             "images/marker-icon.png", "images/marker-icon-2x.png", "images/marker-shadow.png"}) {
        const QString path = dir.filePath(QLatin1String(name));
        if (QFileInfo::exists(path))
            continue;
        if (QString e = AtomicFile::write(path, resource(QStringLiteral("leaflet/") + QLatin1String(name))); !e.isEmpty())
            return e;
    }
    // The built-in world as a script, so the page reads it from beside itself like
    // Leaflet; written again only when the program's copy differs.
    const QByteArray world = "window.KX_WORLD = " + resource(QStringLiteral("world-50m.json")) + ";\n";
    if (QFileInfo(dir.filePath(QStringLiteral("world.js"))).size() != world.size())
        if (QString e = AtomicFile::write(dir.filePath(QStringLiteral("world.js")), world); !e.isEmpty())
            return e;
    for (const char *script : {"hostbridge.js", "mapcontrols.js", "korvixmap.js", "minimap.js"})
        if (QString e = AtomicFile::write(dir.filePath(QLatin1String(script)), resource(QLatin1String(script)));
            !e.isEmpty())
            return e;
    if (QString e = AtomicFile::write(dir.filePath(QStringLiteral("layers.js")), resource(QStringLiteral("layers.js")));
        !e.isEmpty())
        return e;
    for (const Picture &p : pictures())
        if (QString e = AtomicFile::write(dir.filePath(QLatin1String(p.name)),
                                          png(picture(QLatin1String(p.name), p.width, p.height)));
            !e.isEmpty())
            return e;
    return AtomicFile::write(dir.filePath(QStringLiteral("TmpPOI.htm")), pageHtml(config).toUtf8());
}

} // namespace MapPage
