// SPDX-License-Identifier: GPL-3.0-or-later
// GPX in the format table: waypoints are a list, a route or a track a route.
#include "exchange/Gpx.h"
#include "exchange/PointFormat.h"
#include "platform/Error.h"

namespace {

class GpxFormat final : public PointFormat {
public:
    QStringList suffixes() const override { return {QStringLiteral("gpx")}; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return true; }

    QString read(const QString &path, const PointCodecs &, PointSet &out) const override
    {
        GpxContent gpx;
        if (QString error = Gpx::readFile(path, gpx); !error.isEmpty())
            return error;
        out.route = gpx.waypoints.empty();
        out.title = gpx.routeName;
        out.points = std::move(gpx.waypoints);
        for (auto *more : {&gpx.routePoints, &gpx.trackPoints})
            out.points.insert(out.points.end(), more->begin(), more->end());
        return {};
    }

    QString write(const QString &path, const PointSet &in, const PointCodecs &, QStringList &written) const override
    {
        GpxContent gpx;
        (in.route ? gpx.routePoints : gpx.waypoints) = in.points;
        gpx.routeName = in.title;
        try {
            Gpx::save(path, gpx);
        } catch (const KorvixError &e) {
            return e.message();
        }
        written.append(path);
        return {};
    }
};

} // namespace

const PointFormat &gpxFormat()
{
    static const GpxFormat format;
    return format;
}
