// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/CabFile.h"
#include "services/CabLayout.h"
#include "services/CabWriter.h"
#include "services/LzxEncoder.h"

#include "platform/AtomicFile.h"
#include "platform/FileReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <deque>
#include <future>
#include <limits>
#include <memory>

#include <vector>

using namespace cablayout;

namespace {
PlannedFile planFile(const TCABFileEntry &entry)
{
    PlannedFile f;
    f.path = entry.Name;
    const QString stored = entry.storedName();
    const QFileInfo info(entry.Name);
    // A file that cannot be measured counts 0; a slice past its end fails when it is read.
    if (entry.Offset < 0)
        throw ECABFileError(1, entry.Name);
    const qint64 rest = qMax<qint64>(0, (info.exists() ? info.size() : 0) - entry.Offset);
    f.start = entry.Offset;
    f.size = entry.Length >= 0 ? entry.Length : rest;
    const quint32 stamp = cabDateTime(info.lastModified().toLocalTime());
    f.date = quint16(stamp >> 16);
    f.time = quint16(stamp & 0xffff);
    f.attribs = 0x20; // archive: not yet backed up
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        f.attribs |= 0x01;
    if ((entry.StoredFileName.isEmpty() ? info.fileName() : entry.StoredFileName).startsWith(QLatin1Char('.')))
        f.attribs |= 0x02;
    f.name = storedNameBytes(stored);
    if (f.name.size() != stored.size())
        f.attribs |= 0x80; // UTF-8
    // A longer name makes a cabinet no reader opens.
    if (f.name.size() > MaxStoredNameBytes)
        throw ECABFileError(ECABFileError::NameTooLong, entry.Name);
    return f;
}

// Data blocks are coded in batches of up to 1 MiB. MSZIP batches are independent (each
// starts from its folder's previous block as dictionary), so they run on every core while
// the archive keeps its order; LZX carries its window along and runs in order, in
// smaller batches so that progress still comes every few tens of milliseconds.
constexpr int BatchBlocks = 32, InOrderBatchBlocks = 4;

// A folder's blocks, as many as fit.
qint64 blocksOf(qint64 bytes)
{
    return (bytes + BlockSize - 1) / BlockSize;
}

void codeBatch(Batch &b, TCABFile::TCompressionType type, LzxEncoder *lzx)
{
    b.coded.reserve(b.raw.size() + b.raw.size() / 16 + 1024);
    std::unique_ptr<MszipBlockEncoder> mszip;
    if (type == TCABFile::typMSZIP) {
        mszip = std::make_unique<MszipBlockEncoder>();
        mszip->start(b.dictionary.constData(), int(b.dictionary.size()));
    }
    QByteArray coded;
    for (qsizetype at = 0; at < b.raw.size(); at += BlockSize, ++b.blocks) {
        const char *data = b.raw.constData() + at;
        const int size = int(qMin<qsizetype>(BlockSize, b.raw.size() - at));
        if (type == TCABFile::typMSZIP) {
            if (!mszip->encode(data, size, coded)) {
                b.failed = true;
                return;
            }
            appendRecord(b.coded, coded.constData(), int(coded.size()), size);
        } else if (type == TCABFile::typLZX) {
            lzx->encode(data, size, coded);
            appendRecord(b.coded, coded.constData(), int(coded.size()), size);
        } else {
            appendRecord(b.coded, data, size, size);
        }
    }
}

// Streams the folders' files through the block coders into the archive.
class FolderWriter {
public:
    FolderWriter(TCABFile &cab, qint64 total, const std::vector<PlannedFolder> &folders,
                 const std::function<void(const Batch &)> &sink)
        : m_cab(cab), m_sink(sink), m_total(total), m_folders(folders), m_lzx(15 + int(cab.LZXMemory))
        , m_threads(cab.Threads > 0 ? cab.Threads : qMax(1, QThread::idealThreadCount())), m_inFlight(2 * m_threads)
        , m_batchBytes(qsizetype(cab.CompressionType == TCABFile::typMSZIP ? BatchBlocks : InOrderBatchBlocks) * BlockSize)
    {
        m_clock.start();
    }

    void writeFolder(const std::vector<PlannedFile> &files, int folderIndex)
    {
        const PlannedFolder &folder = m_folders[size_t(folderIndex)];
        m_lzx.reset();
        auto batch = newBatch(folderIndex, {});
        for (int i = folder.firstFile; i < folder.firstFile + folder.fileCount; ++i) {
            const PlannedFile &f = files[size_t(i)];
            // Regular files only: a FIFO or device put in a file's place must not hang us.
            QFile in;
            if (!FileReader::open(in, f.path, std::numeric_limits<qint64>::max()).isEmpty()
                || (f.start > 0 && !in.seek(f.start)))
                throw ECABFileError(1, f.path);
            qint64 left = f.size;
            while (left > 0) {
                const qint64 room = m_batchBytes - batch->raw.size();
                const qint64 want = qMin(left, room);
                const qsizetype had = batch->raw.size();
                batch->raw.resize(had + want);
                const qint64 got = in.read(batch->raw.data() + had, want);
                // A file that shrank since it was measured cannot fill its entry.
                if (got != want)
                    throw ECABFileError(2, f.path);
                left -= got;
                if (batch->raw.size() == m_batchBytes) {
                    QByteArray last = batch->raw.right(BlockSize);
                    submit(std::move(batch));
                    batch = newBatch(folderIndex, std::move(last));
                }
            }
        }
        if (!batch->raw.isEmpty())
            submit(std::move(batch));
    }

    void finish()
    {
        while (!m_pending.empty())
            writeOldest();
        if (m_cab.OnCompressProgress)
            m_cab.OnCompressProgress(&m_cab, m_done, m_total);
    }

private:
    struct Pending {
        std::unique_ptr<Batch> batch;
        std::future<void> done;
    };

    std::unique_ptr<Batch> newBatch(int folder, QByteArray dictionary) const
    {
        auto b = std::make_unique<Batch>();
        b->folder = folder;
        b->dictionary = std::move(dictionary);
        b->raw.reserve(m_batchBytes);
        return b;
    }

    void submit(std::unique_ptr<Batch> batch)
    {
        Batch *b = batch.get();
        const TCABFile::TCompressionType type = m_cab.CompressionType;
        std::future<void> done;
        if (type == TCABFile::typMSZIP && m_threads > 1) {
            done = std::async(std::launch::async, [b, type] { codeBatch(*b, type, nullptr); });
        } else {
            codeBatch(*b, type, &m_lzx);
            std::promise<void> ready;
            ready.set_value();
            done = ready.get_future();
        }
        m_pending.push_back({std::move(batch), std::move(done)});
        while (int(m_pending.size()) > m_inFlight)
            writeOldest();
    }

    void writeOldest()
    {
        Pending p = std::move(m_pending.front());
        m_pending.pop_front();
        p.done.get();
        const Batch &b = *p.batch;
        if (b.failed)
            throw ECABFileError(8);
        throwIfCancelled(m_cab);
        m_sink(b);
        m_done += b.raw.size();
        if (m_cab.OnCompressProgress && m_clock.elapsed() >= 30) {
            m_clock.restart();
            m_cab.OnCompressProgress(&m_cab, m_done, m_total);
        }
    }

    TCABFile &m_cab;
    const std::function<void(const Batch &)> &m_sink;
    qint64 m_total, m_done = 0;
    const std::vector<PlannedFolder> &m_folders;
    LzxEncoder m_lzx;
    int m_threads, m_inFlight;
    qsizetype m_batchBytes;
    std::deque<Pending> m_pending;
    QElapsedTimer m_clock;
};

// Folders close once they pass `threshold`, and before they would overflow. With
// `ownFolderFrom` a file of that size or more gets a folder of its own: only such folders
// may continue in the next cabinet of a set, as readers drop any other file of a
// continued folder.
std::vector<PlannedFolder> planFolders(std::vector<PlannedFile> &files, qint64 threshold, qint64 ownFolderFrom)
{
    std::vector<PlannedFolder> folders;
    qint64 folderBytes = 0;
    bool alone = false;
    for (int i = 0; i < int(files.size()); ++i) {
        PlannedFile &f = files[size_t(i)];
        const bool big = f.size >= ownFolderFrom;
        if (folders.empty() || alone || big || folderBytes >= threshold || folderBytes + f.size > TCABFile::MaxFolderBytes) {
            folders.push_back({i, 0, 0, 0});
            folderBytes = 0;
        }
        alone = big;
        f.folder = quint16(folders.size() - 1);
        f.offset = quint32(folderBytes);
        folderBytes += f.size;
        ++folders.back().fileCount;
    }
    return folders;
}

qint64 headerBytes(const std::vector<PlannedFile> &files, size_t folderCount)
{
    qint64 size = HeaderSize + FolderSize * qint64(folderCount);
    for (const PlannedFile &f : files)
        size += f.entrySize();
    return size;
}

// The most one cabinet of these folders can take: stored blocks and a little more.
qint64 sizeBound(const std::vector<PlannedFile> &files, const std::vector<PlannedFolder> &folders)
{
    qint64 bound = headerBytes(files, folders.size());
    for (const PlannedFolder &folder : folders) {
        qint64 raw = 0;
        for (int i = folder.firstFile; i < folder.firstFile + folder.fileCount; ++i)
            raw += files[size_t(i)].size;
        bound += raw + blocksOf(raw) * (DataHeaderSize + 64);
    }
    return bound;
}

void writeOneCabinet(TCABFile &cab, const std::vector<PlannedFile> &files, std::vector<PlannedFolder> &folders,
                     qint64 total)
{
    if (files.size() > 65535 || folders.size() > 65535)
        throw ECABFileError(ECABFileError::TooLargeForCabinet, cab.CABFile);
    const qint64 filesStart = HeaderSize + FolderSize * qint64(folders.size());
    const qint64 dataStart = headerBytes(files, folders.size());

    AtomicFile::Pending out(cab.CABFile);
    if (const QString why = out.open(); !why.isEmpty())
        throw ECABFileError(6, cab.CABFile, why);
    const auto put = [&](const QByteArray &bytes) {
        if (!out.put(bytes.constData(), bytes.size()))
            throw ECABFileError(6, cab.CABFile, out.error());
    };
    put(QByteArray(dataStart, '\0'));
    qint64 at = dataStart;
    codeFolders(cab, files, folders, total, [&](const Batch &b) {
        PlannedFolder &folder = folders[size_t(b.folder)];
        if (folder.blocks == 0)
            folder.dataStart = quint32(at);
        if (at + b.coded.size() > cab.MaxCabinetSize)
            throw ECABFileError(ECABFileError::TooLargeForCabinet, cab.CABFile);
        if (folder.blocks + b.blocks > 65535)
            throw ECABFileError(ECABFileError::TooLargeForFolder, cab.CABFile);
        put(b.coded);
        at += b.coded.size();
        folder.blocks = quint16(folder.blocks + b.blocks);
    });
    for (PlannedFolder &f : folders)
        if (f.blocks == 0)
            f.dataStart = quint32(at); // no data: any place inside the cabinet
    const qint64 cabinetSize = at;

    QByteArray head;
    head.reserve(int(dataStart));
    putHeader(head, quint32(cabinetSize), quint32(filesStart), quint16(folders.size()), quint16(files.size()), 0, 0);
    const quint16 type = compressionWord(cab);
    for (const PlannedFolder &folder : folders) {
        put32(head, folder.dataStart);
        put16(head, folder.blocks);
        put16(head, type);
    }
    for (const PlannedFile &f : files) {
        put32(head, quint32(f.size));
        put32(head, f.offset);
        put16(head, f.folder);
        put16(head, f.date);
        put16(head, f.time);
        put16(head, f.attribs);
        head.append(f.name).append('\0');
    }
    if (!out.file().seek(0))
        throw ECABFileError(6, cab.CABFile, out.file().errorString());
    put(head);
    throwIfCancelled(cab);
    // An old set's further cabinets would still name this one: they go with the same step.
    const QStringList obsolete = cab.AllowSet ? oldCabinets(cab, 1) : QStringList();
    const QString why = obsolete.isEmpty() ? out.commit() : AtomicFile::replaceAll({&out}, obsolete);
    if (!why.isEmpty())
        throw ECABFileError(6, cab.CABFile, why);
}
} // namespace

namespace cablayout {
void appendRecord(QByteArray &out, const char *data, int size, int rawSize)
{
    QByteArray head;
    put32(head, 0);
    put16(head, quint16(size));
    put16(head, quint16(rawSize));
    const quint32 sum = cabChecksum(head.constData() + 4, 4, cabChecksum(data, size, 0));
    head[0] = char(sum & 0xff);
    head[1] = char(sum >> 8 & 0xff);
    head[2] = char(sum >> 16 & 0xff);
    head[3] = char(sum >> 24);
    out += head;
    out.append(data, size);
}

quint16 compressionWord(const TCABFile &cab)
{
    return cab.CompressionType == TCABFile::typMSZIP ? 1
           : cab.CompressionType == TCABFile::typLZX ? quint16(3 | (15 + int(cab.LZXMemory)) << 8)
                                                     : 0;
}

QString cabinetPath(const TCABFile &cab, int index)
{
    if (index == 0)
        return cab.CABFile;
    const QString name = cab.CabinetName ? cab.CabinetName(index + 1) : QString();
    return name.isEmpty() ? cab.defaultCabinetName(index + 1) : name;
}

QStringList oldCabinets(const TCABFile &cab, int from)
{
    QStringList old;
    if (!QFileInfo(cab.CABFile).isFile())
        return old;
    for (int i = from; i < 65535; ++i) {
        const QString path = cabinetPath(cab, i);
        if (!QFileInfo(path).isFile() || QFileInfo(path).isSymLink())
            break;
        old << path;
    }
    return old;
}

void throwIfCancelled(const TCABFile &cab)
{
    if (cab.Cancelled && cab.Cancelled())
        throw ECABFileError(ECABFileError::Cancelled, cab.CABFile);
}

void codeFolders(TCABFile &cab, const std::vector<PlannedFile> &files, const std::vector<PlannedFolder> &folders,
                 qint64 total, const std::function<void(const Batch &)> &sink)
{
    FolderWriter writer(cab, total, folders, sink);
    for (int i = 0; i < int(folders.size()); ++i)
        writer.writeFolder(files, i);
    writer.finish();
}
} // namespace cablayout

QString TCABFile::defaultCabinetName(int number) const
{
    const QFileInfo first(CABFile);
    const QString suffix = first.suffix().isEmpty() ? QString() : QLatin1Char('.') + first.suffix();
    // The folder part as the caller wrote it, so a name without one stays without.
    return CABFile.left(CABFile.size() - first.fileName().size()) + first.completeBaseName() + QLatin1Char('_')
           + QString::number(number) + suffix;
}

bool TCABFile::Compress()
{
    m_written.clear();
    if (CompressionType == typLZX && (LZXMemory < lzxLowest || LZXMemory > lzxHighest))
        throw ECABFileError(5);
    // A cabinet without a file is not one to the readers, so none is written.
    if (CABFileContents.isEmpty())
        throw ECABFileError(ECABFileError::NothingToPack, CABFile);
    std::vector<PlannedFile> files;
    files.reserve(size_t(CABFileContents.size()));
    qint64 total = 0;
    for (const TCABFileEntry &e : CABFileContents) {
        files.push_back(planFile(e));
        if (files.back().size > MaxFolderBytes)
            throw ECABFileError(ECABFileError::TooLargeForFolder, e.Name);
        total += files.back().size;
    }
    std::vector<PlannedFolder> folders = planFolders(files, FolderThreshold, MaxFolderBytes + 1);
    if (!AllowSet || sizeBound(files, folders) <= MaxCabinetSize) {
        try {
            writeOneCabinet(*this, files, folders, total);
            m_written = QStringList{CABFile};
            return true;
        } catch (const ECABFileError &e) {
            // Coded data larger than the bound said: a set after all.
            if (!AllowSet || e.code() != ECABFileError::TooLargeForCabinet)
                throw;
        }
    }
    // In a set, a multi-file folder must fit into one cabinet, so it stays well below one.
    for (size_t i = 0; i < files.size(); ++i)
        if (files[i].size > MaxSetFolderBytes)
            throw ECABFileError(ECABFileError::TooLargeForFolder, CABFileContents[qsizetype(i)].Name);
    const qint64 small = qMax<qint64>(1, qMin(FolderThreshold, MaxCabinetSize / 4));
    folders = planFolders(files, small, small);
    m_written = writeCabinetSet(*this, files, folders, total);
    return true;
}
