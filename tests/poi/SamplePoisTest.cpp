// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2Reader.h"
#include "poi/SamplePois.h"
#include "tests/support/TestSupport.h"

#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

TEST(SamplePois, CategoriesWithIconsAndNestedAreas)
{
    TempFolder tmp;
    const QString folder = tmp.file("map");
    const QStringList files = writeSamplePois(folder);
    ASSERT_GE(files.size(), 3);
    qint64 total = 0;
    int deepest = 0;
    for (const QString &f : files) {
        Ov2Data d;
        ASSERT_EQ(readOv2File(f, d), QString()) << f.toStdString();
        const Ov2CheckStats st = checkOv2(d);
        EXPECT_EQ(st.error, QString());
        EXPECT_EQ(st.poisOutsideBounds, 0);
        EXPECT_EQ(st.overhangingAreas, 0);
        total += st.pois;
        deepest = qMax(deepest, st.maxDepth);
        // The icon beside the file reads as a 22 x 22 picture of 24 bits.
        const QString icon = f.left(f.size() - 4) + ".bmp";
        const QImage img(icon);
        ASSERT_FALSE(img.isNull()) << icon.toStdString();
        EXPECT_EQ(img.size(), QSize(22, 22));
        EXPECT_EQ(readAll(icon).mid(28, 2), QByteArray("\x18\x00", 2));
        EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    }
    EXPECT_GE(total, 200);
    EXPECT_GE(deepest, 3) << "one file has nested skipper records";
    EXPECT_EQ(QImage(folder + "/Fuel_X2.bmp").size(), QSize(44, 44));
    // Written again, the files are the same bytes.
    const QByteArray first = readAll(files[0]);
    writeSamplePois(folder);
    EXPECT_EQ(readAll(files[0]), first);
}
