// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/Backup.h"

#include "platform/Error.h"
#include "platform/FileReader.h"
#include "platform/Folders.h"
#include "services/CabFile.h"
#include "services/RestoreReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <zlib.h>

#include <limits>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TBackup", text);
}

QString withSlash(const QString &p)
{
    return p.endsWith(QLatin1Char('/')) ? p : p + QLatin1Char('/');
}

using Source = TBackup::Source;

// CRC-32 of `length` bytes of `path` from `offset`; false when they cannot be read or
// the backup was cancelled. It runs inside the unpacker's callbacks: it must not throw.
bool crcOf(const Source &s, quint32 &crc, const std::function<bool()> &cancelled)
{
    QFile f;
    if (!FileReader::open(f, s.path, std::numeric_limits<qint64>::max()).isEmpty() || !f.seek(s.offset))
        return false;
    // A file that grew or shrank since it was listed was stored at another size.
    if (f.size() != s.fileSize)
        return false;
    uLong sum = crc32(0, nullptr, 0);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 left = s.length; left > 0;) {
        if (cancelled && cancelled())
            return false;
        const qint64 got = f.read(buffer.data(), qMin<qint64>(left, buffer.size()));
        if (got <= 0)
            return false;
        sum = crc32(sum, reinterpret_cast<const Bytef *>(buffer.constData()), uInt(got));
        left -= got;
    }
    crc = quint32(sum);
    return true;
}

// Copies one slice of a device file to its own file, so that the cabinet component
// stores it under a name of its own.
void copySlice(const Source &s, const QString &to, const std::function<bool()> &cancelled)
{
    QFile in;
    if (!FileReader::open(in, s.path, std::numeric_limits<qint64>::max()).isEmpty() || !in.seek(s.offset))
        throw ECABFileError(1, s.path);
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        throw ECABFileError(4, to);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 left = s.length; left > 0;) {
        if (cancelled && cancelled())
            throw ECABFileError(ECABFileError::Cancelled);
        const qint64 got = in.read(buffer.data(), qMin<qint64>(left, buffer.size()));
        if (got <= 0)
            throw ECABFileError(2, s.path);
        if (out.write(buffer.constData(), got) != got)
            throw ECABFileError(4, to);
        left -= got;
    }
    if (!out.flush() || !out.commit())
        throw ECABFileError(4, to);
    // The part carries the time of the file it comes from.
    QFile done(to);
    if (done.open(QIODevice::Append))
        done.setFileTime(QFileInfo(s.path).lastModified(), QFileDevice::FileModificationTime);
}

// Every regular file below `dir` into `files` (stored under `relPath`), depth first.
// Symbolic links are never followed and, like FIFOs, sockets and devices (which would
// hang a reader), only listed in `skipped`; `outAbs` (our own output) is left out.
void listDevice(const QString &dir, const QString &relPath, const QString &root, const QString &outAbs,
                TCABFileContents &files, QStringList &skipped)
{
    const QFileInfoList entries = QDir(dir).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    QFileInfoList folders;
    for (const QFileInfo &e : entries) {
        const QString path = dir + QLatin1Char('/') + e.fileName();
        if (e.isSymLink() || (!e.isDir() && !e.isFile()))
            skipped << path.mid(root.size());
        else if (e.isDir())
            folders << e;
        else if (!path.startsWith(outAbs))
            files.append({path, relPath});
    }
    const QString base = relPath.endsWith(QLatin1Char('\\')) ? relPath : relPath + QLatin1Char('\\');
    for (const QFileInfo &d : std::as_const(folders)) {
        const QString path = dir + QLatin1Char('/') + d.fileName();
        if (path + QLatin1Char('/') != outAbs)
            listDevice(path, base + d.fileName(), root, outAbs, files, skipped);
    }
}

void removeSet(const QString &first)
{
    QFile::remove(first);
    for (int n = 2; QFileInfo::exists(TBackup::continuationName(first, n)); ++n)
        QFile::remove(TBackup::continuationName(first, n));
}
// Takes the unpacked bytes of one file and keeps their CRC-32.
class CrcSink : public QIODevice {
public:
    CrcSink() { open(QIODevice::WriteOnly); }
    quint32 crc() const { return quint32(m_crc); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_crc = crc32(m_crc, reinterpret_cast<const Bytef *>(data), uInt(size));
        return size;
    }

private:
    uLong m_crc = crc32(0, nullptr, 0);
};
} // namespace

QString TBackupResult::verification() const
{
    return tr("Backup verified: %1 files, %2 MB in %3 cabinets")
        .arg(files)
        .arg(QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1))
        .arg(cabinets.size());
}

QString TBackupResult::closingMessage() const
{
    QString text = verification();
    const QString comma = QStringLiteral(", ");
    if (!splitFiles.isEmpty())
        text += QLatin1Char('\n') + tr("Too large for one cabinet folder, stored in numbered parts: %1").arg(splitFiles.join(comma));
    if (!notRegular.isEmpty())
        text += QLatin1Char('\n') + tr("Not backed up, not regular files (links are not followed): %1").arg(notRegular.join(comma));
    if (!longNames.isEmpty())
        text += QLatin1Char('\n') + tr("Not backed up, names too long for a cabinet: %1").arg(longNames.join(comma));
    return text;
}

QString TBackup::archiveName(const QString &serial, const QDateTime &when)
{
    return QStringLiteral("TT_") + serial + QLatin1Char('_') + when.toString(QStringLiteral("yyyyMMddhhmmss"))
           + QStringLiteral(".bak");
}

QString TBackup::continuationName(const QString &first, int number)
{
    const QString suffix = QStringLiteral(".bak");
    const QString stem = first.endsWith(suffix, Qt::CaseInsensitive) ? first.left(first.size() - suffix.size()) : first;
    return stem + QLatin1Char('_') + QString::number(number) + suffix;
}

QString TBackup::backupFolder()
{
    return Folders::UserDataFolder() + QStringLiteral("BackUp/");
}

// Reads the set back through libmspack and compares every file's size and CRC with
// the device; returns the cabinets of the set.
QStringList TBackup::verify(const QString &first, const QHash<QString, Source> &sources, qint64 total)
{
    RestoreSetReader reader(first);
    if (!reader.open())
        throw KorvixError(tr("The backup could not be read back, it was removed: %1").arg(reader.error()));
    const QString verifying = tr("Verifying...");
    if (OnProgress)
        OnProgress(verifying, 0, total);
    qint64 checked = 0;
    int seen = 0;
    for (int i = 0; i < reader.files().size(); ++i) {
        const TCABStoredFile &file = reader.files()[i];
        const auto it = sources.constFind(file.name);
        CrcSink sink;
        quint32 expected = 0;
        const bool read = reader.extract(i, sink, [this](qint64) { return !(Cancelled && Cancelled()); });
        if (Cancelled && Cancelled())
            throw ECABFileError(ECABFileError::Cancelled);
        if (it == sources.cend() || it->length != file.size || !read || !crcOf(*it, expected, Cancelled)
            || expected != sink.crc())
            throw KorvixError(tr("The backup does not match the device, it was removed: %1")
                                  .arg(it == sources.cend() ? file.name : it->path));
        ++seen;
        checked += file.size;
        if (OnProgress)
            OnProgress(verifying, checked, total);
    }
    if (seen != sources.size())
        throw KorvixError(tr("The backup does not match the device, it was removed: %1").arg(first));
    return reader.cabinets();
}

TBackupResult TBackup::Run()
{
    const QString out = withSlash(OutFolder.isEmpty() ? backupFolder() : OutFolder);
    if (!QDir().mkpath(out))
        throw ECABFileError(6, out);
    // Archives are never overwritten: the first cabinet's name is created exclusively (an
    // empty file until the set replaces it), so a second backup in the same second, even
    // from another process, takes the next one.
    QDateTime when = When.isValid() ? When : QDateTime::currentDateTime();
    QString first;
    for (int tries = 0;; when = when.addSecs(1), ++tries) {
        first = out + archiveName(Serial, when);
        if (QFileInfo::exists(continuationName(first, 2)))
            continue;
        QFile reserve(first);
        if (reserve.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (!QFileInfo::exists(first) || tries > 100000)
            throw ECABFileError(6, first, reserve.errorString());
    }

    TCABFile cab;
    cab.CABFile = first;
    cab.CompressionType = TCABFile::typMSZIP;
    cab.MaxCabinetSize = MaxCabinetSize;
    cab.Threads = Threads;
    cab.AllowSet = true;
    cab.CabinetName = [first](int number) { return continuationName(first, number); };
    cab.Cancelled = Cancelled;

    const QString root = withSlash(QDir(Root).absolutePath());
    // An output folder inside the device must not back itself up.
    const QString outAbs = withSlash(QDir(out).absolutePath());
    TCABFileContents found;
    TBackupResult result;
    listDevice(QDir(Root).absolutePath(), QString(), root, outAbs, found, result.notRegular);
    const QString workFolder = out + QLatin1Char('.') + QFileInfo(first).completeBaseName() + QStringLiteral(".parts/");

    QHash<QString, Source> sources; // by stored name
    struct Slice {
        Source source;
        QString copy;
    };
    QList<Slice> slices;
    for (const TCABFileEntry &e : std::as_const(found)) {
        const qint64 size = QFileInfo(e.Name).size();
        // A name the cabinet cannot hold (its parts' names counted) is left out and said.
        const QString partSuffix = size > PartBytes ? QStringLiteral(".part") + QString::number((size - 1) / PartBytes + 1)
                                                    : QString();
        if (storedNameBytes(e.storedName() + partSuffix).size() > MaxStoredNameBytes) {
            result.longNames << e.Name.mid(root.size());
            continue;
        }
        ++result.files;
        result.bytes += size;
        if (size <= PartBytes) {
            cab.CABFileContents.append(e);
            sources.insert(e.storedName(), {e.Name, 0, size, size});
            continue;
        }
        result.splitFiles << e.Name.mid(root.size());
        const QString fileName = QFileInfo(e.Name).fileName();
        const QString folder = workFolder + QString::number(slices.size()) + QLatin1Char('/');
        for (qint64 at = 0, part = 1; at < size; at += PartBytes, ++part) {
            const Source s{e.Name, at, qMin(PartBytes, size - at), size};
            const TCABFileEntry entry{folder + fileName + QStringLiteral(".part") + QString::number(part), e.RelPath};
            slices.append({s, entry.Name});
            cab.CABFileContents.append(entry);
            sources.insert(entry.storedName(), s);
        }
    }

    auto progress = [this](const QString &phase, qint64 position, qint64 total) {
        if (OnProgress)
            OnProgress(phase, position, total);
    };
    const QString compressing = tr("Compressing...");
    cab.OnCompressProgress = [&](TCABFile *, qint64 position, qint64 total) { progress(compressing, position, total); };

    try {
        progress(compressing, 0, result.bytes);
        for (const Slice &s : std::as_const(slices)) {
            if (!QDir().mkpath(QFileInfo(s.copy).path()))
                throw ECABFileError(4, s.copy);
            copySlice(s.source, s.copy, Cancelled);
        }
        cab.Compress();
        QDir(workFolder).removeRecursively();

        result.cabinets = verify(first, sources, result.bytes);
        // A cancel that came after the last poll still leaves nothing behind.
        if (Cancelled && Cancelled())
            throw ECABFileError(ECABFileError::Cancelled);
    } catch (...) {
        QDir(workFolder).removeRecursively();
        removeSet(first);
        throw;
    }
    return result;
}
