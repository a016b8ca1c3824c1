// SPDX-License-Identifier: GPL-3.0-or-later
// Selection by text and region, the find dialog's search.
#include "core/RBParamsTable.h"
#include "platform/Progress.h"
#include "poi/PoiSelect.h"

#include <gtest/gtest.h>

namespace {

TRBParamsTable listOf(std::initializer_list<std::tuple<const char *, const char *, const char *>> rows)
{
    TRBParamsTable t;
    t.SetColCount(5);
    t.AppendFields({"", "Longitude", "Latitude", "Description", "Type/Level"});
    for (auto [lon, lat, desc] : rows)
        t.AppendFields({"", QString::fromUtf8(lon), QString::fromUtf8(lat), QString::fromUtf8(desc), ""});
    return t;
}

struct Recorder : IProgress {
    QStringList texts;
    QString status; // what the status bar would show now
    void ShowProgress(const QString &text, int, int, int) override
    {
        texts << text;
        status = text;
    }
    void SetStatus(const QString &text) override { status = text; }
    void SetProgress(int) override {}
    void StepProgress() override {}
};

} // namespace

TEST(PoiSelect, TextIgnoresCaseAndEmptyTextSelectsNothing)
{
    const auto t = listOf({{"1", "1", "Rynek Główny"}, {"1", "1", "Wawel"}, {"1", "1", "RYNEK"}, {"1", "1", "główny"}});
    EXPECT_EQ(rowsContainingText(t, "rynek"), (std::vector<int>{1, 3}));
    EXPECT_EQ(rowsContainingText(t, "GŁÓWNY"), (std::vector<int>{1, 4}));
    EXPECT_TRUE(rowsContainingText(t, "").empty());
}

TEST(PoiSelect, RegionEdgesAndBadViews)
{
    const auto t = listOf({{"1980000", "5000000", "in"},
                           {"2000000", "5005000", "east edge"},
                           {"1990000", "5010000", "north edge"},
                           {"1979999", "5005000", "west of it"},
                           {"19.9", "5005000", "not an integer"},
                           {"1999999", "5009999", "in, far corner"}});
    const auto view = parseSavedView("50.0,19.8,50.1,20.0");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->south, 5000000);
    EXPECT_EQ(view->east, 2000000);
    EXPECT_EQ(rowsInRegion(t, *view), (std::vector<int>{1, 6}));
    EXPECT_FALSE(parseSavedView("50.0,19.8,50.1"));
    EXPECT_FALSE(parseSavedView(""));
    // Blanks and quotes are cut as everywhere; a field that is no number reads 0.
    const auto quoted = parseSavedView(" \"50.0\" , 19.8 ,x, 20.0");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->south, 5000000);
    EXPECT_EQ(quoted->north, 0);
    EXPECT_TRUE(rowsInRegion(t, *quoted).empty());
}

TEST(PoiSelect, FindDownUpAndCase)
{
    const auto t = listOf({{"", "", "Alpha"}, {"", "", "beta"}, {"", "", "Beta"}, {"", "", "alpha"}});
    Recorder rec;
    EXPECT_EQ(findDescription(t, 1, "BETA", true, false, &rec), 2);
    EXPECT_EQ(rec.texts.value(0), "Searching for: BETA");
    EXPECT_EQ(findDescription(t, 2, "Beta", true, true), 3);
    EXPECT_EQ(findDescription(t, 4, "beta", false, false), 3);
    EXPECT_EQ(findDescription(t, 4, "beta", false, true), 2);
    EXPECT_EQ(findDescription(t, 1, "alpha", false, false), -1); // upward from row 1: nothing
    EXPECT_EQ(findDescription(t, 4, "alpha", true, false), -1);  // downward from the last row
    EXPECT_EQ(findDescription(t, 1, "ALPHA", true, true), -1);
    EXPECT_EQ(findDescription(t, 0, "Alpha", true, true), 1);
}

TEST(PoiSelect, FindLeavesNoSearchTextInTheStatusBar)
{
    const auto t = listOf({{"", "", "Alpha"}, {"", "", "beta"}});
    Recorder found, missed;
    EXPECT_EQ(findDescription(t, 0, "beta", true, false, &found), 2);
    EXPECT_EQ(found.texts, QStringList{"Searching for: beta"});
    EXPECT_EQ(found.status, "");
    EXPECT_EQ(findDescription(t, 0, "gamma", true, false, &missed), -1);
    EXPECT_EQ(missed.status, "");
}
