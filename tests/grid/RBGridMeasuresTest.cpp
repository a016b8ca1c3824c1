// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's measurements follow the rows of its table through every row operation.
#include "grid/RBGridMeasures.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

namespace {

// A measure derived from the cell's text: wherever the text goes, its measure must go.
quint16 widthOf(QStringView text)
{
    return quint16(qHash(text) % 60000 + 1);
}

void measureAll(const TRBParamsTable &t, TRBGridMeasures &m, int col)
{
    for (int r = 0; r < t.RowCount(); ++r)
        m.set(col, r, widthOf(t.Row(r).FieldView(col)));
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

// One random row operation of those a grid makes; new rows' texts start with "new".
void randomStep(TRBParamsTable &t, std::mt19937 &rng, int &added,
                const std::function<void(const char *)> &check)
{
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
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
        check("take");
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
    int added = 0;
    for (int step = 0; step < 400; ++step) {
        randomStep(t, rng, added, [&](const char *what) { expectFollowed(t, m, what); });
        expectFollowed(t, m, "step");
        if (step % 50 == 0) {
            measureAll(t, m, 1);
            measureAll(t, m, 3);
        }
    }
}

// Columns measured in a few rows only (the header, scattered rows): the rows past
// a column's last measure read 0 through every operation, as measured ones keep
// their sizes.
TEST(RBGridMeasures, PartlyMeasuredColumnsFollowRowOperations)
{
    TRBParamsTable t;
    TRBGridMeasures m;
    t.SetFollower(&m);
    t.SetColCount(4);
    t.SetRowCount(1);
    for (int i = 0; i < 300; ++i)
        t.AppendFields({QString(), QStringLiteral("a%1").arg(i), QString(), QStringLiteral("b%1").arg(i)});
    // Column 1's text names the row wherever it goes.
    std::set<QString> in1, in3;
    auto measure = [&](int col, int r, std::set<QString> &in) {
        const QString key = t.Row(r).GetField(1);
        m.set(col, r, widthOf(key));
        in.insert(key);
    };
    for (int r = 0; r < 12; ++r)
        measure(1, r, in1);
    for (int r = 5; r < 200; r += 37)
        measure(3, r, in3);
    auto check = [&](const char *step) {
        for (int r = 0; r < t.RowCount(); ++r) {
            const QString key = t.Row(r).GetField(1);
            ASSERT_EQ(m.width(1, r), in1.count(key) ? widthOf(key) : 0) << step << " row " << r;
            ASSERT_EQ(m.width(3, r), in3.count(key) ? widthOf(key) : 0) << step << " row " << r;
            ASSERT_EQ(m.width(2, r), 0) << step << " row " << r;
        }
    };
    check("fill");

    std::mt19937 rng(11);
    int added = 0;
    for (int step = 0; step < 600; ++step) {
        randomStep(t, rng, added, check);
        check("step");
        if (step % 60 == 0)
            measure(3, int(rng() % unsigned(t.RowCount())), in3);
    }
}

// A long list whose header row is measured in every column holds a measure per row
// only for the column measured in every row (the numbers).
TEST(RBGridMeasures, HeaderMeasuresCostNothingPerRow)
{
    constexpr int rows = 100000;
    TRBParamsTable t;
    TRBGridMeasures m;
    t.SetFollower(&m);
    t.SetColCount(5);
    t.SetRowCount(1);
    for (int c = 0; c < 5; ++c)
        m.set(c, 0, 40);
    for (int i = 1; i < rows; ++i)
        t.AppendFields({QString(), QStringLiteral("x")});
    for (int r = 1; r < rows; ++r)
        m.set(0, r, 30);
    const size_t oneColumn = size_t(rows) * 2;
    EXPECT_LE(m.heldBytes(), oneColumn + 1024);
    // Sorting the rows below the header keeps it so.
    std::vector<int> order(rows);
    for (int i = 0; i < rows; ++i)
        order[size_t(i)] = i == 0 ? 0 : rows - i;
    t.Permute(order);
    EXPECT_LE(m.heldBytes(), oneColumn + 1024);
    // So does cutting rows and undoing it.
    std::vector<char> take(rows, 0);
    for (int r = 10; r < rows; r += 1000)
        take[size_t(r)] = 1;
    TRBParamsTable::RowSet cut = t.TakeRows(take);
    t.PutRows(std::move(cut));
    EXPECT_LE(m.heldBytes(), oneColumn + 1024);
    EXPECT_EQ(m.width(1, 0), 40);
    EXPECT_EQ(m.width(0, rows - 1), 30);
    EXPECT_EQ(m.width(1, rows - 1), 0);
}

} // namespace
