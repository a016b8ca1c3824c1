// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Points from KML documents for both list editors: the import of a KML file or a
// fetched map link (the receiving editor adds each point with AddItn or AddPoi) and
// the conversion of KML pasted into a grid into tab-separated rows.

#include <QByteArray>
#include <QDomDocument>
#include <QString>

#include <vector>

namespace Itn {

// One point for an editor's AddItn / AddPoi: decimal-degree texts as the source
// wrote them, and the name.
struct ImportedPoint {
    QString lon, lat, name;
    bool operator==(const ImportedPoint &) const = default;
};

// Decimal degrees (a point as the separator, blanks around allowed, an exponent
// allowed) to 1/100000 degree, exactly on the digits and truncated toward zero.
// A text that is not a number, or whose result leaves 64 bits, gives 0. How an
// imported point's texts become a list's units.
qint64 degreesToUnits(QStringView text);

// Parses XML without ever resolving an entity: a document that declares entities
// (external ones, or the nested expansions of a "billion laughs") or nests deeper
// than any real document is refused like text that is not XML.
bool parseXml(const QByteArray &bytes, QDomDocument &doc);
bool parseXml(const QString &text, QDomDocument &doc);

struct KmlPoints {
    std::vector<ImportedPoint> points;
    bool valid = true; // false: "Invalid Kml file" (the points found before stay)
    QString reason;    // why, when the XML guard refused the text
};
// The placemarks of the first "Document" (or, without one, the first "Folder") of
// the "kml" element; names are address + " : " + name ("?" when that fails);
// coordinates need longitude, latitude and altitude.
KmlPoints ImportKML(const QDomDocument &doc);
KmlPoints ImportKML(const QByteArray &bytes);

// The message of a failed import (caption "Error").
QString invalidKmlMessage();

// The OnPaste conversion: when `text` is XML it becomes rows "longitude units TAB
// latitude units TAB name" joined by CR LF (every document and folder of the root)
// and true is returned; other text is left alone (false).
bool KmlPasteRows(QString &text);

} // namespace Itn
