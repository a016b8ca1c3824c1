// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map page's files in the map folder: the page itself, its script, Leaflet and
// the nine marker pictures, with the tile sources and texts from the settings.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

class KorvixSettings;

namespace MapPage {

struct TileSource {
    QString name, url, attribution;
    QString kind; // "map", "terrain", "satellite", "labels" (drawn over satellite pictures)
};

// Web services by URL template. Placeholders: {lat1} {lng1} {lat2} {lng2} for a
// leg, {lat} {lng} for a position, {query} for a search text.
struct Services {
    QString driving, walking, avoidHighways; // avoidHighways: appended to a leg's URL
    QString search, reverse;
};

// The Extra layers: Wikipedia's geotagged articles of the view (a geosearch URL with
// {north} {west} {south} {east}), the other four tile overlays; empty: no source.
struct Extras {
    QString panoramio, wikipedia, traffic, youtube, webcam;
};

struct Config {
    std::vector<TileSource> tiles;   // "Map", "Terrain", "Satellite", "Labels"
    Services services;
    Extras extras;
    QStringList texts;               // the page's texts 0-32
    QJsonArray archives;             // the user's tile archives as base layers (TileSources)
};

// Tile templates of section "GoogleAPI" ("TileMap", "TileTerrain", "TileSatellite",
// "TileLabels" for the hybrid type, and their "...Attribution"), OpenStreetMap's own for an empty map template; the
// services "Driving", "Walking", "AvoidHighways", "Search", "Reverse" (OSRM and
// Nominatim by default).
Config readConfig(const KorvixSettings &settings);
// The page's texts, translated.
QStringList pageTexts();
// The pages' other words by key (map types, tab captions), translated.
QJsonObject pageWords();

// The page: the template with the configuration as a script literal that no text
// of the settings can close.
QString pageHtml(const Config &config);
// The small map of the POI editor, shown from text with the map folder as its base.
QString miniPageHtml(const Config &config);

// Writes the page ("TmpPOI.htm"), its script and the nine pictures into `folder`,
// and Leaflet when it is missing. Returns the first failure, or an empty text.
QString writeFiles(const QString &folder, const Config &config);

// The pictures written, with their sizes.
struct Picture {
    const char *name;
    int width, height;
};
const std::vector<Picture> &pictures();

} // namespace MapPage
