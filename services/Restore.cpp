#include "services/Restore.h"

#include "platform/Error.h"
#include "services/CabFile.h"
#include "services/RestoreReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TRestore", text);
}

QString relativeOf(const QString &stored)
{
    QString r = stored;
    r.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(r).remove(QRegularExpression(QStringLiteral("^/+")));
}

bool sameStamp(const QDateTime &a, const QDateTime &b)
{
    // The format keeps times to two seconds.
    return cabDateTime(a) == cabDateTime(b);
}
} // namespace

QString TRestoreItem::stateText(State s)
{
    switch (s) {
    case New:
        return tr("new");
    case Changed:
        return tr("changed");
    case Same:
        break;
    }
    return tr("same");
}

TRestore::TRestore(const QString &backupFile, const QString &root)
    : m_file(backupFile), m_root(QDir(root).absolutePath())
{
}

TRestore::~TRestore() = default;

QStringList TRestore::Cabinets() const
{
    return m_reader ? m_reader->cabinets() : QStringList();
}

void TRestore::Load()
{
    m_items.clear();
    m_refused.clear();
    m_reader = std::make_unique<RestoreSetReader>(m_file);
    if (!m_reader->open())
        throw KorvixError(m_reader->error());
    const QList<TCABStoredFile> &files = m_reader->files();

    // "name.part1" ... "name.partN" (N >= 2, every part but the last as large as the
    // first) are one device file that was too large for a cabinet folder.
    static const QRegularExpression partName(QStringLiteral("^(.+)\\.part([1-9][0-9]*)$"));
    QMap<QString, QMap<int, int>> groups; // relative name -> part number -> file index
    QList<int> plain;
    QMap<QString, int> plainByName;
    for (int i = 0; i < files.size(); ++i) {
        const QString relative = relativeOf(files[i].name);
        if (!isSafeStoredName(files[i].name) || relative.isEmpty() || relative.startsWith(QLatin1String(".."))
            || passesThroughLink(m_root, relative)) {
            m_refused << files[i].name;
            continue;
        }
        const QRegularExpressionMatch m = partName.match(relative);
        if (m.hasMatch())
            groups[m.captured(1)].insert(m.captured(2).toInt(), i);
        plainByName.insert(relative, i);
        plain << i;
    }
    QMap<int, TRestoreItem> byFirstIndex;
    QSet<int> joined;
    for (auto g = groups.cbegin(); g != groups.cend(); ++g) {
        const QMap<int, int> &parts = g.value();
        const qint64 partSize = files[parts.value(1, 0)].size;
        bool whole = parts.size() >= 2 && parts.firstKey() == 1 && parts.lastKey() == parts.size()
                     && !plainByName.contains(g.key());
        for (auto p = parts.cbegin(); whole && p != parts.cend(); ++p)
            whole = p.key() == parts.size() ? files[p.value()].size <= partSize : files[p.value()].size == partSize;
        if (!whole)
            continue;
        TRestoreItem item;
        item.name = g.key();
        for (int index : parts) {
            item.parts << index;
            item.size += files[index].size;
            joined.insert(index);
        }
        item.time = files[parts.first()].time;
        item.attributes = files[parts.first()].attributes;
        byFirstIndex.insert(parts.first(), item);
    }
    for (int i : std::as_const(plain)) {
        if (joined.contains(i))
            continue;
        TRestoreItem item;
        item.name = relativeOf(files[i].name);
        item.parts << i;
        item.size = files[i].size;
        item.time = files[i].time;
        item.attributes = files[i].attributes;
        byFirstIndex.insert(i, item);
    }
    for (TRestoreItem item : std::as_const(byFirstIndex)) {
        const QFileInfo device(m_root + QLatin1Char('/') + item.name);
        if (device.exists()) {
            item.deviceSize = device.isFile() ? device.size() : -1;
            item.deviceTime = device.lastModified();
            item.state = device.isFile() && item.deviceSize == item.size && sameStamp(item.deviceTime, item.time)
                             ? TRestoreItem::Same
                             : TRestoreItem::Changed;
        }
        m_items << item;
    }
}

QStringList TRestore::Unknown(const QStringList &names) const
{
    QStringList unknown;
    for (const QString &n : names) {
        const QString relative = relativeOf(n);
        if (std::none_of(m_items.cbegin(), m_items.cend(), [&](const TRestoreItem &i) { return i.name == relative; }))
            unknown << n;
    }
    return unknown;
}

QList<TRestoreItem> TRestore::Chosen(const QStringList &names) const
{
    QStringList wanted;
    for (const QString &n : names)
        wanted << relativeOf(n);
    QList<TRestoreItem> chosen;
    for (const TRestoreItem &item : m_items)
        if (wanted.isEmpty() || wanted.contains(item.name))
            chosen << item;
    return chosen;
}

int TRestore::Restore(const QStringList &names)
{
    if (!m_reader)
        Load();
    const QList<TRestoreItem> chosen = Chosen(names);
    qint64 total = 0;
    for (const TRestoreItem &item : chosen)
        total += item.size;
    qint64 done = 0;
    for (const TRestoreItem &item : chosen)
        restoreItem(item, done, total);
    if (OnProgress)
        OnProgress(total, total);
    return int(chosen.size());
}

void TRestore::restoreItem(const TRestoreItem &item, qint64 &done, qint64 total)
{
    const QString target = m_root + QLatin1Char('/') + item.name;
    // Checked again here: a link may have appeared since the comparison.
    if (passesThroughLink(m_root, item.name))
        throw KorvixError(tr("Name leads outside the device folder, not restored: %1").arg(item.name));
    if (!QDir().mkpath(QFileInfo(target).path()))
        throw KorvixError(tr("Can't create the folder of %1").arg(target));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw KorvixError(tr("Can't write %1").arg(target) + QStringLiteral(": ") + out.errorString());
    QElapsedTimer clock;
    clock.start();
    bool stopped = false;
    for (int index : item.parts) {
        const qint64 before = done;
        const bool ok = m_reader->extract(index, out, [&](qint64 written) {
            if (Cancelled && Cancelled()) {
                stopped = true;
                return false;
            }
            if (OnProgress && clock.elapsed() >= 30) {
                clock.restart();
                OnProgress(before + written, total);
            }
            return true;
        });
        if (stopped)
            throw KorvixError(tr("Restore cancelled"));
        if (!ok)
            throw KorvixError(tr("Can't unpack %1").arg(item.name));
        done = before + m_reader->files()[index].size;
    }
    // commit() ignores a failed final flush, so it is checked first.
    if (!out.flush() || !out.commit())
        throw KorvixError(tr("Can't write %1").arg(target));
    QFile written(target);
    written.setPermissions(written.permissions() | QFileDevice::WriteOwner);
    if (!written.open(QIODevice::Append) || !written.setFileTime(item.time, QFileDevice::FileModificationTime))
        throw KorvixError(tr("Can't set the time of %1").arg(target));
    written.close();
    if (item.attributes & 0x01) // read-only
        written.setPermissions(written.permissions()
                               & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup
                                   | QFileDevice::WriteOther));
}
