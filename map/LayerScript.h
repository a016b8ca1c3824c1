// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The script calls of the extra layers: lines through collected points and raster
// overlays. Same rules as MapScript: texts as JSON string literals, coordinates as
// the plain decimals the callers checked.

#include <QString>
#include <QStringView>

namespace LayerScript {

QString polylineClear();                                   // WB_Poliline_clr();
QString polylineAdd(QStringView lat, QStringView lng);     // WB_Poliline_add(lat,lng);
QString polyline(QStringView colour, int width);           // WB_Poliline("#00ff00",6);
// WB_Raster(west,south,east,north,"picture","info");
QString raster(QStringView west, QStringView south, QStringView east, QStringView north,
               QStringView picture, QStringView infoHtml);

// `text` for HTML element content and attribute values: & < > " ' escaped.
QString htmlEscaped(QStringView text);

// A degree value with up to 15 significant digits and "." ("%.15g").
QString degrees15(double value);

} // namespace LayerScript
