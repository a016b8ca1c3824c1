// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Settings.h"

#include "platform/DeviceCodec.h"
#include "platform/Settings.h"

#include <QStringList>

namespace Prefs {

namespace {
// The section names as stored files carry them ("Spec" holds the special switches:
// SuperUser and Update).
const QString switchesSection = QStringLiteral("Spec");
const QString mapSection = QStringLiteral("GoogleAPI");
const QString settingsSection = QStringLiteral("Settings");
const QString gpsFixSection = QStringLiteral("QuickGPSFix");
const QString windowsSection = QStringLiteral("Windows");
const QString tilesSection = QStringLiteral("Map");

const QString osm = QStringLiteral("\u00a9 OpenStreetMap contributors");

struct ServiceEntry {
    const char *key;
    QString def;
};

const ServiceEntry &entry(MapService which)
{
    static const ServiceEntry table[] = {
        {"TileMap", QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png")},
        {"TileMapAttribution", osm},
        {"TileTerrain", QStringLiteral("https://tile.opentopomap.org/{z}/{x}/{y}.png")},
        {"TileTerrainAttribution", osm + QStringLiteral(", SRTM | \u00a9 OpenTopoMap (CC-BY-SA)")},
        {"TileSatellite",
         QStringLiteral("https://server.arcgisonline.com/ArcGIS/rest/services/World_Imagery/MapServer/tile/{z}/{y}/{x}")},
        {"TileSatelliteAttribution", QStringLiteral("Tiles \u00a9 Esri")},
        {"TileLabels",
         QStringLiteral("https://server.arcgisonline.com/ArcGIS/rest/services/Reference/World_Boundaries_and_Places/MapServer/tile/{z}/{y}/{x}")},
        {"TileLabelsAttribution", QStringLiteral("Labels \u00a9 Esri")},
        {"Driving",
         QStringLiteral("https://router.project-osrm.org/route/v1/driving/{lng1},{lat1};{lng2},{lat2}?overview=full&geometries=geojson&steps=true")},
        {"Walking",
         QStringLiteral("https://routing.openstreetmap.de/routed-foot/route/v1/foot/{lng1},{lat1};{lng2},{lat2}?overview=full&geometries=geojson&steps=true")},
        {"AvoidHighways", QStringLiteral("&exclude=motorway")},
        {"Search", QStringLiteral("https://nominatim.openstreetmap.org/search?format=jsonv2&limit=10&q={query}")},
        {"Reverse", QStringLiteral("https://nominatim.openstreetmap.org/reverse?format=jsonv2&lat={lat}&lon={lng}")},
        {"Wikipedia",
         QStringLiteral("https://pl.wikipedia.org/w/api.php?action=query&list=geosearch&gsbbox={north}|{west}|{south}|{east}&gslimit=50&format=json&origin=*")},
        {"Panoramio", QString()},
        {"Traffic", QString()},
        {"YouTube", QString()},
        {"WebCam", QString()},
    };
    static_assert(std::size(table) == size_t(MapService::WebCam) + 1, "one entry per service");
    return table[int(which)];
}

struct SourceEntry {
    const char *key;
    const char *def;
};

const SourceEntry &entry(Source which)
{
    static const SourceEntry table[] = {
        {"GddkiaServer", "http://www.gddkia.gov.pl"},
        {"KrakowServer", "http://zikit.krakow.pl"},
        {"ZakopaneServer", "http://mapa.zakopane.pl"},
    };
    return table[int(which)];
}

} // namespace

bool Switches::superUser() const { return m_s.ReadBool(switchesSection, QStringLiteral("SuperUser"), false); }
void Switches::setSuperUser() { m_s.WriteBool(switchesSection, QStringLiteral("SuperUser"), true); }
bool Switches::updateCheck() const { return m_s.ReadBool(switchesSection, QStringLiteral("Update"), true); }
void Switches::setUpdateCheck(bool on) { m_s.WriteBool(switchesSection, QStringLiteral("Update"), on); }

QString Map::initialView() const { return m_s.ReadString(mapSection, QStringLiteral("InitialView")); }
void Map::setInitialView(const QString &b) { m_s.WriteString(mapSection, QStringLiteral("InitialView"), b); }
QString Map::home() const { return m_s.ReadString(mapSection, QStringLiteral("Home")); }
void Map::setHome(const QString &p) { m_s.WriteString(mapSection, QStringLiteral("Home"), p); }

QString Map::service(MapService which) const
{
    const QString v = storedService(which);
    return v.isEmpty() ? serviceDefault(which) : v;
}

QString Map::storedService(MapService which) const
{
    return m_s.ReadString(mapSection, serviceKey(which));
}

void Map::setService(MapService which, const QString &value)
{
    m_s.WriteString(mapSection, serviceKey(which), value);
}

QString Map::serviceDefault(MapService which) { return entry(which).def; }
QString Map::serviceKey(MapService which) { return QLatin1String(entry(which).key); }
QString Map::serviceSetting(MapService which) { return mapSection + QStringLiteral(", ") + serviceKey(which); }

int Lists::maxDistance() const { return m_s.ReadInteger(settingsSection, QStringLiteral("MaxDistance"), 0); }
void Lists::setMaxDistance(int metres) { m_s.WriteInteger(settingsSection, QStringLiteral("MaxDistance"), metres); }

QString Sources::server(Source which) const
{
    QString s = m_s.ReadString(settingsSection, QLatin1String(entry(which).key)).trimmed();
    return withScheme(s.isEmpty() ? defaultServer(which) : s);
}

QString Sources::withScheme(QString host)
{
    host = host.trimmed();
    if (!host.contains(QLatin1String("://")))
        host.prepend(QStringLiteral("http://"));
    while (host.endsWith(u'/'))
        host.chop(1);
    return host;
}

void Sources::setServer(Source which, const QString &value)
{
    m_s.WriteString(settingsSection, QLatin1String(entry(which).key), value);
}

QString Sources::defaultServer(Source which) { return QLatin1String(entry(which).def); }

QString Sources::serverSetting(Source which)
{
    return settingsSection + QStringLiteral(", ") + QLatin1String(entry(which).key);
}

QString Tiles::archiveList() const { return m_s.ReadString(tilesSection, QStringLiteral("TileArchives")); }
void Tiles::setArchiveList(const QString &json) { m_s.WriteString(tilesSection, QStringLiteral("TileArchives"), json); }
int Tiles::cacheMegabytes() const { return m_s.ReadInteger(tilesSection, QStringLiteral("TileCacheMB"), 500); }
void Tiles::setCacheMegabytes(int mb) { m_s.WriteInteger(tilesSection, QStringLiteral("TileCacheMB"), mb); }

QString Device::codePage() const { return m_s.ReadString(settingsSection, QStringLiteral("CodePage"), QStringLiteral("1250")); }
void Device::setCodePage(const QString &name) { m_s.WriteString(settingsSection, QStringLiteral("CodePage"), name); }
DeviceCodec Device::codec() const { return DeviceCodec(DeviceCodec::kindFromName(codePage())); }

QString GpsFix::host(const QString &fallback) const { return m_s.ReadString(gpsFixSection, QStringLiteral("HOST"), fallback); }
QString GpsFix::globalLocatePath(const QString &fallback) const
{
    return m_s.ReadString(gpsFixSection, QStringLiteral("globalLocate"), fallback);
}
QString GpsFix::sirfStarPath(const QString &fallback) const
{
    return m_s.ReadString(gpsFixSection, QStringLiteral("SiRFStarIII"), fallback);
}
void GpsFix::setHost(const QString &host) { m_s.WriteString(gpsFixSection, QStringLiteral("HOST"), host); }

QSize Windows::editorSize(const QString &kind) const
{
    const QStringList wh = m_s.ReadString(windowsSection, kind + QStringLiteral("Size")).split(u',');
    bool okW = false, okH = false;
    const QSize size = wh.size() == 2 ? QSize(wh[0].trimmed().toInt(&okW), wh[1].trimmed().toInt(&okH)) : QSize();
    return okW && okH && size.width() > 0 && size.height() > 0 ? size : QSize();
}

void Windows::setEditorSize(const QString &kind, const QSize &size)
{
    m_s.WriteString(windowsSection, kind + QStringLiteral("Size"),
                    QStringLiteral("%1,%2").arg(size.width()).arg(size.height()));
}

QList<int> Windows::editorColumns(const QString &kind) const
{
    QList<int> widths;
    const QString text = m_s.ReadString(windowsSection, kind + QStringLiteral("Columns"));
    for (const QString &field : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int w = field.trimmed().toInt(&ok);
        widths.append(ok && w > 0 ? w : 0);
    }
    return widths;
}

void Windows::setEditorColumns(const QString &kind, const QList<int> &widths)
{
    QStringList fields;
    for (int w : widths)
        fields.append(QString::number(w));
    m_s.WriteString(windowsSection, kind + QStringLiteral("Columns"), fields.join(u','));
}

void storeProgramFolder(KorvixSettings &s, const QString &folder)
{
    if (s.exists())
        s.WriteString(QString(), QStringLiteral("Path"), folder);
}

} // namespace Prefs

DeviceCodec DeviceCodec::fromSettings(const KorvixSettings &settings)
{
    return Prefs::device(settings).codec();
}

DeviceCodec DeviceCodec::fromSettings()
{
    return fromSettings(KorvixSettings());
}
