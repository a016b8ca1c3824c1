// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapLists.h"

#include "core/RBParamsTable.h"
#include "map/MapScript.h"
#include "platform/Progress.h"
#include "core/Ov2Units.h"

#include <QCoreApplication>

#include <optional>
#include <vector>

namespace {

bool marked(const TRBParamsTable &rows, int r)
{
    return rows.Flags(1, r) & RBFlags::RowMark;
}

// One row's point as the page gets it: a coordinate that is not an integer goes as 0,
// as the list reads it; `box` widens only by rows whose coordinates both are integers.
struct RowPoint {
    qint32 lat = 0, lon = 0;
    QString name;
};

RowPoint rowPoint(const TRBParamsTable &rows, int r, MapScript::BoundingRect &box)
{
    const TRBParams &row = rows.Row(r);
    const auto lon = parseOv2Integer(row.FieldView(1));
    const auto lat = parseOv2Integer(row.FieldView(2));
    if (lon && lat)
        box.extend(*lat, *lon);
    RowPoint p{lat.value_or(0), lon.value_or(0), row.GetField(3)};
    p.name.replace(u'|', u' ');
    return p;
}

// Rows gathered into WB_POIBlock calls. A block ends at `rows` points or at a few
// million characters of names, so no script grows past what the page takes in well.
class PoiBlocks {
public:
    PoiBlocks(IMapCalls &out, int rows) : m_out(out), m_rows(std::max(1, rows)) {}
    void add(const RowPoint &p)
    {
        m_coords.push_back(p.lat);
        m_coords.push_back(p.lon);
        m_names.append(p.name);
        m_ends.push_back(qint32(m_names.size()));
        if (int(m_ends.size()) >= m_rows || m_names.size() >= 4 * 1024 * 1024)
            flush();
    }
    void flush()
    {
        if (m_ends.empty())
            return;
        m_out.send(MapScript::poiBlock(m_coords, m_names, m_ends));
        m_coords.clear();
        m_ends.clear();
        m_names.clear();
    }

private:
    IMapCalls &m_out;
    int m_rows;
    std::vector<qint32> m_coords, m_ends;
    QString m_names;
};

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
                 IMapCalls &out, IProgress *progress, int blockRows)
{
    if (!iconFile.isEmpty())
        out.send(MapScript::icon(iconFile));
    const int last = rows.RowCount() - 1;
    if (progress)
        progress->ShowProgress(QCoreApplication::translate("TOV2", "Writing POIs"), 1, std::max(1, last), 0);
    ProgressTicker ticker(progress);
    const bool onlyMarked = hasMarkedRows(rows);
    MapScript::BoundingRect box;
    std::optional<PoiBlocks> blocks;
    if (out.takesBlocks())
        blocks.emplace(out, blockRows);
    for (int r = 1; r <= last; ++r) {
        if (onlyMarked && !marked(rows, r))
            continue;
        const RowPoint p = rowPoint(rows, r, box);
        if (blocks)
            blocks->add(p);
        else
            out.send(MapScript::poi(formatOv2Degrees(p.lat), formatOv2Degrees(p.lon), p.name));
        ticker.tick(r);
    }
    if (blocks)
        blocks->flush();
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
        const RowPoint p = rowPoint(rows, r, box);
        out.send(MapScript::waypoint(formatOv2Degrees(p.lat), formatOv2Degrees(p.lon), p.name));
    }
    sendFraming(box, framing, out, nullptr);
}
