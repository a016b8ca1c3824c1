// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapLists.h"

#include "core/RBParamsTable.h"
#include "map/MapScript.h"
#include "platform/Progress.h"
#include "core/Ov2Units.h"

#include <QCoreApplication>

namespace {

bool marked(const TRBParamsTable &rows, int r)
{
    return rows.Flags(1, r) & RBFlags::RowMark;
}

// Sends one row through `call` and widens `box` by it when both coordinates are
// integers; other coordinates go to the page as 0, as the list reads them.
template<typename Call>
void sendRow(const TRBParamsTable &rows, int r, MapScript::BoundingRect &box, IMapCalls &out, Call call)
{
    const TRBParams &row = rows.Row(r);
    const QStringView lonText = row.FieldView(1), latText = row.FieldView(2);
    const auto lon = parseOv2Integer(lonText);
    const auto lat = parseOv2Integer(latText);
    QString name = row.GetField(3);
    name.replace(u'|', u' ');
    out.send(call(lat ? formatOv2Degrees(*lat) : FromOV2Units(latText),
                  lon ? formatOv2Degrees(*lon) : FromOV2Units(lonText), name));
    if (lon && lat)
        box.extend(*lat, *lon);
}

void sendFraming(const MapScript::BoundingRect &box, const MapFraming &framing, IMapCalls &out,
                 IProgress *progress)
{
    if (box.isEmpty()) {
        if (auto view = MapScript::initialView(framing.initialView))
            out.send(*view);
    } else {
        out.send(MapScript::bounds(box));
    }
    if (progress)
        progress->SetStatus(QCoreApplication::translate("TOV2", "Writing HomePosition"));
    if (auto home = MapScript::home(framing.home))
        out.send(*home);
}

} // namespace

bool hasMarkedRows(const TRBParamsTable &rows)
{
    for (int r = 1; r < rows.RowCount(); ++r)
        if (marked(rows, r))
            return true;
    return false;
}

void sendPoiList(const TRBParamsTable &rows, const QString &iconFile, const MapFraming &framing,
                 IMapCalls &out, IProgress *progress)
{
    if (!iconFile.isEmpty())
        out.send(MapScript::icon(iconFile));
    const int last = rows.RowCount() - 1;
    if (progress)
        progress->ShowProgress(QCoreApplication::translate("TOV2", "Writing POIs"), 1, std::max(1, last), 0);
    ProgressTicker ticker(progress);
    const bool onlyMarked = hasMarkedRows(rows);
    MapScript::BoundingRect box;
    for (int r = 1; r <= last; ++r) {
        if (onlyMarked && !marked(rows, r))
            continue;
        sendRow(rows, r, box, out, [](const QString &lat, const QString &lng, const QString &name) {
            return MapScript::poi(lat, lng, name);
        });
        ticker.tick(r);
    }
    out.send(MapScript::refresh());
    sendFraming(box, framing, out, progress);
    if (progress)
        progress->SetStatus(QString());
}

void sendItinerary(const TRBParamsTable &rows, const MapFraming &framing, IMapCalls &out)
{
    const bool onlyMarked = hasMarkedRows(rows);
    MapScript::BoundingRect box;
    for (int r = 1; r < rows.RowCount(); ++r) {
        if (onlyMarked && !marked(rows, r))
            continue;
        sendRow(rows, r, box, out, [](const QString &lat, const QString &lng, const QString &name) {
            return MapScript::waypoint(lat, lng, name);
        });
    }
    sendFraming(box, framing, out, nullptr);
}
