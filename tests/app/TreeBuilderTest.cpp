// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TreeBuilder.h"
#include "app/DeviceInfo.h"
#include "app/TreeText.h"
#include "platform/Settings.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QByteArray bif = "[TomTomGo]\r\nDeviceName=GO 910\r\nDeviceSerialNumber=SN1\r\n";

QString build(const TempFolder &dev, bool superUser = false)
{
    TreeOptions o;
    o.superUser = superUser;
    CountingIconSink icons;
    const auto device = TreeBuilder::buildDevice(QDir::cleanPath(dev.path()), o, icons);
    QString text = treeAsText(device.get());
    return text.replace(QDir::cleanPath(dev.path()), "DEV");
}

void setAge(const QString &path, int days)
{
    QFile f(path);
    f.open(QIODevice::ReadWrite);
    f.setFileTime(QDateTime::currentDateTime().addDays(-days), QFileDevice::FileModificationTime);
}

} // namespace

TEST(TreeBuilder, EmptyDeviceHasEveryCategoryInOrder)
{
    TempFolder dev;
    dev.write("TTGO.BIF", bif);
    dev.write("ttsystem");
    EXPECT_EQ(build(dev).toStdString(),
              "DEV|GO 910 [0]\n"
              "  QuickGPSFix [8]\n"
              "  POI [9]\n"
              "  Itinerary [9]\n"
              "  Images [9]\n"
              "  Schemes [9]\n"
              "  Sounds [9]\n"
              "  Voices [9]\n"
              "  Raster [9]\n");
}

TEST(TreeBuilder, EveryCategoryShowsItsContent)
{
    TempFolder dev;
    dev.write("TTGO.BIF", bif);
    dev.write("ttsystem");
    dev.write("ephem/ee_meta.txt", "x");
    dev.write("Europe/cline.dat");
    dev.write("Europe/Fuel.ov2");
    dev.write("Europe/Fuel.bmp", "not really a bitmap");
    dev.write("Europe/Fuel_x2.bmp");
    dev.write("Europe/Fuel.ogg");
    dev.write("Europe/Cams.ov2");
    dev.write("Europe/Cams.wav");
    dev.write("Europe/gddkia.ov2");
    dev.write("Europe/GDDKIA.bmp");
    dev.write("Europe/poi.dat");
    dev.write("NoMap/x.ov2"); // no cline.dat: not a map folder
    dev.write("Itn/route.itn");
    dev.write("Itn/notes.txt");
    dev.write("splash.bmp");
    dev.write("antitheft.bmp");
    dev.write("Schemes/night.clr");
    dev.write("sounds/beep.wav");
    dev.write("sounds/horn.ogg");
    dev.write("Voices/ann.vif", "Ann\r\ndata/ann.chk\r\n");
    dev.write("Voices/data/ann.chk");
    dev.write("Voices/ann.bmp");
    dev.write("Voices/single.vif", "only one line");
    dev.write("Raster/abc1.sat");
    dev.write("Raster/abc2.sat");
    dev.write("Raster/xyz.sat");

    const QString text = build(dev);
    EXPECT_TRUE(text.startsWith("DEV|GO 910 [0]\n  QuickGPSFix [7]\n  POI [9]\n    Europe [2]\n")) << text.toStdString();
    // No "POI.DAT" without SuperUser; GDDKIA shows no bitmap; companions in order.
    EXPECT_FALSE(text.contains("POI.DAT"));
    EXPECT_TRUE(text.contains("      GDDKIA [5]\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("GDDKIA.bmp"));
    EXPECT_TRUE(text.contains("      Fuel.ov2 [14]\n        Fuel.bmp [14]\n        Fuel_x2.bmp [14]\n        Fuel.ogg [14]\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("      Cams.ov2 [1]\n        Cams.wav [1]\n"));
    EXPECT_FALSE(text.contains("NoMap"));
    EXPECT_TRUE(text.contains("  Itinerary [9]\n    route.itn [13]\n  Images [9]\n"));
    EXPECT_FALSE(text.contains("notes.txt"));
    EXPECT_TRUE(text.contains("  Images [9]\n    splash.bmp [11]\n    antitheft.bmp [11]\n"));
    EXPECT_TRUE(text.contains("  Schemes [9]\n    night.clr [12]\n"));
    EXPECT_TRUE(text.contains("  Sounds [9]\n    horn.ogg [10]\n    beep.wav [10]\n")); // .ogg before .wav
    EXPECT_TRUE(text.contains("    ann.vif [10]\n      ann.chk [13]\n      ann.bmp [13]\n"));
    EXPECT_TRUE(text.contains("    single.vif [10]\n  Raster")); // a one-line VIF names no CHK
    EXPECT_TRUE(text.contains("    abc [9]\n")) << text.toStdString();
    EXPECT_EQ(text.count("abc [9]"), 1);
    EXPECT_TRUE(text.contains("      abc1.sat [13]\n"));
    EXPECT_TRUE(text.contains("    xyz [9]\n      xyz.sat [13]\n"));

    EXPECT_TRUE(build(dev, true).contains("    Europe [2]\n      POI.DAT [3]\n"));
}

TEST(TreeBuilder, FreshnessCountsWholeDaysEitherWay)
{
    TempFolder dev;
    dev.write("TTGO.BIF", bif);
    dev.write("ttsystem");
    const QString meta = dev.write("EPHEM/EE_META.TXT", "x"); // found without regard to case
    dev.write("m/CLINE.DAT");
    const QString g = dev.write("m/GDDKIA.OV2");
    setAge(meta, 3);
    setAge(g, 3);
    EXPECT_TRUE(build(dev).contains("QuickGPSFix [7]"));
    EXPECT_TRUE(build(dev).contains("GDDKIA [5]"));
    setAge(meta, 4);
    setAge(g, -5); // in the future counts too
    EXPECT_TRUE(build(dev).contains("QuickGPSFix [8]"));
    EXPECT_TRUE(build(dev).contains("GDDKIA [4]"));
}

TEST(TreeBuilder, HostileContentShowsWhatItCan)
{
    TempFolder dev;
    static const char bif[] = "\x00\xff[TomTomGo\n\x01=\x02\nDeviceName";
    dev.write("TTGO.BIF", QByteArray(bif, sizeof bif - 1)); // the leading NUL kept, nothing read past the end
    dev.write("ttsystem");
    dev.write("Map \"x\" <b>/cline.dat");
    dev.write("Map \"x\" <b>/a'b.ov2");
    QDir().mkpath(dev.file("loop"));
    QFile::link(dev.path(), dev.file("loop/self"));   // a symlink loop
    QFile::link(dev.path(), dev.file("rootlink"));    // a folder that is the root again
    dev.write("Voices/big.vif", QByteArray(3 << 20, '\n'));
    const QString text = build(dev);
    EXPECT_TRUE(text.startsWith("DEV| [0]\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("    Map \"x\" <b> [2]\n      a'b.ov2 [1]\n"));
    EXPECT_TRUE(text.contains("big.vif [10]\n  Raster"));
}

TEST(TreeBuilder, VifNamesItsChkOnTheSecondLine)
{
    TempFolder dir;
    EXPECT_EQ(TreeBuilder::VIFGetCHK(dir.write("a.vif", "Ann\r\n  x.chk  \r\nmore")), dir.file("x.chk"));
    EXPECT_EQ(TreeBuilder::VIFGetCHK(dir.write("b.vif", "Ann\ny.chk\n")), dir.file("y.chk"));
    EXPECT_EQ(TreeBuilder::VIFGetCHK(dir.write("c.vif", "one line")), QString());
    EXPECT_EQ(TreeBuilder::VIFGetCHK(dir.file("missing.vif")), QString());
}

TEST(TreeBuilder, FifosEndlessDevicesAndHugeFilesAreNeverRead)
{
    TempFolder dev, cfg;
    dev.write("TTGO.BIF", bif);
    dev.write("ttsystem");
    dev.write("Map/cline.dat");
    dev.write("Map/Fuel.ov2");
    dev.write("Voices/ann.vif", "Ann\r\nann.chk\r\n");
    dev.write("Voices/ann.chk");
    const QStringList fifos = {dev.file("Map/Fuel.bmp"), dev.file("Map/poi.dat"), dev.file("Voices/fifo.vif")};
    for (const QString &f : fifos)
        ASSERT_TRUE(makeFifo(f)) << f.toStdString();
    ASSERT_TRUE(QFile::link("/dev/zero", dev.file("Voices/zero.vif")));
    QFile sparse(dev.file("Voices/sparse.vif"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(2) << 30));
    sparse.close();

    KorvixSettings settings(cfg.file("k.ini"));
    TreeOptions o = treeOptionsFrom(settings); // with the real database reader
    o.superUser = true;
    CountingIconSink icons;
    FifoGuard guard(fifos);
    const auto device = TreeBuilder::buildDevice(QDir::cleanPath(dev.path()), o, icons);
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease()) << "the tree waited on a FIFO";
    const QString text = treeAsText(device.get()).replace(QDir::cleanPath(dev.path()), "DEV");
    EXPECT_TRUE(text.startsWith("DEV|GO 910 [0]\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("      POI.DAT [3]\n      ")) << text.toStdString(); // no categories
    for (const char *vif : {"fifo.vif", "zero.vif", "sparse.vif"}) // listed, without a CHK
        EXPECT_TRUE(text.contains(QString("\n    %1 [10]\n  ").arg(vif))) << vif << "\n" << text.toStdString();
    EXPECT_TRUE(text.contains("    ann.vif [10]\n      ann.chk [13]\n")) << text.toStdString();

    // The identity file itself: a FIFO or an endless device gives an empty name.
    TempFolder odd;
    ASSERT_TRUE(makeFifo(odd.file("TTGO.BIF")));
    ASSERT_TRUE(QFile::link("/dev/zero", odd.file("ttgo.bif.zero")));
    FifoGuard identity({odd.file("TTGO.BIF")});
    EXPECT_EQ(DeviceInfo::ReadDeviceInfo(odd.path(), "DeviceName"), "");
    identity.stop();
    EXPECT_FALSE(identity.hadToRelease()) << "the identity read waited on a FIFO";
    QFile::remove(odd.file("TTGO.BIF"));
    ASSERT_TRUE(QFile::rename(odd.file("ttgo.bif.zero"), odd.file("TTGO.BIF")));
    EXPECT_EQ(DeviceInfo::ReadDeviceInfo(odd.path(), "DeviceName"), "");
}
