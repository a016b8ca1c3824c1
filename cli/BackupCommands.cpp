// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli backup / restore: full backups of a device folder and their way back.
#include "app/DeviceInfo.h"
#include "cli/Commands.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/FileReader.h"
#include "poi/PoiDump.h"
#include "services/Backup.h"
#include "services/CabFile.h"
#include "services/Restore.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Names from an archive may hold any character: escaped as "ov2 dump" escapes texts.
QString printable(const QString &name)
{
    static const DeviceCodec utf8(DeviceCodec::Kind::Utf8);
    QByteArray line;
    appendDumpEscaped(line, name.toUtf8(), utf8);
    return QString::fromUtf8(line);
}

int backup(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList args = arguments;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (args.isEmpty() || args.size() > 2) {
        err << "usage: korvix-cli backup [--force] DEVICE_DIR [OUT_DIR]\n";
        return 2;
    }
    if (!QFileInfo(args[0]).isDir())
        return fileError(err, args[0], QStringLiteral("not a folder"));
    // A folder by mistake (the home folder, a whole disk) would take long and fill the
    // target; a folder that is no device is packed only when asked for.
    if (!force && !DeviceInfo::isDeviceRoot(QDir(args[0]).absolutePath()))
        return fileError(err, args[0],
                         QStringLiteral("Not a device folder (it needs TTGO.BIF and ttsystem); --force backs it up anyway"));
    TBackup b;
    b.Root = args[0];
    b.OutFolder = args.value(1);
    b.Serial = DeviceInfo::ReadDeviceInfo(args[0], QStringLiteral("DeviceSerialNumber"));
    int shown = -1;
    QString shownPhase;
    b.OnProgress = [&](const QString &phase, qint64 position, qint64 total) {
        const int percent = total > 0 ? int(position * 100 / total) : 100;
        if (percent == shown && phase == shownPhase)
            return;
        shown = percent;
        shownPhase = phase;
        err << phase << ' ' << percent << "%\n";
        err.flush();
    };
    try {
        const TBackupResult r = b.Run();
        for (const QString &c : r.cabinets)
            out << c << '\n';
        out << r.closingMessage() << '\n';
    } catch (const ECABFileError &e) {
        return fileError(err, e.fileName().isEmpty() ? args[0] : e.fileName(), e.detail());
    } catch (const KorvixError &e) {
        return fileError(err, args[0], e.message());
    }
    return 0;
}

int restore(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList rest = args;
    const bool dryRun = rest.removeAll(QStringLiteral("--dry-run")) > 0;
    if (rest.size() < 2) {
        err << "usage: korvix-cli restore FILE.bak DEVICE_DIR [--dry-run] [NAME...]\n";
        return 2;
    }
    // The backup is looked at first: a FIFO or device in its place is refused by name.
    {
        QFile probe;
        if (const QString why = FileReader::open(probe, rest[0], MaxCabinetFileBytes); !why.isEmpty()) {
            err << why << '\n';
            return 1;
        }
    }
    if (!QFileInfo(rest[1]).isDir())
        return fileError(err, rest[1], QStringLiteral("not a folder"));
    TRestore r(rest[0], rest[1]);
    const QStringList names = rest.mid(2);
    try {
        r.Load();
        const QStringList unknown = r.Unknown(names);
        for (const QString &n : unknown)
            fileError(err, rest[0], QStringLiteral("not in the backup: ") + printable(n));
        if (!unknown.isEmpty())
            return 1;
        for (const QString &refused : r.Refused())
            fileError(err, rest[0], QStringLiteral("leads outside the device folder, not restored: ") + printable(refused));
        if (dryRun) {
            for (const TRestoreItem &i : r.Chosen(names))
                out << TRestoreItem::stateText(i.state) << '\t' << printable(i.name) << '\t' << i.size << '\n';
            return r.Refused().isEmpty() ? 0 : 1;
        }
        const int written = r.Restore(names);
        out << written << " files restored into " << rest[1] << '\n';
    } catch (const KorvixError &e) {
        // Every item that failed, each on its line; the others were restored.
        if (r.Failures().isEmpty())
            return fileError(err, rest[0], e.message());
        for (const QString &failure : r.Failures())
            fileError(err, rest[0], printable(failure));
        return 1;
    }
    return r.Refused().isEmpty() ? 0 : 1;
}

const CliRegistrar backupCommand({QStringLiteral("backup"), QStringLiteral("[--force] DEVICE_DIR [OUT_DIR]"), backup});
const CliRegistrar restoreCommand({QStringLiteral("restore"), QStringLiteral("FILE.bak DEVICE_DIR [--dry-run] [NAME...]"),
                                   restore});
} // namespace
