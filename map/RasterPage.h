// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The capture page ("Get_Raster"): a bare map in a black border with a search
// field, the name prefix and "Get Image", written into the map folder.

#include "map/MapPage.h"

#include <QString>

namespace RasterPage {

// The page with the tile sources, the search service and its texts.
QString pageHtml(const MapPage::Config &config);
// Writes the page as "TmpPOI.htm" and its script into `folder` (the map page's
// files, Leaflet among them, must be there). Returns the first failure or "".
QString writeFiles(const QString &folder, const MapPage::Config &config);

} // namespace RasterPage
