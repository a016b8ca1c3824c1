// SPDX-License-Identifier: GPL-3.0-or-later
// The duplicate search: the cell index against the pairwise loop, the distance.
#include "core/RBParamsTable.h"
#include "core/Duplicates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

std::vector<GeoDegrees> pointsOf(std::initializer_list<std::pair<int, int>> units)
{
    std::vector<GeoDegrees> p(1); // row 0: the header
    for (auto [lon, lat] : units)
        p.push_back({lon / 100000.0, lat / 100000.0});
    return p;
}

void expectSame(const DuplicateResult &a, const DuplicateResult &b, const char *what)
{
    ASSERT_EQ(a.dupOf.size(), b.dupOf.size()) << what;
    for (size_t i = 0; i < a.dupOf.size(); ++i) {
        ASSERT_EQ(a.dupOf[i], b.dupOf[i]) << what << " row " << i;
        ASSERT_EQ(a.hasDuplicates[i], b.hasDuplicates[i]) << what << " row " << i;
    }
    EXPECT_EQ(a.firstGroupRow, b.firstGroupRow) << what;
    EXPECT_EQ(a.duplicateCount, b.duplicateCount) << what;
}

} // namespace

TEST(GreatCircle, IdenticalPointsAreZeroApartAndKnownDistances)
{
    // Rounding puts the cosine a hair above 1 for many identical points; unclamped
    // that gave -1 and exact duplicates were never found.
    int aboveOne = 0;
    for (int i = 0; i < 2000; ++i) {
        const double lat = -89.0 + i * 0.089, lon = -179.0 + i * 0.179;
        const double f = lat * std::numbers::pi / 180;
        if (std::sin(f) * std::sin(f) + std::cos(f) * std::cos(f) > 1.0)
            ++aboveOne;
        // A cosine a hair below 1 leaves a few centimetres: still near at 1 m.
        const double d = GreatCircleDistance(lon, lat, lon, lat);
        EXPECT_GE(d, 0.0) << lat;
        EXPECT_LT(d, 0.2) << lat;
    }
    EXPECT_GT(aboveOne, 0); // the case the clamp is for does occur
    // One degree of latitude on the sphere of 6372795 m.
    EXPECT_NEAR(GreatCircleDistance(19.9, 50.0, 19.9, 51.0), 6372795.0 * std::numbers::pi / 180, 1e-3);
    // Antipodes: the cosine a hair below -1 must give half the circumference.
    EXPECT_NEAR(GreatCircleDistance(0, 0, 180, 0), 6372795.0 * std::numbers::pi, 1e-3);
    EXPECT_EQ(GreatCircleDistance(0, std::nan(""), 0, 0), -1);
}

TEST(Duplicates, ThreeCloseRowsAndZeroDistance)
{
    const auto pts = pointsOf({{1993500, 5006200}, {1993510, 5006200}, {1993520, 5006200}});
    for (auto *find : {&findDuplicates, &findDuplicatesPairwise}) {
        const DuplicateResult r = find(pts, 50, {});
        EXPECT_EQ(r.dupOf[2], 1);
        EXPECT_EQ(r.dupOf[3], 1); // not 2: row 3 was already taken when row 2 was the reference
        EXPECT_TRUE(r.hasDuplicates[1]);
        EXPECT_FALSE(r.hasDuplicates[2]);
        EXPECT_EQ(r.firstGroupRow, 1);
        const DuplicateResult none = find(pts, 0, {});
        EXPECT_EQ(none.duplicateCount, 0);
        EXPECT_EQ(none.firstGroupRow, -1);
    }
}

TEST(Duplicates, ChainsAndMarksOnATable)
{
    // Row 3 is 40 m from row 2 but 80 m from row 1: row 2 (itself a duplicate) is
    // then its reference. The table marks follow.
    const double perMetre = 1.0 / (6372795.0 * std::numbers::pi / 180) * 100000;
    const int lat = 0;
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({"", "LP", "", "", ""});
    for (int m : {0, 40, 80, 100000})
        t.AppendFields({"", QString::number(int(std::lround(m * perMetre))), QString::number(lat), "d", "2/0"});
    t.SetFlags(3, 1, 0x180); // an old mark; the search clears the low byte first
    const DuplicateResult r = findDuplicates(poiRowPoints(t), 50);
    expectSame(r, findDuplicatesPairwise(poiRowPoints(t), 50), "chain");
    EXPECT_EQ(r.dupOf[2], 1);
    EXPECT_EQ(r.dupOf[3], 2);
    EXPECT_EQ(r.dupOf[4], 0);
    clearPaletteBits(t);
    applyDuplicateMarks(t, r);
    EXPECT_EQ(t.Flags(1, 1), 0x40u);
    EXPECT_EQ(t.Flags(3, 1), 0x140u);
    EXPECT_EQ(t.Flags(4, 2), 0xC0u); // duplicate and reference: 0xC0 | 0x40
    EXPECT_EQ(t.Cell(4, 2), ">1");
    EXPECT_EQ(t.Cell(4, 3), ">2");
    EXPECT_EQ(t.Cell(4, 4), "2/0");
    EXPECT_EQ(t.Flags(1, 4), 0u);
}

TEST(Duplicates, CellIndexMatchesPairwiseLoopOnRandomLists)
{
    std::mt19937 rng(20261209);
    struct Case {
        const char *name;
        int count;
        double spreadDeg; // around the centre
        double lon, lat;
        double maxDistance;
    };
    const Case cases[] = {
        {"dense city", 3000, 0.02, 19.94, 50.06, 50},
        {"country", 3000, 3.0, 19.0, 52.0, 5000},
        {"pole", 1500, 1.0, 0, 89.5, 3000},
        {"date line", 1500, 0.5, 179.8, -16.0, 2000},
        {"one metre", 2000, 0.0005, 10, 45, 1},
        {"whole earth huge distance", 600, 180, 0, 0, 15e6},
    };
    for (const Case &c : cases) {
        std::uniform_real_distribution<double> d(-c.spreadDeg, c.spreadDeg);
        std::vector<GeoDegrees> pts(1);
        for (int i = 0; i < c.count; ++i) {
            // Coordinates are whole OV2 units, and repeat now and then, as real lists do.
            if (i > 10 && rng() % 8 == 0) {
                pts.push_back(pts[1 + rng() % (pts.size() - 1)]);
                continue;
            }
            double lon = c.lon + d(rng), lat = c.lat + d(rng) / 2;
            if (lon > 180)
                lon -= 360;
            pts.push_back({std::trunc(lon * 100000) / 100000, std::trunc(lat * 100000) / 100000});
        }
        const DuplicateResult fast = findDuplicates(pts, c.maxDistance);
        const DuplicateResult slow = findDuplicatesPairwise(pts, c.maxDistance);
        expectSame(fast, slow, c.name);
        EXPECT_GT(slow.duplicateCount, 0) << c.name;
    }
}

TEST(Duplicates, DistancesAtTheEdgeAndOddCoordinates)
{
    // Pairs right around the limit decide the same way in both; so do latitudes
    // beyond 90 degrees, which the lists may hold and the formula accepts.
    std::mt19937 rng(7);
    std::vector<GeoDegrees> pts(1);
    for (int i = 0; i < 800; ++i) {
        const double lat = 50 + (rng() % 1000) * 1e-5;
        pts.push_back({20.0, lat});
        pts.push_back({20.0, lat + (rng() % 3 + 44) * 1e-5}); // 49 .. 53 m north
    }
    for (int i = 0; i < 300; ++i)
        pts.push_back({double(int(rng() % 40000000) - 20000000) / 100000, double(int(rng() % 40000000) - 20000000) / 100000});
    for (double m : {49.0, 50.0, 51.0, 52.5, 200000.0})
        expectSame(findDuplicates(pts, m), findDuplicatesPairwise(pts, m), "edge");
}

TEST(Duplicates, StepStopsTheSearch)
{
    std::vector<GeoDegrees> pts(1);
    for (int i = 0; i < 20000; ++i)
        pts.push_back({20 + i * 1e-5, 50});
    int calls = 0;
    const DuplicateResult r = findDuplicates(pts, 5, [&](int) { return ++calls == 2; });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(calls, 2);
    EXPECT_LT(r.duplicateCount, 19999);
    const DuplicateResult p = findDuplicatesPairwise(pts, 5, [&](int) { return true; });
    EXPECT_TRUE(p.cancelled);
    EXPECT_LT(p.duplicateCount, 10); // only row 1 was a reference
    // One reference taking a whole pile of one place can be stopped as well.
    const std::vector<GeoDegrees> pile(20001, GeoDegrees{19.935, 50.061});
    const DuplicateResult stopped = findDuplicates(pile, 50, [](int) { return true; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_GT(stopped.duplicateCount, 0);
    EXPECT_LT(stopped.duplicateCount, 10000);
    EXPECT_EQ(findDuplicates(pile, 50).duplicateCount, 19999);
}

namespace {

// A square of side x side points `metres` apart around (lon, lat), row by row.
void addGrid(std::vector<GeoDegrees> &pts, int side, double metres, double lon, double lat)
{
    const double degLat = metres / (6372795.0 * std::numbers::pi / 180);
    const double degLon = degLat / std::cos(lat * std::numbers::pi / 180);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pts.push_back({lon + x * degLon, lat + y * degLat});
}

} // namespace

TEST(Duplicates, DenseClustersMatchThePairwiseLoop)
{
    // Lists where most rows are duplicates: grids far denser than the distance, in
    // list order and shuffled, piles of one point, clusters of a few metres. Rows
    // taken early leave the search, so these are the lists where a slip in that
    // bookkeeping shows.
    std::mt19937 rng(11);
    for (int round = 0; round < 4; ++round) {
        std::vector<GeoDegrees> pts(1);
        addGrid(pts, 40, 1.0, 19.9, 50.0);
        addGrid(pts, 25, 3.0, 19.9 + (rng() % 100) * 1e-5, 50.0 + (rng() % 100) * 1e-5); // overlapping
        std::uniform_real_distribution<double> jitter(-4e-5, 4e-5);
        for (int c = 0; c < 30; ++c) {
            const GeoDegrees centre{19.9 + (rng() % 200) * 1e-5, 50.0 + (rng() % 200) * 1e-5};
            const int members = 1 + int(rng() % 60);
            for (int k = 0; k < members; ++k)
                pts.push_back(rng() % 3 ? GeoDegrees{centre.lon + jitter(rng), centre.lat + jitter(rng)} : centre);
        }
        if (round % 2)
            std::shuffle(pts.begin() + 1, pts.end(), rng);
        for (double m : {1.0, 5.0, 50.0, 120.0}) {
            const DuplicateResult fast = findDuplicates(pts, m);
            expectSame(fast, findDuplicatesPairwise(pts, m), "clusters");
            EXPECT_GT(fast.duplicateCount, int(pts.size()) / 4) << m;
        }
    }
}

TEST(Duplicates, RowsAlreadyTakenCostNothingOnADenseGrid)
{
    // 1 m apart, 50 m distance: every row has thousands of rows within the distance.
    // A taken row is looked at when it is taken and not again; what is left are the
    // rows just beyond a reference's reach, about a thousand per row whatever the
    // size of the grid. (Walking the taken rows again costs 2,300 per row on the
    // small grid, 7,000 on the larger one, and 10,000 on a million.)
    for (int side : {150, 300}) {
        std::vector<GeoDegrees> pts(1);
        addGrid(pts, side, 1.0, 19.9, 50.0);
        const DuplicateResult r = findDuplicates(pts, 50);
        EXPECT_EQ(r.duplicateCount, side * side - 1);
        EXPECT_LT(r.examined, qint64(side) * side * 1500) << side;
    }
}

TEST(Duplicates, PairsRightAtTheDistanceAreFound)
{
    // The distance is set a hair above the formula's own value for the pair, so the
    // pair is near by the formula however it rounds; the cell search must not lose
    // it through its own bound, at any scale and anywhere on the earth.
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> lat(-89.9, 89.9), lon(-180, 180), offset(-1, 1);
    for (int i = 0; i < 3000; ++i) {
        const double scale = std::pow(10.0, -7 + int(rng() % 8)); // about 1 cm .. 1000 km
        const GeoDegrees a{lon(rng), lat(rng)};
        const GeoDegrees b{a.lon + offset(rng) * scale, a.lat + offset(rng) * scale};
        const double d = GreatCircleDistance(a.lon, a.lat, b.lon, b.lat);
        if (d < 0)
            continue;
        const DuplicateResult r = findDuplicates({{}, a, b}, std::nextafter(d, 1e300));
        ASSERT_EQ(r.dupOf[2], 1) << a.lon << ' ' << a.lat << " -> " << b.lon << ' ' << b.lat << ": " << d;
        EXPECT_EQ(findDuplicates({{}, a, b}, d).dupOf[2], 0) << d;
    }
}
