// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings by meaning: every section and key of the settings store,
// with its default, is spelled here and nowhere else. Each accessor reads the store
// afresh, so a change made elsewhere is seen at once.

#include <QList>
#include <QSize>
#include <QString>

class DeviceCodec;
class KorvixSettings;

namespace Prefs {

// The program's switches: the service menu and the update check.
class Switches {
public:
    explicit Switches(KorvixSettings &s) : m_s(s) {}
    bool superUser() const;             // false
    void setSuperUser();
    bool updateCheck() const;           // true
    void setUpdateCheck(bool on);

private:
    KorvixSettings &m_s;
};

// The outside services the map page uses: URL templates, attributions and the Extra
// layers. Each has our default except the Extra layers but Wikipedia, which have no
// source until the user names one.
enum class MapService {
    TileMap, TileMapAttribution, TileTerrain, TileTerrainAttribution, TileSatellite,
    TileSatelliteAttribution, TileLabels, TileLabelsAttribution, Driving, Walking,
    AvoidHighways, Search, Reverse, Wikipedia, Panoramio, Traffic, YouTube, WebCam
};

class Map {
public:
    explicit Map(KorvixSettings &s) : m_s(s) {}
    // "south,west,north,east" of the saved view; empty when none.
    QString initialView() const;
    void setInitialView(const QString &bounds);
    // "lat,lng,\"name\"" of the home; empty when none.
    QString home() const;
    void setHome(const QString &position);
    // The stored value, or the default when none (or an empty one) is stored.
    QString service(MapService which) const;
    // What the user stored, empty when nothing.
    QString storedService(MapService which) const;
    void setService(MapService which, const QString &value);
    static QString serviceDefault(MapService which);
    // The key's name, as the user sees it in the settings file.
    static QString serviceKey(MapService which);
    // Section and key, "GoogleAPI, Traffic", for a message naming the setting.
    static QString serviceSetting(MapService which);

private:
    KorvixSettings &m_s;
};

// The list editors' tools.
class Lists {
public:
    explicit Lists(KorvixSettings &s) : m_s(s) {}
    int maxDistance() const;            // metres, 0
    void setMaxDistance(int metres);

private:
    KorvixSettings &m_s;
};

// The web sources of the POI feeds and the map's city layers: one server each.
enum class Source { Gddkia, Krakow, Zakopane };

class Sources {
public:
    explicit Sources(KorvixSettings &s) : m_s(s) {}
    // The server with a scheme ("http://" when the setting has none) and no trailing
    // "/"; our default when the setting is missing or empty.
    QString server(Source which) const;
    void setServer(Source which, const QString &value);
    static QString defaultServer(Source which);
    // `host` with "http://" in front when it names no scheme, without trailing "/".
    static QString withScheme(QString host);
    // The section and key naming the server, as the user finds them in the file.
    static QString serverSetting(Source which);

private:
    KorvixSettings &m_s;
};

// Offline maps: the tile archives the user added (a JSON list of paths, as stored)
// and the size of the disk tile cache.
class Tiles {
public:
    explicit Tiles(KorvixSettings &s) : m_s(s) {}
    QString archiveList() const;
    void setArchiveList(const QString &json);
    int cacheMegabytes() const;         // 500
    void setCacheMegabytes(int mb);

private:
    KorvixSettings &m_s;
};

// The device texts' code page: "1250" (default), "1252" or "UTF-8".
class Device {
public:
    explicit Device(KorvixSettings &s) : m_s(s) {}
    QString codePage() const;
    void setCodePage(const QString &name);
    DeviceCodec codec() const;

private:
    KorvixSettings &m_s;
};

// Where the satellite-fix files come from; `fallback` when not set.
class GpsFix {
public:
    explicit GpsFix(KorvixSettings &s) : m_s(s) {}
    QString host(const QString &fallback) const;
    QString globalLocatePath(const QString &fallback) const;
    QString sirfStarPath(const QString &fallback) const;
    void setHost(const QString &host);

private:
    KorvixSettings &m_s;
};

// An editor window kind's size when it was last closed and the column widths the
// user chose in its grid.
class Windows {
public:
    explicit Windows(KorvixSettings &s) : m_s(s) {}
    // Invalid when none was kept.
    QSize editorSize(const QString &kind) const;
    void setEditorSize(const QString &kind, const QSize &size);
    // 0 where none was chosen.
    QList<int> editorColumns(const QString &kind) const;
    void setEditorColumns(const QString &kind, const QList<int> &widths);

private:
    KorvixSettings &m_s;
};

// A read-only store gives read-only preferences: the setters are not callable on them.
inline Switches switches(KorvixSettings &s) { return Switches(s); }
inline const Switches switches(const KorvixSettings &s) { return Switches(const_cast<KorvixSettings &>(s)); }
inline Map map(KorvixSettings &s) { return Map(s); }
inline const Map map(const KorvixSettings &s) { return Map(const_cast<KorvixSettings &>(s)); }
inline Lists lists(KorvixSettings &s) { return Lists(s); }
inline const Lists lists(const KorvixSettings &s) { return Lists(const_cast<KorvixSettings &>(s)); }
inline Sources sources(KorvixSettings &s) { return Sources(s); }
inline const Sources sources(const KorvixSettings &s) { return Sources(const_cast<KorvixSettings &>(s)); }
inline Device device(KorvixSettings &s) { return Device(s); }
inline const Device device(const KorvixSettings &s) { return Device(const_cast<KorvixSettings &>(s)); }
inline GpsFix gpsFix(KorvixSettings &s) { return GpsFix(s); }
inline const GpsFix gpsFix(const KorvixSettings &s) { return GpsFix(const_cast<KorvixSettings &>(s)); }
inline Windows windows(KorvixSettings &s) { return Windows(s); }
inline Tiles tiles(KorvixSettings &s) { return Tiles(s); }
inline const Tiles tiles(const KorvixSettings &s) { return Tiles(const_cast<KorvixSettings &>(s)); }
inline const Windows windows(const KorvixSettings &s) { return Windows(const_cast<KorvixSettings &>(s)); }

// "Path": the program folder, written only when the store already exists.
void storeProgramFolder(KorvixSettings &s, const QString &folder);

} // namespace Prefs
