// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DeviceEject.h"

#include "platform/AtomicFile.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QVariantMap>


namespace {
const QString service = QStringLiteral("org.freedesktop.UDisks2");
const QString filesystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString blockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString driveInterface = QStringLiteral("org.freedesktop.UDisks2.Drive");
// An unmount may wait for the user to authorise it, and for the drive to write out.
constexpr int slowCall = 5 * 60 * 1000;

QString systemBusAddress()
{
    const QByteArray env = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    return env.isEmpty() ? QStringLiteral("unix:path=/var/run/dbus/system_bus_socket") : QString::fromUtf8(env);
}

// A connection of our own per bus address: the shared system bus of QtDBus reads its
// address once per process. Kept once made, as closing a connection races with its
// deletion in Qt 6.4's bus thread; a failed one is dropped so the next try connects anew.
class Bus {
public:
    Bus() : m_name(QStringLiteral("korvix-eject ") + systemBusAddress()), m_bus(connect(m_name)) {}
    QDBusConnection &operator*() { return m_bus; }
    QDBusConnection *operator->() { return &m_bus; }

private:
    static QDBusConnection connect(const QString &name)
    {
        static QMutex lock;
        QMutexLocker locked(&lock);
        QDBusConnection bus(name);
        if (bus.isConnected())
            return bus;
        QDBusConnection::disconnectFromBus(name);
        bus = QDBusConnection::connectToBus(name.mid(name.indexOf(QLatin1Char(' ')) + 1), name);
        if (!bus.isConnected()) {
            const QDBusConnection failed = bus;
            QDBusConnection::disconnectFromBus(name);
            return failed;
        }
        return bus;
    }
    QString m_name;
    QDBusConnection m_bus;
};

// The errors that say no one is there to ask, as opposed to a refusal.
bool isAbsent(const QString &errorName)
{
    return errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || errorName == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")
        || errorName.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn"))
        || errorName == QLatin1String("org.freedesktop.DBus.Error.NoServer");
}

QString cleanPath(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    return clean.size() > 1 && clean.endsWith(QLatin1Char('/')) ? clean.chopped(1) : clean;
}

// UDisks2 keeps mount points as NUL-terminated byte strings ("aay").
QStringList mountPointsOf(const QVariant &value)
{
    QStringList points;
    const QDBusArgument arg = value.value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        QByteArray raw;
        arg >> raw;
        if (raw.endsWith('\0'))
            raw.chop(1);
        points << cleanPath(QString::fromLocal8Bit(raw));
    }
    arg.endArray();
    return points;
}

struct Volume {
    QString block;  // the object of the file system mounted there
    QString drive;  // its drive, "/" for none
    bool canPowerOff = false;
};

// The block device whose file system is mounted at `mountPath`, from UDisks2's objects.
bool findVolume(QDBusConnection &bus, const QString &mountPath, Volume *volume, QDBusMessage *error)
{
    const QString wanted = cleanPath(mountPath);
    const QString real = cleanPath(QFileInfo(mountPath).canonicalFilePath());
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/UDisks2"),
                                                       QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                                       QStringLiteral("GetManagedObjects"));
    const QDBusMessage reply = bus.call(call, QDBus::Block);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *error = reply;
        return false;
    }
    QMap<QString, bool> canPowerOff; // drive object -> CanPowerOff
    const QDBusArgument objects = reply.arguments().value(0).value<QDBusArgument>();
    objects.beginMap();
    while (!objects.atEnd()) {
        objects.beginMapEntry();
        QDBusObjectPath path;
        objects >> path;
        QMap<QString, QVariantMap> interfaces;
        objects.beginMap();
        while (!objects.atEnd()) {
            objects.beginMapEntry();
            QString name;
            QVariantMap properties;
            objects >> name >> properties;
            interfaces.insert(name, properties);
            objects.endMapEntry();
        }
        objects.endMap();
        objects.endMapEntry();

        if (interfaces.contains(driveInterface))
            canPowerOff.insert(path.path(), interfaces[driveInterface].value(QStringLiteral("CanPowerOff")).toBool());
        if (!volume->block.isEmpty() || !interfaces.contains(filesystemInterface))
            continue;
        const QStringList points = mountPointsOf(interfaces[filesystemInterface].value(QStringLiteral("MountPoints")));
        if (points.contains(wanted) || (!real.isEmpty() && points.contains(real))) {
            volume->block = path.path();
            volume->drive = interfaces[blockInterface].value(QStringLiteral("Drive")).value<QDBusObjectPath>().path();
        }
    }
    objects.endMap();
    volume->canPowerOff = canPowerOff.value(volume->drive, false);
    return true;
}

QDBusMessage callWithOptions(QDBusConnection &bus, const QString &object, const QString &interface, const QString &method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, object, interface, method);
    call << QVariantMap();
    return bus.call(call, QDBus::Block, slowCall);
}
} // namespace

bool DeviceEject::UDisks2Service::available()
{
    Bus bus;
    if (!bus->isConnected())
        return false;
    const QDBusMessage reply = bus->call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner")) << service);
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool())
        return true;
    // Started on demand where the bus may activate it.
    const QDBusMessage names = bus->call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames")));
    return names.type() == QDBusMessage::ReplyMessage && names.arguments().value(0).toStringList().contains(service);
}

DeviceEject::IVolumeService::Result DeviceEject::UDisks2Service::unmount(const QString &mountPath, QString *reason)
{
    Bus bus;
    if (!bus->isConnected()) {
        *reason = bus->lastError().message();
        return Result::NoService;
    }
    Volume volume;
    QDBusMessage error;
    if (!findVolume(*bus, mountPath, &volume, &error)) {
        *reason = error.errorMessage();
        return isAbsent(error.errorName()) ? Result::NoService : Result::Refused;
    }
    if (volume.block.isEmpty()) {
        *reason = QCoreApplication::translate("DeviceEject", "UDisks2 does not know the volume mounted at %1").arg(mountPath);
        return Result::Refused;
    }
    const QDBusMessage unmounted = callWithOptions(*bus, volume.block, filesystemInterface, QStringLiteral("Unmount"));
    if (unmounted.type() != QDBusMessage::ReplyMessage) {
        *reason = unmounted.errorMessage();
        return isAbsent(unmounted.errorName()) ? Result::NoService : Result::Refused;
    }
    // Unmounted is safe to pull; the power-off only tells the drive it may stop.
    if (volume.canPowerOff && volume.drive != QLatin1String("/")) {
        const QDBusMessage off = callWithOptions(*bus, volume.drive, driveInterface, QStringLiteral("PowerOff"));
        if (off.type() != QDBusMessage::ReplyMessage)
            *reason = off.errorMessage();
    }
    return Result::Removed;
}

DeviceEject::Outcome DeviceEject::eject(const QString &root, bool mounted, IVolumeService &volumes)
{
    Outcome outcome;
    if (const QString why = AtomicFile::syncFileSystem(root); !why.isEmpty()) {
        outcome.state = Outcome::SyncFailed;
        outcome.reason = why;
        return outcome;
    }
    if (!mounted)
        return outcome;
    switch (volumes.unmount(cleanPath(root), &outcome.reason)) {
    case IVolumeService::Result::Removed: outcome.state = Outcome::Removed; break;
    case IVolumeService::Result::NoService: outcome.state = Outcome::Written; break;
    case IVolumeService::Result::Refused: outcome.state = Outcome::Refused; break;
    }
    return outcome;
}
