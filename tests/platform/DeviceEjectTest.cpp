// SPDX-License-Identifier: GPL-3.0-or-later
// Removing a device: the sync, the message without a system bus or without UDisks2 on
// it, and UDisks2's own unmount of a real loop volume where this machine can run it.
#include "platform/DeviceEject.h"
#include "tests/support/LoopVolume.h"
#include "tests/support/TestSupport.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

using DeviceEject::Outcome;

TEST(DeviceEject, WithoutAnyoneToUnmountTheDeviceIsWrittenAndStays)
{
    TempFolder t;
    const QString dev = t.mkdir("dev");
    t.write("dev/TTGO.BIF", "x");
    const QByteArray old = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    DeviceEject::UDisks2Service udisks;

    // No system bus at all: the reason is the connection's, the state says "written".
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + t.file("no-bus")).toUtf8());
    EXPECT_FALSE(DeviceEject::UDisks2Service::available());
    Outcome o = DeviceEject::eject(dev, true, udisks);
    EXPECT_EQ(o.state, Outcome::Written);
    EXPECT_FALSE(o.reason.isEmpty());

    // A folder is synced only: nobody is asked.
    o = DeviceEject::eject(dev + "/", false, udisks);
    EXPECT_EQ(o.state, Outcome::Written);
    EXPECT_TRUE(o.reason.isEmpty());

    // A device whose folder vanished cannot be synced: the system's reason, no unmount.
    o = DeviceEject::eject(t.file("gone"), true, udisks);
    EXPECT_EQ(o.state, Outcome::SyncFailed);
    EXPECT_EQ(o.reason, "No such file or directory");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", old);

    // A system bus without UDisks2 on it is no refusal either.
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed: the bus without UDisks2 is not tried";
    PrivateSystemBus bus(t);
    ASSERT_TRUE(bus.running());
    EXPECT_FALSE(DeviceEject::UDisks2Service::available());
    o = DeviceEject::eject(dev, true, udisks);
    EXPECT_EQ(o.state, Outcome::Written);
    EXPECT_TRUE(o.reason.contains("org.freedesktop.UDisks2")) << o.reason.toStdString();
}

// UDisks2 itself on a loop volume made here: a file held open makes it refuse with its
// own reason, closed it unmounts. A loop device has no drive, so the power-off is not
// reached here.
TEST(DeviceEject, UDisks2UnmountsTheVolumeAndSaysWhyNotWhileAFileIsOpen)
{
    TempFolder t;
    LoopVolume volume(t, "TOMTOM");
    if (const QString why = volume.whyNoUDisks2(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();

    DeviceEject::UDisks2Service udisks;
    QFile held(volume.mountPoint + "/held.txt");
    ASSERT_TRUE(held.open(QIODevice::WriteOnly));
    held.write("open");
    held.flush();
    QString reason;
    EXPECT_EQ(udisks.unmount(volume.mountPoint, &reason), DeviceEject::IVolumeService::Result::Refused);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(LoopVolumeTools::isMounted(volume.mountPoint));

    held.close();
    const Outcome o = DeviceEject::eject(volume.mountPoint, true, udisks);
    EXPECT_EQ(o.state, Outcome::Removed) << o.reason.toStdString();
    EXPECT_FALSE(LoopVolumeTools::isMounted(volume.mountPoint));
}
