// SPDX-License-Identifier: GPL-3.0-or-later
// Our GPX against the real gpsbabel, both ways, waypoints and routes.
#include "ExchangeTestUtil.h"

#include "exchange/Gpx.h"
#include "core/Ov2Units.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Names gpsbabel's CSV keeps as they are: no commas or quotes, Polish letters.
std::vector<GeoPoint> interopPoints(int n, quint32 seed)
{
    std::vector<GeoPoint> points = ExchangeTest::randomPoints(n, seed, true);
    for (size_t i = 0; i < points.size(); i += 3)
        points[i].name += QStringLiteral(" Zażółć gęślą jaźń");
    return points;
}

// gpsbabel's CSV: "No,Latitude,Longitude,Name", names quoted.
std::vector<GeoPoint> pointsOfCsv(const QByteArray &csv)
{
    std::vector<GeoPoint> out;
    const QList<QByteArray> lines = csv.split('\n');
    EXPECT_TRUE(lines.value(0).startsWith("No,Latitude,Longitude,Name")) << lines.value(0).constData();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = line.split(u',');
        if (f.size() < 4) {
            ADD_FAILURE() << line.toStdString();
            continue;
        }
        QString name = f.mid(3).join(u',');
        if (name.startsWith(u'"') && name.endsWith(u'"'))
            name = name.mid(1, name.size() - 2);
        out.push_back({qint32(toOv2UnitsValue(f[2]).value_or(INT_MIN)), qint32(toOv2UnitsValue(f[1]).value_or(INT_MIN)),
                       name});
    }
    return out;
}

QByteArray csvOf(const std::vector<GeoPoint> &points)
{
    QByteArray csv = "Latitude,Longitude,Name\n";
    for (const GeoPoint &p : points)
        csv += (formatOv2Degrees(p.lat) + u',' + formatOv2Degrees(p.lon) + QStringLiteral(",\"") + p.name
                + QStringLiteral("\"\n"))
                   .toUtf8();
    return csv;
}

} // namespace

TEST(GpxInterop, GpsbabelReadsOurWaypointsAndRouteWithTheSamePoints)
{
    TempFolder tmp;
    GpxContent content;
    content.waypoints = interopPoints(3000, 21);
    content.routePoints = interopPoints(48, 22);
    content.routeName = QStringLiteral("route");
    const QString ours = tmp.file("ours.gpx");
    Gpx::save(ours, content);

    const ExchangeTest::Run wpts =
        ExchangeTest::run(QStringLiteral("gpsbabel"), {"-i", "gpx", "-f", ours, "-o", "unicsv", "-F", "-"});
    ASSERT_TRUE(wpts.ok) << wpts.err.toStdString();
    EXPECT_EQ(pointsOfCsv(wpts.out), content.waypoints);

    const ExchangeTest::Run route =
        ExchangeTest::run(QStringLiteral("gpsbabel"), {"-r", "-i", "gpx", "-f", ours, "-o", "unicsv", "-F", "-"});
    ASSERT_TRUE(route.ok) << route.err.toStdString();
    EXPECT_EQ(pointsOfCsv(route.out), content.routePoints);
}

TEST(GpxInterop, WeReadGpsbabelsWaypointsAndRoutesOfBothVersions)
{
    TempFolder tmp;
    const std::vector<GeoPoint> points = interopPoints(3000, 23);
    const QString csv = tmp.write("in.csv", csvOf(points));
    for (const char *version : {"1.0", "1.1"}) {
        const QString format = QStringLiteral("gpx,gpxver=") + QLatin1String(version);
        const QString wptFile = tmp.file(QStringLiteral("wpt%1.gpx").arg(QLatin1String(version)));
        const QString rteFile = tmp.file(QStringLiteral("rte%1.gpx").arg(QLatin1String(version)));
        ExchangeTest::Run r =
            ExchangeTest::run(QStringLiteral("gpsbabel"), {"-i", "unicsv", "-f", csv, "-o", format, "-F", wptFile});
        ASSERT_TRUE(r.ok) << r.err.toStdString();
        r = ExchangeTest::run(QStringLiteral("gpsbabel"),
                              {"-i", "unicsv", "-f", csv, "-x", "transform,rte=wpt,del", "-o", format, "-F", rteFile});
        ASSERT_TRUE(r.ok) << r.err.toStdString();

        GpxContent got;
        ASSERT_EQ(Gpx::readFile(wptFile, got), QString());
        EXPECT_EQ(got.waypoints, points) << version;
        EXPECT_TRUE(got.routePoints.empty());
        ASSERT_EQ(Gpx::readFile(rteFile, got), QString());
        EXPECT_TRUE(got.waypoints.empty());
        EXPECT_EQ(got.routePoints, points) << version;
    }
}
