// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Mounts.h"

#include <QFile>
#include <QSet>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The kernel writes blanks, tabs, newlines and backslashes as \ooo.
QString unescape(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray oct = field.mid(i + 1, 3);
            bool ok = false;
            const int v = oct.toInt(&ok, 8);
            if (ok && oct.size() == 3) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromUtf8(out);
}

const QSet<QString> &deviceFileSystems()
{
    static const QSet<QString> types = {
        QStringLiteral("vfat"), QStringLiteral("msdos"), QStringLiteral("exfat"),
        QStringLiteral("ntfs"), QStringLiteral("ntfs3"), QStringLiteral("fuseblk"),
        QStringLiteral("ext2"), QStringLiteral("ext3"), QStringLiteral("ext4"),
        QStringLiteral("hfsplus"), QStringLiteral("hfs"), QStringLiteral("btrfs"),
        QStringLiteral("xfs"), QStringLiteral("f2fs"),
    };
    return types;
}

bool isSystemMountPoint(const QString &mp)
{
    static const QStringList system = {
        QStringLiteral("/"), QStringLiteral("/boot"), QStringLiteral("/efi"),
        QStringLiteral("/usr"), QStringLiteral("/var"), QStringLiteral("/home"),
        QStringLiteral("/opt"), QStringLiteral("/srv"),
        QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"),
        QStringLiteral("/snap"), QStringLiteral("/etc"),
    };
    for (const QString &s : system) {
        if (mp == s)
            return true;
        if (s != QLatin1String("/") && mp.startsWith(s + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace

QList<MountEntry> Mounts::parse(const QByteArray &table)
{
    QList<MountEntry> out;
    for (const QByteArray &line : table.split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 3 || f[0].isEmpty())
            continue;
        out.append({unescape(f[0]), unescape(f[1]), QString::fromUtf8(f[2])});
    }
    return out;
}

bool Mounts::isScanned(const MountEntry &e)
{
    return e.device.startsWith(QLatin1String("/dev/")) && deviceFileSystems().contains(e.fsType)
           && !isSystemMountPoint(e.mountPoint);
}

QStringList Mounts::scannedMountPoints(const QByteArray &table)
{
    QStringList out;
    for (const MountEntry &e : parse(table))
        if (isScanned(e) && !out.contains(e.mountPoint))
            out.append(e.mountPoint);
    return out;
}

MountWatcher::MountWatcher(const QString &table, QObject *parent) : QObject(parent), m_table(table) {}

MountWatcher::~MountWatcher()
{
    stop();
}

QStringList MountWatcher::read() const
{
    QFile f(m_table);
    if (!f.open(QIODevice::ReadOnly))
        return m_known; // an unreadable table changes nothing
    return Mounts::scannedMountPoints(f.readAll());
}

void MountWatcher::start()
{
    stop();
    m_known = read();
    m_fd = ::open(QFile::encodeName(m_table).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &MountWatcher::rescan);
    }
    m_poll = new QTimer(this);
    m_poll->setInterval(2000);
    connect(m_poll, &QTimer::timeout, this, &MountWatcher::rescan);
    m_poll->start();
}

void MountWatcher::stop()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    delete m_poll;
    m_poll = nullptr;
}

void MountWatcher::rescan()
{
    const QStringList now = read();
    const QStringList before = m_known;
    m_known = now;
    for (const QString &mp : before)
        if (!now.contains(mp))
            emit driveRemoved(mp);
    for (const QString &mp : now)
        if (!before.contains(mp))
            emit driveAdded(mp);
}
