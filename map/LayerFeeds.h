// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two city feeds as marker layers: Kraków's road disruptions and Zakopane's
// lodgings, from the XML their servers answer.

#include "map/MapLists.h"

#include <QByteArray>
#include <QString>

namespace LayerFeeds {

// Where the feeds live on their servers.
inline constexpr char krakowPath[] = "/images/stories/mapa/mapa.xml";
inline constexpr char krakowIcons[] = "/images/stories/mapa/";
inline constexpr char zakopanePath[] = "/wszystkie.xml";

// Kraków's answer (its byte-order mark first): per marker inside the city's box
// (bounds exclusive) WB_Icon with `host` + the icons' folder + "iconfile" and WB_POI
// with "limit date desc"; then WB_POIRefresh and WB_Bounds. Throws KorvixError when
// the answer is not XML. Returns the number of markers skipped for lacking one of
// those attributes (or "lat", "long").
int sendKrakow(const QByteArray &answer, const QString &host, IMapCalls &out);
// Zakopane's answer: per marker WB_Icon("ikona") and WB_POI with "nazwa"; then the
// same refresh and bounds. Markers without "lat", "lon", "ikona" or "nazwa" are
// skipped and counted.
int sendZakopane(const QByteArray &answer, IMapCalls &out);

// The status line's report of skipped markers; empty when none was.
QString skippedText(int skipped);

} // namespace LayerFeeds
