// SPDX-License-Identifier: GPL-3.0-or-later
// ITN files as a point format: a route, names in the device's code page.
#include "itn/ItnPointFormat.h"

#include "core/RBParamsTable.h"
#include "exchange/Gpx.h"
#include "itn/ItnFormat.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"

namespace {

class ItnPointFormat final : public PointFormat {
public:
    QStringList suffixes() const override { return {QStringLiteral("itn")}; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return true; }

    QString read(const QString &path, const PointCodecs &codecs, PointSet &out) const override
    {
        try {
            TRBParamsTable table;
            table.SetColCount(5);
            table.AppendRow();
            for (TRBParams &row : Itn::readFile(path, codecs.device))
                table.AppendRow(std::move(row));
            out.points = Gpx::pointsOfRows(table, Itn::FlagColumn);
        } catch (const KorvixError &e) {
            return e.message();
        }
        out.route = true;
        return {};
    }

    // More than 48 points are split as the editor splits them.
    QString write(const QString &path, const PointSet &in, const PointCodecs &codecs, QStringList &written) const override
    {
        TRBParamsTable table;
        table.SetColCount(5);
        table.Reserve(int(in.points.size()) + 1);
        table.AppendRow();
        for (const GeoPoint &p : in.points) {
            TRBParams &row = table.AppendRow();
            row.SetField(1, QString::number(p.lon));
            row.SetField(2, QString::number(p.lat));
            row.SetField(3, p.name);
            row.SetField(Itn::FlagColumn, QStringLiteral("0"));
        }
        try {
            written += Itn::writeRows(path, table, int(in.points.size()) > Itn::MaxPoints, codecs.device);
        } catch (const KorvixError &e) {
            return e.message();
        }
        return {};
    }
};

} // namespace

const PointFormat &itnPointFormat()
{
    static const ItnPointFormat format;
    return format;
}
