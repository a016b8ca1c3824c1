// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's measurements follow the rows of its table through every row operation.
#include "grid/RBGridMeasures.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A measure derived from the cell's text: wherever the text goes, its measure must go.
quint16 widthOf(QStringView text)
{
    return quint16(qHash(text) % 60000 + 1);
}

void measureAll(const TRBParamsTable &t, TRBGridMeasures &m, int col)
{
    for (int r = 0; r < t.RowCount(); ++r)
        m.set(col, r, widthOf(t.Row(r).FieldView(col)), quint16(r % 7 + 1));
}

void expectFollowed(const TRBParamsTable &t, const TRBGridMeasures &m, const char *step)
{
    for (int r = 0; r < t.RowCount(); ++r) {
        const QStringView a = t.Row(r).FieldView(1), b = t.Row(r).FieldView(3);
        // Unmeasured cells (new rows) read 0; measured ones match their text.
        if (m.width(1, r) != 0)
            ASSERT_EQ(m.width(1, r), widthOf(a)) << step << " row " << r;
        else
            ASSERT_TRUE(a.startsWith(u"new")) << step << " row " << r;
        if (m.width(3, r) != 0)
            ASSERT_EQ(m.width(3, r), widthOf(b)) << step << " row " << r;
        ASSERT_EQ(m.width(2, r), 0) << "column 2 was never measured";
    }
}

TEST(RBGridMeasures, FollowRandomRowOperations)
{
    TRBParamsTable t;
    TRBGridMeasures m;
    t.SetFollower(&m);
    t.SetColCount(4);
    t.SetRowCount(1);
    for (int i = 0; i < 300; ++i)
        t.AppendFields({QString(), QStringLiteral("a%1").arg(i), QStringLiteral("x"), QStringLiteral("b%1").arg(i * 7)});
    measureAll(t, m, 1);
    measureAll(t, m, 3);
    expectFollowed(t, m, "fill");

    std::mt19937 rng(7);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    int added = 0;
    for (int step = 0; step < 400; ++step) {
        const int n = t.RowCount();
        switch (pick(8)) {
        case 0: {
            const int at = pick(n + 1), k = pick(4) + 1;
            t.InsertRows(at, k);
            for (int i = 0; i < k; ++i)
                t.Row(at + i) = TRBParams{QString(), QStringLiteral("new%1").arg(added++), QString(), QString()};
            break;
        }
        case 1:
            t.DeleteRow(pick(n));
            break;
        case 2:
            t.MoveRow(pick(n), pick(n));
            break;
        case 3: {
            std::vector<char> take(size_t(n), 0);
            for (int i = 0; i < 5; ++i)
                take[size_t(pick(n))] = 1;
            TRBParamsTable::RowSet set = t.TakeRows(take);
            expectFollowed(t, m, "take");
            if (pick(2))
                t.PutRows(std::move(set));
            break;
        }
        case 4: {
            std::vector<int> order(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                order[size_t(i)] = i;
            std::shuffle(order.begin(), order.end(), rng);
            t.Permute(order);
            break;
        }
        case 5: {
            // The texts move apart from the records here, as the itinerary swaps points.
            const int a = pick(n), b = pick(n);
            std::swap(t.Row(a), t.Row(b));
            t.ExchangeCells(a, b, 0);
            break;
        }
        case 6: {
            std::vector<char> remove(size_t(n), 0);
            remove[size_t(pick(n))] = 1;
            t.RemoveRows(remove);
            break;
        }
        case 7: {
            t.AppendFields({QString(), QStringLiteral("new%1").arg(added++), QString(), QString()});
            break;
        }
        }
        if (t.RowCount() < 20)
            for (int i = 0; i < 20; ++i)
                t.AppendFields({QString(), QStringLiteral("new%1").arg(added++), QString(), QString()});
        expectFollowed(t, m, "step");
        if (step % 50 == 0) {
            measureAll(t, m, 1);
            measureAll(t, m, 3);
        }
    }
}

} // namespace
