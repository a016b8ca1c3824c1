// SPDX-License-Identifier: GPL-3.0-or-later
// Rows taken out of a table and put back, and new orders of the rows.
#include "core/RBParamsTable.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <numeric>

namespace {

TRBParamsTable table(int rows, bool flags)
{
    TRBParamsTable t;
    t.SetColCount(3);
    for (int r = 0; r < rows; ++r) {
        t.AppendFields({QString::number(r), QStringLiteral("a%1").arg(r), QStringLiteral("b%1").arg(r)});
        if (flags && r % 3 == 0)
            t.SetFlags(1, r, quint32(0x80 | r));
    }
    return t;
}

QString texts(const TRBParamsTable &t)
{
    QStringList out;
    for (int r = 0; r < t.RowCount(); ++r)
        out << t.Row(r).GetField(0) + u'|' + t.Row(r).GetField(1) + u'|' + t.Row(r).GetField(2) + u'|'
                   + QString::number(t.Flags(1, r));
    return out.join(u'\n');
}

} // namespace

TEST(RowSet, RowsTakenAndPutBackGiveTheSameTableWithOrWithoutCellRecords)
{
    QRandomGenerator rng(5);
    for (bool flags : {false, true}) {
        for (int round = 0; round < 20; ++round) {
            const int n = int(rng.bounded(1, 300));
            TRBParamsTable t = table(n, flags);
            const QString before = texts(t);
            std::vector<char> take(size_t(n), 0);
            int taken = 0;
            // Runs at both ends, single rows, everything.
            const int density = int(rng.bounded(0, 5));
            for (int r = 0; r < n; ++r)
                if (density == 4 || rng.bounded(4) < density)
                    taken += (take[size_t(r)] = 1);
            TRBParamsTable::RowSet set = t.TakeRows(take);
            ASSERT_EQ(int(set.size()), taken);
            ASSERT_EQ(t.RowCount(), n - taken);
            const QStringList rowsBefore = before.split(u'\n');
            const QStringList left = texts(t).split(u'\n');
            for (int r = 0, kept = 0; r < n && t.RowCount() > 0; ++r)
                if (!take[size_t(r)])
                    EXPECT_EQ(left[kept++], rowsBefore[r]);
            t.PutRows(std::move(set));
            EXPECT_EQ(texts(t), before) << "flags " << flags << " round " << round;
        }
    }
}

TEST(RowSet, RowsPutBackIntoATableThatGainedCellRecordsMeanwhileHaveEmptyRecords)
{
    TRBParamsTable t = table(10, false);
    TRBParamsTable::RowSet set = t.TakeRows({0, 1, 0, 0, 1});
    t.SetFlags(1, 0, 7); // the table creates its records now
    t.PutRows(std::move(set));
    ASSERT_EQ(t.RowCount(), 10);
    EXPECT_EQ(t.Row(1).GetField(1), QStringLiteral("a1"));
    EXPECT_EQ(t.Row(4).GetField(1), QStringLiteral("a4"));
    EXPECT_EQ(t.Flags(1, 0), 7u);
    EXPECT_EQ(t.Flags(1, 1), 0u);
    EXPECT_EQ(t.Flags(1, 4), 0u);
}

TEST(RowSet, APermutationAndItsInverseRestoreTheTable)
{
    TRBParamsTable t = table(50, true);
    const QString before = texts(t);
    std::vector<int> order(50);
    std::iota(order.begin(), order.end(), 0);
    std::reverse(order.begin() + 10, order.end());
    std::swap(order[0], order[3]);
    t.Permute(order);
    const QStringList rowsBefore = before.split(u'\n'), rows = texts(t).split(u'\n');
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(rows[i], rowsBefore[order[size_t(i)]]);
    std::vector<int> inverse(50);
    for (int i = 0; i < 50; ++i)
        inverse[size_t(order[size_t(i)])] = i;
    t.Permute(inverse);
    EXPECT_EQ(texts(t), before);
    t.Permute({1, 2}); // not a permutation of this table: ignored
    EXPECT_EQ(texts(t), before);
}
