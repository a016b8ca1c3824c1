// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What ShowGoogleAPI sends for a POI list and for an itinerary, as the calls the
// page receives, in order. The windows and korvix-cli share it.

#include <QString>

class IProgress;
class TRBParamsTable;

// Where the calls go: the map window joins them into scripts, the CLI prints them.
class IMapCalls {
public:
    virtual ~IMapCalls() = default;
    virtual void send(const QString &call) = 0;
    // Whether the calls run in the page, which then takes a long POI list in blocks
    // (WB_POIBlock, the same points as the calls) rather than in a call per point.
    virtual bool takesBlocks() const { return false; }
};

// The settings the page is framed with ("GoogleAPI"/"InitialView" and "Home").
struct MapFraming {
    QString initialView;
    QString home;
};

// The POI list (rows 1.. of longitude, latitude, description): the icon (when
// `iconFile` is not empty), the marked rows or every row when none is marked, the
// refresh, the bounds of the rows with integer coordinates or the initial view, the
// home. Progress "Writing POIs" per row. To a receiver that takes blocks the rows go
// as WB_POIBlock calls of up to `blockRows` points each.
void sendPoiList(const TRBParamsTable &rows, const QString &iconFile, const MapFraming &framing,
                 IMapCalls &out, IProgress *progress = nullptr, int blockRows = 65536);

// The itinerary (rows 1.. of longitude, latitude, name): waypoints of the marked
// rows or of every row, the bounds or the initial view, the home.
void sendItinerary(const TRBParamsTable &rows, const MapFraming &framing, IMapCalls &out);

// Whether any data row carries the row mark.
bool hasMarkedRows(const TRBParamsTable &rows);
