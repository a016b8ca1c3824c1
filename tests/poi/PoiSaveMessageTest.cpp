// SPDX-License-Identifier: GPL-3.0-or-later
// A list or export that cannot be written says which file, then the system's reason:
// the window shows the text alone, with nothing else to name the file.
#include "platform/Error.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Writer.h"
#include "poi/Ov2TextExport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(PoiSaveMessage, AFailedWriteNamesTheFileBeforeTheReason)
{
    TempFolder tmp;
    // A folder that is not there: the save cannot even begin its temporary.
    const QString list = tmp.file("gone/Fuel.ov2");
    Ov2PointList points;
    points.add(1993700, 5006170, "Orlen");
    try {
        SaveOV2(list, points);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), list + ": No such file or directory");
    }

    Ov2Data data;
    ASSERT_TRUE(readOv2File(tmp.write("in.ov2"), data).isEmpty());
    const QString csv = tmp.file("gone/Fuel.csv");
    try {
        ExportPoiText(data, csv, PoiTextFormat::PlainCsv);
        ADD_FAILURE() << "exported into a missing folder";
    } catch (const KorvixError &e) {
        EXPECT_EQ(e.message(), csv + ": No such file or directory");
    }
}
