// SPDX-License-Identifier: GPL-3.0-or-later
// KML in the format table: the import's placemarks in, the export out. A document
// with a line is a route.
#include "core/Ov2Units.h"
#include "exchange/KmlExport.h"
#include "exchange/KmlImport.h"
#include "exchange/PointFormat.h"
#include "platform/Error.h"
#include "platform/FileReader.h"

#include <climits>

namespace {

// A KML document takes about twenty times its size as a document tree.
constexpr qint64 MaxKmlBytes = qint64(64) * 1024 * 1024;

std::optional<qint32> units(const QString &degrees)
{
    const std::optional<qint64> v = toOv2UnitsValue(degrees);
    if (!v || *v < INT_MIN || *v > INT_MAX)
        return std::nullopt;
    return qint32(*v);
}

class KmlFormat final : public PointFormat {
public:
    QStringList suffixes() const override { return {QStringLiteral("kml")}; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return true; }

    QString read(const QString &path, const PointCodecs &, PointSet &out) const override
    {
        QString error;
        const std::optional<QByteArray> bytes = FileReader::read(path, MaxKmlBytes, &error);
        if (!bytes)
            return error;
        const Itn::KmlPoints kml = Itn::ImportKML(*bytes);
        if (!kml.valid)
            return kml.reason.isEmpty() ? Itn::invalidKmlMessage()
                                        : Itn::invalidKmlMessage() + QStringLiteral(": ") + kml.reason;
        const QString noAddress = QStringLiteral(" : ");
        for (const Itn::ImportedPoint &p : kml.points) {
            const auto lon = units(p.lon), lat = units(p.lat);
            if (!lon)
                return QStringLiteral("not a coordinate: ") + p.lon;
            if (!lat)
                return QStringLiteral("not a coordinate: ") + p.lat;
            // The import puts the address before the name; without one only the separator is left.
            out.points.push_back({*lon, *lat, p.name.startsWith(noAddress) ? p.name.mid(noAddress.size()) : p.name});
        }
        out.route = bytes->contains("<LineString");
        return {};
    }

    QString write(const QString &path, const PointSet &in, const PointCodecs &, QStringList &written) const override
    {
        try {
            KmlExport::save(path, in.points, in.route ? KmlExport::Kind::Route : KmlExport::Kind::Points, in.title);
        } catch (const KorvixError &e) {
            return e.message();
        }
        written.append(path);
        return {};
    }
};

} // namespace

const PointFormat &kmlFormat()
{
    static const KmlFormat format;
    return format;
}
