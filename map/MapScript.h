// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The script calls the host sends to the map page, and the texts the page sends back.
// Every text argument goes in as a JSON string literal, so no name can end the
// literal or run script; coordinates from outside texts go in only as plain decimals.

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace MapScript {

// `text` as a JSON string literal, quotes included.
QString jsonString(QStringView text);
void appendJsonString(QString &out, QStringView text);

// An optional sign, digits with an optional "." and fraction, at least one digit.
bool isPlainDecimal(QStringView text);

// A box in OV2 units spanned by the points sent: starts empty (right < left),
// left/right hold latitudes, top/bottom longitudes.
struct BoundingRect {
    qint64 left = 1, top = 0, right = 0, bottom = 1;
    bool isEmpty() const { return right < left || top < bottom; }
    void extend(qint64 latitude, qint64 longitude);
};

// Single calls. `lat`/`lng` are the lists' own degree texts (FromOV2Units).
QString icon(QStringView file);                                  // WB_Icon("f");
QString poi(QStringView lat, QStringView lng, QStringView name);  // WB_POI(a,b,"n",false);
QString waypoint(QStringView lat, QStringView lng, QStringView name); // WB_WP(a,b,"n");
QString refresh();                                               // WB_POIRefresh();
// WB_POIBlock("coords","names","ends"); what WB_POI calls of the same points do:
// `coords` latitude and longitude per point in OV2 units, `names` the names one after
// another, `ends` the end of each in `names` (UTF-16 units). The numbers go in base64
// of their bytes in this machine's order, which the page on the same machine shares.
QString poiBlock(const std::vector<qint32> &coords, QStringView names, const std::vector<qint32> &ends);
// WB_Bounds with 8 decimals of the rectangle's left, top, right and bottom.
QString bounds(const BoundingRect &rect);
// WB_Home(lat,lng,"name"); from the "Home" setting, or nothing when it is empty or
// its first two fields are not plain decimals.
std::optional<QString> home(const QString &setting);
// WB_Bounds(s,w,n,e); from the "InitialView" setting, only when it has four fields
// and all four are plain decimals.
std::optional<QString> initialView(const QString &setting);

// A point the page reports (callback 3): latitude, longitude, name.
struct PagePoint {
    QString latitude, longitude, name;
};
// Callback 3's text; nothing when a coordinate is not a plain decimal.
std::optional<PagePoint> parsePoint(const QString &text);
// Callback 4's text: the count, then per waypoint "|lat,lng,address". Nothing when
// the count does not match the fields. Each waypoint is cut at its first two commas
// only, so the address keeps its own; a waypoint whose coordinates are not plain
// decimals is left out.
std::optional<std::vector<PagePoint>> parseRoute(const QString &text);

} // namespace MapScript
