// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Links copied from map sites. A link that holds the point itself gives it without
// any download; any other http link is fetched as KML with the shared HTTP client.

#include "exchange/KmlImport.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

class HttpClient;

namespace Itn {

// The point a link spells out: the map site's place ("!3dLAT!4dLNG"), "q=LAT,LNG",
// "query=LAT,LNG", "ll=LAT,LNG", the view "@LAT,LNG,ZOOMz", an OpenStreetMap marker
// "mlat=LAT&mlon=LNG" or view "#map=ZOOM/LAT/LNG", or "geo:LAT,LNG". The name is the
// place name of the link when it has one, else the coordinates. Only http, https
// and geo links are looked at.
std::optional<ImportedPoint> pointFromMapLink(const QString &link);

// True when the link's scheme is exactly "http": only those are fetched.
bool isHttpLink(const QString &link);

// The link asking for KML: without "output" (any case) "&output=kml" is appended;
// otherwise the text from that "output" up to the next "&" (or the end) becomes
// "output=kml".
QString kmlRequestUrl(const QString &link);

// The URL the fetch requests; port 80 when the link gives none or an unreadable one.
QUrl fetchUrl(const QString &link);

// GET of the link with the shared client's cookies and header values. Redirects are
// followed only on the link's own host; the answer is limited to `maxBytes`.
// Throws KorvixError with the network's reason on failure.
QByteArray fetchMapLink(HttpClient &http, const QUrl &url, int timeoutMs = 30000,
                        qint64 maxBytes = 32 * 1024 * 1024);

// The message for a clipboard that holds no usable link (caption "Uwaga!").
QString noLinkMessage();

} // namespace Itn
