// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/Restore.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "services/CabFile.h"
#include "services/BackgroundFiles.h"
#include "services/RestoreReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

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

// What the reader unpacks, handed to the writer thread.
class ToBackground : public QIODevice {
public:
    explicit ToBackground(BackgroundFiles &files) : m_files(files) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_files.write(data, size);
        return size;
    }

private:
    BackgroundFiles &m_files;
};

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
    m_failures.clear();
    const QList<TRestoreItem> chosen = Chosen(names);
    qint64 total = 0;
    for (const TRestoreItem &item : chosen)
        total += item.size;
    qint64 done = 0;
    bool stopped = false;
    // Files are created and written beside the reader; their outcomes come at the end.
    BackgroundFiles files;
    for (const TRestoreItem &item : chosen) {
        const qint64 before = done;
        const QString failure = restoreItem(item, done, total, stopped, files);
        if (stopped)
            break;
        // A damaged item does not keep the others from coming back.
        if (!failure.isEmpty())
            m_failures << failure;
        done = before + item.size;
    }
    int written = 0;
    for (const BackgroundFiles::Outcome &o : files.wait()) {
        if (o.error.isEmpty())
            ++written;
        else
            m_failures << tr("Can't write %1").arg(o.target) + QStringLiteral(": ") + o.error;
    }
    // The files were renamed into place unsynced: one sync of the device covers them all,
    // and until it succeeded none of them is reported restored.
    if (written > 0)
        if (const QString why = AtomicFile::syncFileSystem(m_root); !why.isEmpty())
            m_failures << tr("Can't write %1").arg(m_root) + QStringLiteral(": ") + why;
    if (stopped)
        throw KorvixError(tr("Restore cancelled"));
    if (!m_failures.isEmpty())
        throw KorvixError(m_failures.join(QLatin1Char('\n')));
    if (OnProgress)
        OnProgress(total, total);
    return written;
}

QString TRestore::restoreItem(const TRestoreItem &item, qint64 &done, qint64 total, bool &stopped,
                              BackgroundFiles &files)
{
    const QString target = m_root + QLatin1Char('/') + item.name;
    // Checked again here: a link may have appeared since the comparison.
    if (passesThroughLink(m_root, item.name))
        return tr("Name leads outside the device folder, not restored: %1").arg(item.name);
    if (!QDir().mkpath(QFileInfo(target).path()))
        return tr("Can't create the folder of %1").arg(target);
    // The old file stays until the new one is whole.
    files.open(target);
    ToBackground out(files);
    QElapsedTimer clock;
    clock.start();
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
        if (stopped || !ok) {
            files.drop();
            return stopped ? QString() : tr("Can't unpack %1").arg(item.name);
        }
        done = before + m_reader->files()[index].size;
    }
    files.commit(item.time, item.attributes & 0x01);
    return {};
}
