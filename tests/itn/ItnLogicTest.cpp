// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/ItnLogic.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Itn;

namespace {
TRBParamsTable pointTable(const std::vector<std::pair<int, int>> &pts)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({QStringLiteral("LP")});
    int i = 0;
    for (const auto &[lon, lat] : pts) {
        ++i;
        t.AppendFields({QString::number(i), QString::number(lon), QString::number(lat), QStringLiteral("p%1").arg(i),
                        QString::number(i % 5)});
    }
    return t;
}
} // namespace

TEST(ItnDistance, LawOfCosinesWithClamp)
{
    // One degree of latitude on the sphere of 6372795 m.
    EXPECT_NEAR(GreatCircleDistance({19.9, 50.0}, {19.9, 51.0}), 6372795.0 * 3.14159265358979 / 180, 0.01);
    // Identical points: the cosine rounds above 1; clamped, they are 0 m apart.
    for (const GeoDegrees p : {GeoDegrees{19.93730, 50.06170}, GeoDegrees{-3.7, 40.4}, GeoDegrees{151.2, -33.8}})
        EXPECT_EQ(GreatCircleDistance(p, p), 0.0);
    EXPECT_NEAR(GreatCircleDistance({0, 0}, {180, 0}), 6372795.0 * 3.14159265358979, 1);
    EXPECT_EQ(GreatCircleDistance({std::nan(""), 0}, {0, 0}), -1);
}

TEST(ItnDuplicates, NearPointsAreMarkedAndTheFirstOfAGroupIsNot)
{
    // 1993500 and 1993512 at latitude 50.062 are about 8.6 m apart.
    const TRBParamsTable t = pointTable({{1993500, 5006200}, {1993512, 5006200}, {2000000, 5006200}});
    DuplicateMarks m = findDuplicates(t, 10);
    EXPECT_EQ(m.bits, (std::vector<quint32>{0, 0x40, 0xC0, 0}));
    EXPECT_EQ(m.firstGroupRow, 1);
    m = findDuplicates(t, 0);
    EXPECT_EQ(m.bits, (std::vector<quint32>{0, 0, 0, 0}));
    EXPECT_EQ(m.firstGroupRow, -1);
    // Exact duplicates are found (they were -1 m apart before the clamp).
    m = findDuplicates(pointTable({{1993730, 5006170}, {1993730, 5006170}}), 1);
    EXPECT_EQ(m.bits, (std::vector<quint32>{0, 0x40, 0xC0}));
}

TEST(ItnDuplicates, APointBelongsToOneGroupAndEscapeStops)
{
    // A chain 7 m apart: 1-2 and 1-3 are within 15 m, 2-3 too but 3 is taken.
    const TRBParamsTable t = pointTable({{1993500, 5006200}, {1993510, 5006200}, {1993520, 5006200},
                                         {1993540, 5006200}});
    const DuplicateMarks m = findDuplicates(t, 25);
    EXPECT_EQ(m.bits[1], 0x40u);
    EXPECT_EQ(m.bits[2], 0xC0u);
    EXPECT_EQ(m.bits[3], 0xC0u);
    // 4 is 28 m from 1 but 20 m from 2: row 2 (itself a duplicate) heads it.
    EXPECT_EQ(m.bits[4], 0xC0u);
    EXPECT_EQ(m.firstGroupRow, 1);

    // Pairs of points 10 m apart, the pairs far from each other. The search asks
    // now and then whether to stop; a stop at the first question leaves the later
    // pairs unmarked and the earlier ones marked.
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < 3000; ++i)
        pairs.insert(pairs.end(), {{1400000 + i * 1000, 5000000}, {1400000 + i * 1000, 5000009}});
    int calls = 0;
    const DuplicateMarks stopped = findDuplicates(pointTable(pairs), 25, [&](int) { return ++calls == 1; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(stopped.bits[1], 0x40u);
    EXPECT_EQ(stopped.bits[2], 0xC0u);
    EXPECT_EQ(stopped.bits[5999], 0u);
    EXPECT_EQ(stopped.bits[6000], 0u);
}

TEST(ItnReverse, FivePointsWithTheirFlagsAndMarks)
{
    TRBParamsTable t = pointTable({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
    for (int c = 1; c < 5; ++c)
        t.SetFlags(c, 1, 0x30);
    t.SetFlags(0, 1, 0x7);
    EXPECT_EQ(reverseRows(t), 2);
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(t.Cell(0, r), QString::number(r)) << "number stays";
        EXPECT_EQ(t.Cell(1, r), QString::number(6 - r));
        EXPECT_EQ(t.Cell(3, r), QStringLiteral("p%1").arg(6 - r));
        EXPECT_EQ(t.Cell(4, r), QString::number((6 - r) % 5)) << "flag travels unchanged";
    }
    EXPECT_EQ(t.Flags(1, 5), 0x30u);
    EXPECT_EQ(t.Flags(4, 5), 0x30u);
    EXPECT_EQ(t.Flags(1, 1), 0u);
    EXPECT_EQ(t.Flags(0, 1), 0x7u) << "the number column's record stays";
}

TEST(ItnReverse, EmptyLastRowEndsFirstAndNamesSurviveAsTheyAre)
{
    TRBParamsTable t = pointTable({{1, 1}, {2, 2}});
    t.SetCell(3, 1, QStringLiteral("Bar \"Pod Lipą\", 2 ")); // quotes, comma, trailing blank
    t.AppendFields({QStringLiteral("3")});
    reverseRows(t);
    EXPECT_TRUE(t.Cell(1, 1).isEmpty());
    EXPECT_EQ(t.Cell(0, 1), "1");
    EXPECT_EQ(t.Cell(3, 3), QStringLiteral("Bar \"Pod Lipą\", 2 "));
    EXPECT_EQ(t.Cell(0, 3), "3");
    int calls = 0;
    TRBParamsTable u = pointTable({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}});
    EXPECT_EQ(reverseRows(u, [&](int) { return ++calls == 1; }), 1) << "Escape stops after the pair";
    EXPECT_EQ(u.Cell(1, 1), "6");
    EXPECT_EQ(u.Cell(1, 2), "2");
}

TEST(ItnSwap, DropRulesAndExchange)
{
    EXPECT_TRUE(canSwap(1, 3, 4));
    EXPECT_FALSE(canSwap(2, 2, 4));
    EXPECT_FALSE(canSwap(0, 2, 4));
    EXPECT_FALSE(canSwap(1, 4, 4));
    TRBParamsTable t = pointTable({{1, 1}, {2, 2}, {3, 3}});
    t.SetFlags(2, 3, 0xC0);
    swapPoints(t, 1, 3);
    EXPECT_EQ(t.Cell(1, 1), "3");
    EXPECT_EQ(t.Cell(1, 3), "1");
    EXPECT_EQ(t.Cell(1, 2), "2");
    EXPECT_EQ(t.Flags(2, 1), 0xC0u);
    EXPECT_EQ(t.Flags(2, 3), 0u);
}

TEST(ItnFind, NameColumnBothWaysAndCase)
{
    TRBParamsTable t = pointTable({{1, 1}, {2, 2}, {3, 3}});
    t.SetCell(3, 1, "Rynek");
    t.SetCell(3, 2, "Wawel");
    t.SetCell(3, 3, "rynek dolny");
    t.SetCell(1, 2, "Rynek"); // not the name column
    EXPECT_EQ(findName(t, 1, "rynek", true, false), 3);
    EXPECT_EQ(findName(t, 0, "rynek", true, false), 1);
    EXPECT_EQ(findName(t, 1, "Rynek", true, true), -1);
    EXPECT_EQ(findName(t, 3, "RYNEK", false, false), 1);
    EXPECT_EQ(findName(t, 1, "rynek", false, false), -1);
}
