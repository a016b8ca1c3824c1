// SPDX-License-Identifier: GPL-3.0-or-later
// What ShowGoogleAPI sends for a POI list and for an itinerary.
#include "core/RBParamsTable.h"
#include "map/MapLists.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class Collected : public IMapCalls {
public:
    void send(const QString &call) override { calls << call; }
    QStringList calls;
};

TRBParamsTable list(std::initializer_list<std::array<const char16_t *, 3>> rows)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendRow();
    for (const auto &r : rows)
        t.AppendFields(QStringList{QString(), QString::fromUtf16(r[0]), QString::fromUtf16(r[1]),
                                   QString::fromUtf16(r[2])});
    return t;
}

void mark(TRBParamsTable &t, int row)
{
    for (int c = 1; c < t.ColCount(); ++c)
        t.SetFlags(c, row, t.Flags(c, row) | RBFlags::RowMark);
}

QStringList lines(std::initializer_list<const char16_t *> texts)
{
    QStringList out;
    for (const char16_t *t : texts)
        out << QString::fromUtf16(t);
    return out;
}

const MapFraming framed{QStringLiteral("50.0,19.8,50.1,20.0"), QStringLiteral("50.061000,19.937000,\"Dom\"")};

} // namespace

TEST(MapLists, PoiListSendsEveryRowThenFramesOnThoseWithIntegers)
{
    const TRBParamsTable t = list({{u"1993500", u"5006200", u"Rynek|Główny"},
                                   {u"", u"", u""},
                                   {u"abc", u"5100000", u"not a number"},
                                   {u"2000000", u"-5010000", u"Sud"}});
    Collected out;
    sendPoiList(t, QStringLiteral("image004.bmp"), framed, out);
    EXPECT_EQ(out.calls, lines({
                             u"WB_Icon(\"image004.bmp\");",
                             u"WB_POI(50.06200,19.93500,\"Rynek Główny\",false);",
                             u"WB_POI(0.00000,0.00000,\"\",false);",
                             u"WB_POI(51.00000,0.00000,\"not a number\",false);",
                             u"WB_POI(-50.10000,20.00000,\"Sud\",false);",
                             u"WB_POIRefresh();",
                             u"WB_Bounds(-50.10000000,20.00000000,50.06200000,19.93500000);",
                             u"WB_Home(50.061000,19.937000,\"Dom\");",
                         }));
}

TEST(MapLists, MarkedRowsAloneAndTheirFrame)
{
    TRBParamsTable t = list({{u"1993500", u"5006200", u"a"}, {u"1", u"2", u"b"}, {u"1993700", u"5006000", u"c"}});
    mark(t, 1);
    mark(t, 3);
    Collected out;
    sendPoiList(t, QString(), MapFraming{}, out);
    EXPECT_EQ(out.calls, lines({
                             u"WB_POI(50.06200,19.93500,\"a\",false);",
                             u"WB_POI(50.06000,19.93700,\"c\",false);",
                             u"WB_POIRefresh();",
                             u"WB_Bounds(50.06000000,19.93700000,50.06200000,19.93500000);",
                         }));
}

TEST(MapLists, WithoutIntegerPointsTheSavedViewOrNothing)
{
    const TRBParamsTable t = list({{u"", u"", u"empty"}, {u"19.9", u"50.0", u"degrees"}});
    Collected viewed;
    sendPoiList(t, QString(), framed, viewed);
    EXPECT_EQ(viewed.calls.mid(3), lines({u"WB_Bounds(50.0,19.8,50.1,20.0);",
                                                u"WB_Home(50.061000,19.937000,\"Dom\");"}));
    // A broken view and a broken home send nothing at all.
    Collected bare;
    sendPoiList(t, QString(), MapFraming{QStringLiteral("50,19,x,20"), QStringLiteral("home,19,\"x\"")}, bare);
    EXPECT_EQ(bare.calls.size(), 3);
    EXPECT_EQ(bare.calls.last(), u"WB_POIRefresh();");
}

TEST(MapLists, ItineraryWaypoints)
{
    TRBParamsTable t = list({{u"1993500", u"5006200", u"Start|here"}, {u"", u"", u""}, {u"2000000", u"5010000", u"O'Neil"}});
    Collected all;
    sendItinerary(t, framed, all);
    EXPECT_EQ(all.calls, lines({
                             u"WB_WP(50.06200,19.93500,\"Start here\");",
                             u"WB_WP(0.00000,0.00000,\"\");",
                             u"WB_WP(50.10000,20.00000,\"O'Neil\");",
                             u"WB_Bounds(50.06200000,20.00000000,50.10000000,19.93500000);",
                             u"WB_Home(50.061000,19.937000,\"Dom\");",
                         }));
    mark(t, 2);
    Collected marked;
    sendItinerary(t, MapFraming{QStringLiteral("1,2,3,4"), QString()}, marked);
    EXPECT_EQ(marked.calls, lines({u"WB_WP(0.00000,0.00000,\"\");", u"WB_Bounds(1,2,3,4);"}));
}
