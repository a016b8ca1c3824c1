// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceInfo.h"
#include "app/DeviceTree.h"
#include "platform/Error.h"
#include "platform/Mounts.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString makeDevice(const TempFolder &tmp, const QString &name, const QByteArray &deviceName)
{
    tmp.write(name + "/TTGO.BIF", "[TomTomGo]\nDeviceName=" + deviceName + "\n");
    tmp.write(name + "/ttsystem");
    return QDir::cleanPath(tmp.file(name));
}

struct Devices {
    ContentTree tree;
    CountingIconSink icons;
    DeviceTree devices{tree, icons, [] { return TreeOptions{}; }};
    int added = 0;
    Devices() { devices.onDeviceAdded = [this] { ++added; }; }
    QStringList texts() const
    {
        QStringList out;
        for (int i = 0; i < tree.deviceCount(); ++i)
            out << tree.device(i)->text();
        return out;
    }
};

} // namespace

TEST(DeviceTree, ScanFindsDevicesInMountOrderAndSkipsHalfDevices)
{
    TempFolder tmp;
    const QString e = makeDevice(tmp, "E", "GO 510");
    const QString g = makeDevice(tmp, "G", "");
    tmp.write("OnlyBif/TTGO.BIF", "[TomTomGo]\n");
    tmp.write("OnlySys/ttsystem");
    Devices d;
    d.devices.InitTreeView({e, tmp.file("OnlyBif"), g, tmp.file("OnlySys"), tmp.file("Gone"), ""}, nullptr);
    EXPECT_EQ(d.texts(), QStringList({e + "|GO 510", g + "|"}));
    EXPECT_EQ(d.added, 2);
}

TEST(DeviceTree, RefreshMovesTheDeviceToTheEndAndRemoveTakesItAway)
{
    TempFolder tmp;
    const QString e = makeDevice(tmp, "E", "A");
    const QString g = makeDevice(tmp, "G", "B");
    Devices d;
    d.devices.UpdateTreeView(e, 0);
    d.devices.UpdateTreeView(g, 0);
    tmp.write("E/Itn/r.itn");
    d.devices.UpdateTreeView(e + "/Itn/r.itn", 2); // an editor saved a file on E
    EXPECT_EQ(d.texts(), QStringList({g + "|B", e + "|A"}));
    EXPECT_EQ(d.tree.device(1)->findChild("Itinerary")->childCount(), 1);

    d.devices.UpdateTreeView(e, 9);              // codes above 8 do nothing
    d.devices.UpdateTreeView(tmp.file("X"), 8);  // no node for that path: nothing
    EXPECT_EQ(d.tree.deviceCount(), 2);
    d.devices.UpdateTreeView(e, 8);
    d.devices.UpdateTreeView(g + "/", 8);
    EXPECT_EQ(d.tree.deviceCount(), 0);
    EXPECT_THROW(d.devices.GetTTPath(nullptr), KorvixError);
    try {
        d.devices.GetTTPath(nullptr);
    } catch (const KorvixError &err) {
        EXPECT_EQ(err.message(), "No TT Path");
    }
}

TEST(DeviceTree, GetTTPathWalksUpToTheDevice)
{
    TempFolder tmp;
    const QString e = makeDevice(tmp, "with blank ż", "A");
    tmp.write("with blank ż/Itn/r.itn");
    Devices d;
    d.devices.UpdateTreeView(e + "/Itn/r.itn", 0); // any path on the device
    ASSERT_EQ(d.tree.deviceCount(), 1);
    const TreeNode *itn = d.tree.device(0)->findChild("Itinerary")->child(0);
    EXPECT_EQ(d.devices.GetTTPath(itn), e + "/");
    EXPECT_EQ(d.devices.GetTTPath(nullptr), e + "/");
}

TEST(DeviceTree, MountTableDrivesAddAndRemove)
{
    TempFolder tmp;
    const QString dev = makeDevice(tmp, "usb", "GO");
    const QString table = tmp.write("mounts", "/dev/vda1 / ext4 rw 0 0\n");
    MountWatcher watcher(table);
    Devices d;
    QObject::connect(&watcher, &MountWatcher::driveAdded, [&](const QString &mp) { d.devices.UpdateTreeView(mp, 0); });
    QObject::connect(&watcher, &MountWatcher::driveRemoved, [&](const QString &mp) { d.devices.UpdateTreeView(mp, 8); });
    watcher.start();
    QByteArray escaped = dev.toUtf8();
    escaped.replace(" ", "\\040");
    tmp.write("mounts", "/dev/vda1 / ext4 rw 0 0\n/dev/sdb1 " + escaped + " vfat rw 0 0\n/dev/sr0 /media/cd iso9660 ro 0 0\n");
    watcher.rescan();
    EXPECT_EQ(d.texts(), QStringList({dev + "|GO"}));
    tmp.write("mounts", "/dev/vda1 / ext4 rw 0 0\n");
    watcher.rescan();
    EXPECT_EQ(d.tree.deviceCount(), 0);
}

TEST(DeviceTree, DeviceThatDisappearsMidScanIsLeftOut)
{
    TempFolder tmp;
    const QString a = makeDevice(tmp, "a", "A");
    const QString b = makeDevice(tmp, "b", "B");
    Devices d;
    // The second device is unplugged after the table was read.
    QDir(b).removeRecursively();
    d.devices.InitTreeView({a, b}, nullptr);
    EXPECT_EQ(d.texts(), QStringList({a + "|A"}));
}

TEST(DeviceInfo, IdentityLineAndIniRules)
{
    TempFolder tmp;
    tmp.write("TTGO.BIF", "; comment\r\n[other]\r\nDeviceName=wrong\r\n[tomtomgo]\r\n devicename = GO 720 \r\n"
                          "DEVICESERIALNUMBER=SN42\r\nDeviceUniqueID=UID\r\nApplicationVersionVersionNumber=8.3\r\n");
    EXPECT_EQ(DeviceInfo::ReadDeviceInfo(tmp.path(), "DeviceName"), "GO 720");
    EXPECT_EQ(DeviceInfo::ReadDeviceInfo(tmp.path() + "/", "DeviceSerialNumber"), "SN42");
    EXPECT_EQ(DeviceInfo::ReadDeviceInfo(tmp.path(), ""),
              "DeviceName: GO 720; HWVersion: ; SerialNumber: SN42; DeviceID: UID; AppVersion: 8.3;");
    TempFolder none;
    EXPECT_EQ(DeviceInfo::ReadDeviceInfo(none.path(), ""),
              "DeviceName: ; HWVersion: ; SerialNumber: ; DeviceID: ; AppVersion: ;");
    EXPECT_EQ(DeviceInfo::iniValue(QByteArray("\xff\xfe\x00\n[TomTomGo]\n\x01\x02\nDeviceName=x", 30), "TomTomGo", "DeviceName"), "x");
}
