// SPDX-License-Identifier: GPL-3.0-or-later
// Removing a device: the sync, the message without a system bus or without UDisks2 on
// it, and UDisks2's own unmount of a real loop volume where this machine can run it.
#include "platform/DeviceEject.h"
#include "platform/Mounts.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

namespace {
using DeviceEject::Outcome;

// A message bus of the test's own, typed "system", that anyone may use; UDisks2 is
// started on it when asked.
class PrivateSystemBus {
public:
    explicit PrivateSystemBus(const TempFolder &t) : m_old(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"))
    {
        const QString socket = t.file("bus");
        const QString config = t.write("bus.conf", QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)").arg(socket).toUtf8());
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), "--config-file=" + config});
        m_bus.waitForStarted();
        for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
            QThread::msleep(50);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + socket).toUtf8());
    }
    ~PrivateSystemBus()
    {
        for (QProcess *p : {&m_udisks, &m_bus}) {
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished();
            }
        }
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_old);
    }
    bool running() const { return m_bus.state() == QProcess::Running; }
    bool startUDisks2(const QString &daemon)
    {
        m_udisks.start(daemon, {});
        m_udisks.waitForStarted();
        for (int i = 0; i < 100; ++i) {
            if (DeviceEject::UDisks2Service::available())
                return true;
            QThread::msleep(50);
        }
        return false;
    }

private:
    QByteArray m_old;
    QProcess m_bus, m_udisks;
};

bool mounted(const QString &path)
{
    QFile table(QStringLiteral("/proc/self/mounts"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    for (const MountEntry &e : Mounts::parse(table.readAll()))
        if (e.mountPoint == path)
            return true;
    return false;
}

int run(const QString &program, const QStringList &args, QString *out = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(60000);
    if (out)
        *out = QString::fromLocal8Bit(p.readAll()).trimmed();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
} // namespace

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
// own reason, closed it unmounts. It needs root, the tools, and UDisks2 seeing block
// devices (udev's rules); without them it says why it stands aside. A loop device has
// no drive, so the power-off is not reached here.
TEST(DeviceEject, UDisks2UnmountsTheVolumeAndSaysWhyNotWhileAFileIsOpen)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a loop volume needs root";
    QString daemon = QStringLiteral("/usr/libexec/udisks2/udisksd");
    if (!QFile::exists(daemon))
        daemon = QStandardPaths::findExecutable("udisksd");
    for (const char *tool : {"losetup", "mkfs.ext2", "mount", "umount", "dbus-daemon"})
        if (QStandardPaths::findExecutable(tool, {"/usr/sbin", "/sbin", "/usr/bin", "/bin"}).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    if (daemon.isEmpty())
        GTEST_SKIP() << "udisksd is not installed (package udisks2)";

    TempFolder t;
    const QString image = t.write("volume.img", QByteArray(8 << 20, '\0'));
    ASSERT_EQ(run("mkfs.ext2", {"-q", "-F", image}), 0);
    QString loop;
    if (run("losetup", {"-f", "--show", image}, &loop) != 0)
        GTEST_SKIP() << "no loop device here: " << loop.toStdString();
    const QString mountPoint = t.mkdir("TOMTOM");
    QString why;
    if (run("mount", {loop, mountPoint}, &why) != 0) {
        run("losetup", {"-d", loop});
        GTEST_SKIP() << "the loop volume cannot be mounted here: " << why.toStdString();
    }
    struct Cleanup {
        QString loop, mountPoint;
        bool announced = false;
        ~Cleanup()
        {
            if (mounted(mountPoint))
                run("umount", {mountPoint});
            if (announced)
                run("udevadm", {"test", "--action=remove", "/sys/class/block/" + QFileInfo(loop).fileName()});
            run("losetup", {"-d", loop});
        }
    } cleanup{loop, mountPoint};
    // Without a udev daemon (a container) nobody tells UDisks2 of block devices: udev's
    // own rules are run once for this loop device, so UDisks2 finds it as on a desktop.
    if (!QFile::exists("/run/udev/control") && !QStandardPaths::findExecutable("udevadm").isEmpty())
        cleanup.announced = run("udevadm", {"test", "--action=add", "/sys/class/block/" + QFileInfo(loop).fileName()}) == 0;

    std::unique_ptr<PrivateSystemBus> bus;
    if (!DeviceEject::UDisks2Service::available()) {
        bus = std::make_unique<PrivateSystemBus>(t);
        if (!bus->startUDisks2(daemon))
            GTEST_SKIP() << "udisksd does not start on a bus of the test's own";
    }

    DeviceEject::UDisks2Service udisks;
    QFile held(mountPoint + "/held.txt");
    ASSERT_TRUE(held.open(QIODevice::WriteOnly));
    held.write("open");
    held.flush();
    QString reason;
    DeviceEject::IVolumeService::Result r = DeviceEject::IVolumeService::Result::Refused;
    for (int i = 0; i < 50; ++i) { // UDisks2 reads the mount table in its own time
        r = udisks.unmount(mountPoint, &reason);
        if (!reason.startsWith("UDisks2 does not know"))
            break;
        QThread::msleep(100);
    }
    if (reason.startsWith("UDisks2 does not know"))
        GTEST_SKIP() << "UDisks2 lists no loop device here (no udev rules to announce block devices): "
                     << reason.toStdString();
    EXPECT_EQ(r, DeviceEject::IVolumeService::Result::Refused);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(mounted(mountPoint));

    held.close();
    const Outcome o = DeviceEject::eject(mountPoint, true, udisks);
    EXPECT_EQ(o.state, Outcome::Removed) << o.reason.toStdString();
    EXPECT_FALSE(mounted(mountPoint));
}
