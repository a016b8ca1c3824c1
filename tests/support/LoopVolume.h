// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real volume for the eject tests: a loop device with an ext2 file system mounted in
// a test folder, a message bus of the test's own typed "system", and UDisks2 on it.
// Whatever this machine cannot do is said in `skip`, for GTEST_SKIP.
#include "platform/DeviceEject.h"
#include "platform/Mounts.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <memory>

#include <unistd.h>

namespace LoopVolumeTools {
inline int run(const QString &program, const QStringList &args, QString *out = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(60000);
    if (out)
        *out = QString::fromLocal8Bit(p.readAll()).trimmed();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

inline bool isMounted(const QString &path)
{
    QFile table(QStringLiteral("/proc/self/mounts"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    for (const MountEntry &e : Mounts::parse(table.readAll()))
        if (e.mountPoint == path)
            return true;
    return false;
}
} // namespace LoopVolumeTools

// The bus lives while the object does; DBUS_SYSTEM_BUS_ADDRESS points at it meanwhile.
class PrivateSystemBus {
public:
    explicit PrivateSystemBus(const TempFolder &t) : m_old(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"))
    {
        const QString socket = t.file(QStringLiteral("bus"));
        const QString config = t.write(QStringLiteral("bus.conf"), QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC
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

// An ext2 loop volume mounted at `mountPoint` that UDisks2 knows; undone on destruction.
class LoopVolume {
public:
    QString skip;       // why this machine cannot have it; empty when it is there
    QString mountPoint;

    LoopVolume(const TempFolder &t, const QString &name)
    {
        using LoopVolumeTools::run;
        if (geteuid() != 0) {
            skip = QStringLiteral("a loop volume needs root");
            return;
        }
        QString daemon = QStringLiteral("/usr/libexec/udisks2/udisksd");
        if (!QFile::exists(daemon))
            daemon = QStandardPaths::findExecutable(QStringLiteral("udisksd"));
        for (const char *tool : {"losetup", "mkfs.ext2", "mount", "umount", "dbus-daemon"})
            if (QStandardPaths::findExecutable(QLatin1String(tool), {"/usr/sbin", "/sbin", "/usr/bin", "/bin"}).isEmpty()) {
                skip = QLatin1String(tool) + QStringLiteral(" is not installed");
                return;
            }
        if (daemon.isEmpty()) {
            skip = QStringLiteral("udisksd is not installed (package udisks2)");
            return;
        }
        const QString image = t.write(name + QStringLiteral(".img"), QByteArray(8 << 20, '\0'));
        QString why;
        if (run(QStringLiteral("mkfs.ext2"), {QStringLiteral("-q"), QStringLiteral("-F"), image}, &why) != 0
            || run(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), image}, &m_loop) != 0) {
            skip = QStringLiteral("no loop device here: ") + why + m_loop;
            m_loop.clear();
            return;
        }
        // Without a udev daemon (a container) nobody tells UDisks2 of block devices:
        // udev's own rules are run once for this loop device, as a desktop's udev would.
        if (!QFile::exists(QStringLiteral("/run/udev/control")) && !QStandardPaths::findExecutable(QStringLiteral("udevadm")).isEmpty())
            m_announced = run(QStringLiteral("udevadm"), {QStringLiteral("test"), QStringLiteral("--action=add"), sysPath()}) == 0;
        mountPoint = t.mkdir(name);
        if (run(QStringLiteral("mount"), {m_loop, mountPoint}, &why) != 0) {
            skip = QStringLiteral("the loop volume cannot be mounted here: ") + why;
            return;
        }
        if (!DeviceEject::UDisks2Service::available()) {
            m_bus = std::make_unique<PrivateSystemBus>(t);
            if (!m_bus->startUDisks2(daemon)) {
                skip = QStringLiteral("udisksd does not start on a bus of the test's own");
                return;
            }
        }
    }
    ~LoopVolume()
    {
        using LoopVolumeTools::run;
        m_bus.reset();
        if (!mountPoint.isEmpty() && LoopVolumeTools::isMounted(mountPoint))
            run(QStringLiteral("umount"), {mountPoint});
        if (m_announced)
            run(QStringLiteral("udevadm"), {QStringLiteral("test"), QStringLiteral("--action=remove"), sysPath()});
        if (!m_loop.isEmpty())
            run(QStringLiteral("losetup"), {QStringLiteral("-d"), m_loop});
    }

    // Why a UDisks2 test cannot use this volume here; empty when it can.
    QString whyNoUDisks2() const
    {
        if (!skip.isEmpty())
            return skip;
        return knownToUDisks2() ? QString()
                                : QStringLiteral("UDisks2 lists no loop device here (no udev rules to announce block devices)");
    }

    // UDisks2 reads the mount table in its own time: true once it lists the volume.
    bool knownToUDisks2() const
    {
        for (int i = 0; i < 50; ++i) {
            QString reason;
            DeviceEject::UDisks2Service udisks;
            // A file held open makes the probe a refusal, never an unmount.
            QFile held(mountPoint + QStringLiteral("/.probe"));
            held.open(QIODevice::WriteOnly);
            udisks.unmount(mountPoint, &reason);
            held.close();
            held.remove();
            if (!reason.startsWith(QLatin1String("UDisks2 does not know")))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

private:
    QString sysPath() const { return QStringLiteral("/sys/class/block/") + QFileInfo(m_loop).fileName(); }
    QString m_loop;
    bool m_announced = false;
    std::unique_ptr<PrivateSystemBus> m_bus;
};
