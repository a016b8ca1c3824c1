// SPDX-License-Identifier: GPL-3.0-or-later
// The itinerary's duplicate marks from the shared indexed search are the marks of
// the itinerary editor's former pairwise loop, the reference in tests/support.
#include "itn/ItnLogic.h"
#include "tests/support/ItnPairwiseMarks.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TRBParamsTable randomItinerary(std::mt19937 &rng, int points, int spread)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({QStringLiteral("LP")});
    std::uniform_int_distribution<int> off(-spread, spread), pick(0, 9);
    int lon = 1993500, lat = 5006200;
    for (int i = 1; i <= points; ++i) {
        // Mostly a walk of small steps, now and then a jump, a repeat, a pole or the
        // date line, and cells that are no number.
        switch (pick(rng)) {
        case 0:
            lon = std::uniform_int_distribution<int>(-18000000, 18000000)(rng);
            lat = std::uniform_int_distribution<int>(-9000000, 9000000)(rng);
            break;
        case 1:
            break; // the same point again
        case 2:
            lon = 17999990 + off(rng) % 20;
            break;
        case 3:
            lat = 8999990;
            break;
        default:
            lon += off(rng);
            lat = std::clamp(lat + off(rng), -9000000, 9000000);
        }
        const QString lonText = pick(rng) == 0 ? QStringLiteral("x") : QString::number(lon);
        t.AppendFields({QString::number(i), lonText, QString::number(lat), QStringLiteral("p%1").arg(i),
                        QStringLiteral("0")});
    }
    return t;
}

TEST(ItnDuplicates, IndexedSearchMarksAsThePairwiseLoop)
{
    std::mt19937 rng(20261210);
    for (int round = 0; round < 60; ++round) {
        const int points = 2 + int(rng() % 700);
        const int spread = 1 + int(rng() % 60);
        const TRBParamsTable t = randomItinerary(rng, points, spread);
        for (double maxDistance : {0.0, 1.0, 10.0, 55.5, 400.0}) {
            int firstGroup = 0;
            const std::vector<quint32> want = itnPairwiseMarks(t, maxDistance, &firstGroup);
            const Itn::DuplicateMarks got = Itn::findDuplicates(t, maxDistance);
            ASSERT_EQ(got.bits, want) << "round " << round << " distance " << maxDistance;
            ASSERT_EQ(got.firstGroupRow, firstGroup) << "round " << round;
            ASSERT_FALSE(got.stopped);
        }
    }
}

} // namespace
