// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParamsTable.h"
#include "core/RBRowStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

QString nameOf(int r)
{
    return QStringLiteral("POI %1 ").arg(r) + QString(r % 37, QLatin1Char('a' + r % 26));
}

// Rows as a reader appends them: many chunks, rows of varying length.
std::unique_ptr<TRBParamsTable> filled(int rows)
{
    auto t = std::make_unique<TRBParamsTable>();
    t->SetColCount(5);
    t->SetRowCount(1);
    for (int r = 1; r <= rows; ++r) {
        const QString lon = QString::number(-r * 7), name = nameOf(r);
        t->AppendFields({QStringView(), QStringView(lon), QStringView(u"12"), QStringView(name), QStringView(u"*2/1")});
    }
    return t;
}

// Freed memory gets new contents, so a row still pointing at it would show garbage.
void churnTheHeap()
{
    std::vector<QString> junk;
    for (int i = 0; i < 2000; ++i)
        junk.push_back(QString(1000 + i, QLatin1Char('#')));
}

TEST(RBRowStore, PackedRowsReadBackAcrossChunks)
{
    const auto t = filled(200000);
    ASSERT_EQ(t->RowCount(), 200001);
    for (int r = 1; r <= 200000; r += 997) {
        const TRBParams &row = t->Row(r);
        ASSERT_EQ(row.Count(), 5);
        EXPECT_TRUE(row.FieldView(0).isEmpty());
        EXPECT_EQ(row.FieldView(1), QString::number(-r * 7));
        EXPECT_EQ(row.FieldView(3), nameOf(r));
        EXPECT_EQ(row.FieldView(4), u"*2/1");
    }
    EXPECT_EQ(t->Row(200000).ToStringList(),
              (QStringList{QString(), QString::number(-1400000), "12", nameOf(200000), "*2/1"}));
}

TEST(RBRowStore, ChangingOneRowLeavesItsNeighboursAlone)
{
    const auto t = filled(50);
    t->Row(10).SetField(3, QStringLiteral("a much longer description than before"));
    t->Row(11).SetField(1, QStringLiteral("-00")); // same length: written in place
    t->Row(12).Truncate(2);
    t->Row(13).Insert(0, u"new");
    t->Row(14).ExchangeFields(1, 3);
    EXPECT_EQ(t->Cell(3, 10), QStringLiteral("a much longer description than before"));
    EXPECT_EQ(t->Cell(1, 11), QStringLiteral("-00"));
    EXPECT_EQ(t->Row(12).Count(), 2);
    EXPECT_EQ(t->Cell(0, 13), QStringLiteral("new"));
    EXPECT_EQ(t->Cell(1, 14), nameOf(14));
    for (int r : {9, 15, 16}) {
        EXPECT_EQ(t->Cell(1, r), QString::number(-r * 7));
        EXPECT_EQ(t->Cell(3, r), nameOf(r));
    }
    EXPECT_EQ(t->Cell(3, 11), nameOf(11));
    EXPECT_EQ(t->Cell(1, 12), QString::number(-84));
}

TEST(RBRowStore, RowsOutliveTheirTableAndCanStillChange)
{
    std::vector<TRBParams> kept;
    {
        const auto t = filled(5000);
        for (int r = 1; r <= 5000; r += 500)
            kept.push_back(t->Row(r));
    }
    churnTheHeap();
    for (size_t i = 0; i < kept.size(); ++i) {
        const int r = 1 + int(i) * 500;
        EXPECT_EQ(kept[i].FieldView(3), nameOf(r));
        // The last holder of a chunk may write into it; the others see no change.
        kept[i].SetField(3, kept[i].GetField(3) + QStringLiteral(" grown"));
        kept[i].SetField(1, QStringLiteral("x"));
    }
    churnTheHeap();
    for (size_t i = 0; i < kept.size(); ++i) {
        const int r = 1 + int(i) * 500;
        EXPECT_EQ(kept[i].GetField(3), nameOf(r) + QStringLiteral(" grown"));
        EXPECT_EQ(kept[i].GetField(1), QStringLiteral("x"));
        EXPECT_EQ(kept[i].GetField(4), QStringLiteral("*2/1"));
    }
}

TEST(RBRowStore, CopiedTablesAppendIntoChunksOfTheirOwn)
{
    TRBParamsTable a;
    a.AppendFields({QString("one"), QString("two")});
    TRBParamsTable b = a;
    a.AppendFields({QString("from a")});
    b.AppendFields({QString("from b"), QString("b2")});
    TRBParamsTable c;
    c = b;
    c.AppendFields(QStringList{"from c"});
    EXPECT_EQ(a.Cell(0, 1), QStringLiteral("from a"));
    EXPECT_EQ(b.Cell(0, 1), QStringLiteral("from b"));
    EXPECT_EQ(b.Cell(1, 1), QStringLiteral("b2"));
    EXPECT_EQ(c.Cell(0, 2), QStringLiteral("from c"));
    EXPECT_EQ(c.Cell(0, 1), QStringLiteral("from b"));
    for (const TRBParamsTable *t : {&a, &b, &c})
        EXPECT_EQ(t->Row(0).ToStringList(), (QStringList{"one", "two"}));
}

TEST(RBRowStore, RowsLargerThanAChunkAndEmptyRows)
{
    TRBRowStore store;
    const QString huge(300000, QLatin1Char('h'));
    const TRBParams small = store.Pack({QStringView(u"a")});
    const TRBParams big = store.Pack({QStringView(huge), QStringView(u"tail")});
    const TRBParams none = store.Pack(std::initializer_list<QStringView>{});
    const TRBParams after = store.Pack({QStringView(u"b"), QStringView()});
    store.Release();
    EXPECT_EQ(small.GetField(0), QStringLiteral("a"));
    EXPECT_EQ(big.GetField(0), huge);
    EXPECT_EQ(big.GetField(1), QStringLiteral("tail"));
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(after.Count(), 2);
    EXPECT_EQ(after.GetField(0), QStringLiteral("b"));
    EXPECT_EQ(after.Text(), QStringLiteral("b\r\n\r\n"));
}

// A row's place in its chunk has 24 bits: rows packed on past the largest chunk's
// size must land in a new chunk, not wrap round to the start of the full one.
TEST(RBRowStore, RowsPackedPastTheLargestChunkReadBack)
{
    TRBRowStore store;
    std::vector<TRBParams> rows;
    const int n = 440; // ~28.6M units: every chunk size, the largest one full
    for (int i = 0; i < n; ++i) {
        const QString text(65000 - i, QChar(u'A' + i % 26));
        rows.push_back(store.Pack({QStringView(text), QStringView(QString::number(i))}));
    }
    store.Release();
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(rows[size_t(i)].Count(), 2) << i;
        const QStringView text = rows[size_t(i)].FieldView(0);
        ASSERT_EQ(text.size(), 65000 - i) << i;
        ASSERT_EQ(text.front(), QChar(u'A' + i % 26)) << i;
        ASSERT_EQ(text.back(), QChar(u'A' + i % 26)) << i;
        ASSERT_EQ(rows[size_t(i)].FieldView(1), QString::number(i)) << i;
    }
}

// Packed rows keep field ends in a byte or one QChar as their length allows; every
// operation must give what it gives on a row built the ordinary way.
TEST(RBRowStore, PackedRowsBehaveAsOrdinaryRows)
{
    const QString longText(300, QLatin1Char('l')); // past what a byte end holds
    const std::vector<QStringList> rows = {
        {"", "-1993500", "5006200", "Rynek, Kraków", "*2/1"},
        {"12", "-1993500", "5006200", "Rynek, Kraków", "*2/1", "even"},
        {"", "-1993500", "5006200", longText, "*2/1"},
        {QString(255, QLatin1Char('x'))},
    };
    const std::vector<std::function<void(TRBParams &)>> operations = {
        [](TRBParams &r) { r.SetField(3, QStringLiteral("longer description")); },
        [](TRBParams &r) { r.SetField(1, QStringLiteral("-1")); },
        [](TRBParams &r) { r.SetField(2, QStringLiteral("1234567")); },
        [](TRBParams &r) { r.SetField(7, QStringLiteral("past\r\nthe end")); },
        [](TRBParams &r) { r.Append(u"appended"); },
        [](TRBParams &r) { r.Insert(2, u"inserted"); },
        [](TRBParams &r) { r.Delete(1); },
        [](TRBParams &r) { r.Delete(4); },
        [](TRBParams &r) { r.Truncate(3); },
        [](TRBParams &r) { r.ExchangeFields(1, 4); },
        [](TRBParams &r) { r.ParseFields(u"a|\"b|c\"| d ", 2, TRBCharSet{'|'}, u"\"", TRBCharSet{' '}); },
        [](TRBParams &r) { r.SplitText(u"x;y", u";", TRBCharSet{}); },
        [](TRBParams &r) { r.Clear(); },
        [](TRBParams &r) { r.SetValue(QStringLiteral("key"), QStringLiteral("value")); },
    };
    TRBRowStore store;
    for (const QStringList &fields : rows) {
        for (size_t k = 0; k < operations.size(); ++k) {
            TRBParams packed = store.Pack(fields);
            TRBParams ordinary(fields);
            ASSERT_EQ(packed, ordinary);
            EXPECT_EQ(packed.JoinFields(1, u',', u"\""), ordinary.JoinFields(1, u',', u"\""));
            EXPECT_EQ(packed.Text(), ordinary.Text());
            EXPECT_EQ(packed.GetValue(u"x"), ordinary.GetValue(u"x"));
            operations[k](packed);
            operations[k](ordinary);
            EXPECT_EQ(packed.ToStringList(), ordinary.ToStringList()) << "operation " << k;
            EXPECT_EQ(packed, ordinary) << "operation " << k << " on " << fields.size() << " fields";
            packed.SetField(0, QStringLiteral("again")); // and the changed row changes on
            ordinary.SetField(0, QStringLiteral("again"));
            EXPECT_EQ(packed, ordinary) << "operation " << k << " on " << fields.size() << " fields";
        }
    }
    // A row with more text than a narrow end can hold.
    const QString big(70000, QLatin1Char('b'));
    TRBParams wide = store.Pack({QStringView(big), QStringView(u"after")});
    EXPECT_EQ(wide.GetField(1), QStringLiteral("after"));
    wide.Delete(0);
    EXPECT_EQ(wide.ToStringList(), QStringList{"after"});
}

// Status records are created on the first non-zero write; every row operation before
// and after must keep them beside their rows.
TEST(RBParamsTable, StatusCreatedLateStaysWithItsRows)
{
    const auto t = filled(10);
    EXPECT_EQ(t->Flags(2, 5), 0u);
    t->SetFlags(2, 5, 0); // zero needs no records
    t->SetAlignment(1, 1, 0);
    t->InsertRows(3, 2);
    t->MoveRow(1, 12);
    t->DeleteRow(4);
    std::vector<char> remove(size_t(t->RowCount()), 0);
    remove[2] = 1;
    t->RemoveRows(remove);
    t->SetColCount(7);
    EXPECT_EQ(t->Status(6, 11), TRBCellStatus());

    // Rows now: 0, 2, one inserted, 4, 5, ..., 10, 1.
    ASSERT_EQ(t->RowCount(), 11);
    EXPECT_EQ(t->Cell(3, 10), nameOf(1));
    EXPECT_EQ(t->Cell(3, 3), nameOf(4));
    t->SetFlags(6, 10, 0x80);
    t->SetAlignment(3, 3, 7);
    EXPECT_EQ(t->Flags(6, 10), 0x80u);
    EXPECT_EQ(t->Alignment(3, 3), 7);
    EXPECT_EQ(t->Flags(6, 9), 0u);
    t->MoveRow(10, 1);
    t->InsertRow(1);
    t->AppendFields({QString("last")});
    // Now: 0, inserted, 1, 2, inserted, 4, ..., 10, last.
    EXPECT_EQ(t->Cell(3, 2), nameOf(1));
    EXPECT_EQ(t->Flags(6, 2), 0x80u);
    EXPECT_EQ(t->Cell(3, 5), nameOf(4));
    EXPECT_EQ(t->Alignment(3, 5), 7);
    EXPECT_EQ(t->Flags(6, 1), 0u);
    EXPECT_EQ(t->Flags(6, 11), 0u);
    EXPECT_EQ(t->Flags(6, 12), 0u);
    EXPECT_EQ(t->Cell(0, 12), QStringLiteral("last"));
}

} // namespace

// Rewriting one column of many rows (the grid's numbers): packed rows go into the
// table's chunks, rows of their own change in place, and no row shares a change
// with a copy taken before it.
TEST(RBRowStore, SetCellPackedChangesOnlyItsRow)
{
    const auto t = filled(3000);
    const TRBParams before = t->Row(7); // shares the chunk with row 7
    for (int r = 1; r <= 3000; ++r)
        t->SetCellPacked(0, r, QString::number(r));
    churnTheHeap();
    EXPECT_TRUE(before.FieldView(0).isEmpty());
    for (int r = 1; r <= 3000; r += 7) {
        const TRBParams &row = t->Row(r);
        ASSERT_EQ(row.Count(), 5);
        EXPECT_EQ(row.ToStringList(), (QStringList{QString::number(r), QString::number(-r * 7), "12", nameOf(r), "*2/1"}));
    }

    // A row of its own, then shared with a copy: the copy keeps its text.
    TRBParams &own = t->Row(20);
    own.SetField(3, QStringLiteral("own buffer"));
    own.SetNameValueSeparator(u':');
    const TRBParams copy = own;
    t->SetCellPacked(0, 20, u"99");
    EXPECT_EQ(copy.FieldView(0), u"20");
    EXPECT_EQ(t->Row(20).FieldView(0), u"99");
    EXPECT_EQ(t->Row(20).FieldView(3), u"own buffer");
    EXPECT_EQ(t->Row(20).NameValueSeparator(), u':');
    t->SetCellPacked(0, 20, u"98"); // alone now: in place
    EXPECT_EQ(t->Row(20).ToStringList(), (QStringList{"98", QString::number(-140), "12", "own buffer", "*2/1"}));

    // Past the last field the row grows as SetCell grows it.
    t->Row(30).Truncate(1);
    t->SetCellPacked(3, 30, u"far");
    EXPECT_EQ(t->Row(30).ToStringList(), (QStringList{"30", QString(), QString(), "far"}));
    // Text past 64K characters keeps every field.
    const QString big(70000, u'x');
    t->SetCellPacked(3, 40, big);
    t->SetCellPacked(0, 40, u"4000000");
    EXPECT_EQ(t->Row(40).ToStringList(), (QStringList{"4000000", QString::number(-280), "12", big, "*2/1"}));
}
