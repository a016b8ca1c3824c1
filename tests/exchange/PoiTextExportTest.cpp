// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2TextExport.h"
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
TRBParamsTable rows(const QList<QStringList> &data)
{
    TRBParamsTable t;
    t.AppendFields({"LP", "Longitude", "Latitude", "Description", "Type/Level"});
    for (const QStringList &r : data)
        t.AppendFields(QStringList{QString()} + r + QStringList{"2/0"});
    return t;
}
} // namespace

TEST(PoiTextExport, PlainAscAndQuoted)
{
    const DeviceCodec codec;
    const TRBParamsTable t = rows({{"1993500", "5006200", QString::fromUtf8("Pod Różą, Kraków")},
                                   {"-1", "2", "say \"hi\""},
                                   {"", "", ""}});
    const QByteArray plain = "1993500,5006200,Pod R\xF3\xBF\xB9_ Krak\xF3w\r\n-1,2,say _hi_\r\n,,\r\n";
    EXPECT_EQ(poiTextExport(t, PoiTextFormat::PlainCsv, codec), plain);
    EXPECT_EQ(poiTextExport(t, PoiTextFormat::Asc, codec), plain);
    EXPECT_EQ(poiTextExport(t, PoiTextFormat::QuotedCsv, codec),
              "1993500,5006200,\"Pod R\xF3\xBF\xB9_ Krak\xF3w\"\r\n-1,2,\"say _hi_\"\r\n,,\"\"\r\n");
    // Commas in the coordinate cells are cleaned too.
    EXPECT_EQ(poiTextExport(rows({{"1,5", "\"2\"", "x"}}), PoiTextFormat::PlainCsv, codec), "1_5,_2_,x\r\n");
}

TEST(PoiTextExport, FromFileBytesMatchesFromRows)
{
    Ov2Data d;
    d.bytes = Ov2Bytes().skipper(21 + 25 + 15).poi(-1993500, 5006200, "A,\"b\"\xB3\x81").poi(0, 0, "");
    ASSERT_EQ(readOv2Range(d, 0, d.bytes.size(), nullptr), QString());
    EXPECT_EQ(poiTextExport(d, PoiTextFormat::PlainCsv), "-1993500,5006200,A__b_\xB3\x81\r\n0,0,\r\n");
    EXPECT_EQ(poiTextExport(d, PoiTextFormat::QuotedCsv), "-1993500,5006200,\"A__b_\xB3\x81\"\r\n0,0,\"\"\r\n");
}

TEST(PoiTextExport, FileNamesAndWriting)
{
    EXPECT_EQ(poiTextExportFileName("/d/Fuel.ov2", PoiTextFormat::PlainCsv), "/d/Fuel.csv");
    EXPECT_EQ(poiTextExportFileName("/d/Fuel", PoiTextFormat::Asc), "/d/Fuel.asc");
    EXPECT_EQ(poiTextExportFileName("/d.x/Fuel.csv", PoiTextFormat::QuotedCsv), "/d.x/Fuel.csv");
    PoiTextFormat f;
    EXPECT_TRUE(poiTextFormatFromName("QCSV", &f));
    EXPECT_EQ(f, PoiTextFormat::QuotedCsv);
    EXPECT_FALSE(poiTextFormatFromName("gpx", &f));

    TempFolder tmp;
    const QString path = tmp.write("out.csv", "previous");
    ExportPoiText(rows({{"1", "2", "x"}}), path, PoiTextFormat::PlainCsv, DeviceCodec());
    EXPECT_EQ(readAll(path), "1,2,x\r\n");
    EXPECT_THROW(ExportPoiText(rows({{"1", "2", "x"}}), tmp.file("none/out.csv"), PoiTextFormat::PlainCsv, DeviceCodec()),
                 KorvixError);
}
