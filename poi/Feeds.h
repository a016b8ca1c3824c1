// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The outside sources of POIs: the road authority's two feeds, the Kraków and
// Zakopane feeds and the coordinates of any web page. Each turns a body into the
// points the receiving editor adds with AddPoi, in order; nothing here draws.

#include "exchange/KmlImport.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

namespace Feeds {

using Point = Itn::ImportedPoint; // lon and lat as decimal-degree texts, and the name

// Larger bodies are refused before parsing: no real feed comes near it, and a
// document model of more would cost gigabytes.
constexpr qint64 MaxBytes = 32 * 1024 * 1024;

struct Result {
    std::vector<Point> points;
    QString error; // not empty: the import ended with this error after `points`
};

// The road-authority feed of road works; entries ending before `today` get "----".
Result GDDKiA(const QByteArray &xml, const QDate &today);
// The road authority's mobile feed: two points per obstruction; a broken entry ends
// the walk without an error.
Result GDDKiAMobi(const QByteArray &xml);
// The Kraków feed: markers inside the city's surroundings.
Result krakow(const QByteArray &body);
// The Zakopane lodgings.
Result zakopane(const QByteArray &xml);
// The "GLatLng(lat,lon)" calls of a web page, named with the page's address.
Result webPage(const QByteArray &body, const QString &address);

// The event code's text appended to a road-authority name ("" for other codes).
QString eventText(const QString &code);
// An end date "YYYY-MM-DD", the part before the first "T"; invalid when unreadable.
QDate endDate(const QString &dataLikwidacji);
// What AddPoi keeps of a description: no blanks or control characters at either end.
QString poiDescription(QStringView description);
// Whether AddPoi can read the text as a coordinate; others would land at 0,0.
bool isCoordinate(const QString &text);

// The messages of failed imports.
QString notXmlMessage();
// A body the XML guard refuses, with its reason (entities, nesting, attributes).
QString refusedMessage(const QString &reason);
QString tooLargeMessage();
QString notNumberMessage(const QString &text);

} // namespace Feeds
