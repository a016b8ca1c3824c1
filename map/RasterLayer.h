// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Raster overlays of the device: a ".sat" description (nine lines) beside its JPEG,
// shown on the map with WB_Raster, all of one opening fitted into view once.

#include "map/MapLists.h"
#include "map/MapScript.h"

#include <QString>

#include <array>

class DeviceCodec;

struct SatFile {
    QString path;                 // the ".sat" file itself
    std::array<QString, 9> lines; // lines past the end read as empty
    QString picture;              // the picture's name, in the same folder
};

namespace RasterLayer {

// Reads a ".sat" file. Throws KorvixError when it cannot be read, when its first
// line is empty, or when the picture name would leave the folder.
SatFile readSat(const QString &path, const DeviceCodec &codec);
// The same on the file's bytes (`path` names it in messages and for "-").
SatFile parseSat(const QString &path, const QByteArray &bytes, const DeviceCodec &codec);

// The info window: every value escaped for HTML.
QString infoHtml(const SatFile &sat);

// Copies the picture into `folder`, replacing an older copy. False when it cannot.
bool copyPicture(const SatFile &sat, const QString &folder);

} // namespace RasterLayer

// The rasters of one opening: their box grows with each, and WB_Bounds follows the
// last one.
class RasterShow {
public:
    // Sends WB_Raster (left out when an edge is not a plain decimal) and widens the
    // box; `reset` empties it first, without `more` the box is shown.
    void show(const SatFile &sat, bool more, bool reset, IMapCalls &out);
    const MapScript::BoundingRect &box() const { return m_box; }

private:
    MapScript::BoundingRect m_box;
};
