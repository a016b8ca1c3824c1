// SPDX-License-Identifier: GPL-3.0-or-later
// OV2 files as a point format: a list, names in the device's code page.
#include "poi/Ov2PointFormat.h"

#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Writer.h"

namespace {

class Ov2PointFormat final : public PointFormat {
public:
    QStringList suffixes() const override { return {QStringLiteral("ov2")}; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return true; }

    QString read(const QString &path, const PointCodecs &codecs, PointSet &out) const override
    {
        Ov2Data data;
        if (QString error = readOv2File(path, data); !error.isEmpty())
            return error;
        out.points.reserve(data.pois.size());
        for (const Ov2Poi &p : data.pois)
            out.points.push_back({p.lon, p.lat, codecs.device.toUnicode(data.text(p))});
        return {};
    }

    QString write(const QString &path, const PointSet &in, const PointCodecs &codecs, QStringList &written) const override
    {
        Ov2PointList list;
        list.reserve(in.points.size());
        for (const GeoPoint &p : in.points)
            list.add(p.lon, p.lat, codecs.device.fromUnicode(p.name));
        try {
            SaveOV2(path, list);
        } catch (const KorvixError &e) {
            return e.message();
        }
        written.append(path);
        return {};
    }
};

} // namespace

const PointFormat &ov2PointFormat()
{
    static const Ov2PointFormat format;
    return format;
}
