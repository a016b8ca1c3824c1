// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/CabFile.h"
#include "services/CabLayout.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

using namespace cablayout;

namespace {
constexpr int MaxEntries = 65535;
const QByteArray diskName = QByteArrayLiteral("CAB");

// A folder's share of one cabinet.
struct Part {
    int folder = 0;
    qint64 dataOffset = 0; // within the cabinet's data area
    int blocks = 0;
    bool fromPrev = false, toNext = false;
};

// Places the coded folders into cabinets as they come. A cabinet's header is known only
// once it is full, so its data waits in a work file until then; no cabinet gets its name
// before the whole set is written.
class SetWriter {
public:
    SetWriter(TCABFile &cab, const std::vector<PlannedFile> &files, const std::vector<PlannedFolder> &folders)
        : m_cab(cab), m_files(files), m_folders(folders), m_type(compressionWord(cab))
    {
    }
    // A set that was not finished leaves nothing: the pending cabinets remove themselves.
    ~SetWriter() = default;
    SetWriter(const SetWriter &) = delete;
    SetWriter &operator=(const SetWriter &) = delete;

    void take(const Batch &b)
    {
        if (b.folder != m_current) {
            endFolder();
            while (m_nextFolder < b.folder)
                placeWhole(m_nextFolder++, {}, 0);
            m_current = m_nextFolder++;
            m_rawLeft = folderBytes(m_current);
        }
        if (!streamed(m_current)) {
            m_held += b.coded;
            m_heldBlocks += b.blocks;
            return;
        }
        for (qsizetype at = 0; at < b.coded.size();) {
            const char *record = b.coded.constData() + at;
            const int size = get16(record + 4), raw = get16(record + 6);
            m_rawLeft -= raw;
            streamRecord(record + DataHeaderSize, size, raw, m_rawLeft == 0);
            at += DataHeaderSize + size;
        }
    }

    QStringList finish()
    {
        endFolder();
        while (m_nextFolder < int(m_folders.size()))
            placeWhole(m_nextFolder++, {}, 0);
        closeCabinet(false);
        m_work.reset();
        throwIfCancelled(m_cab);
        std::vector<AtomicFile::Pending *> all;
        QStringList paths;
        for (const auto &p : m_pending) {
            all.push_back(p.get());
            paths << p->target();
        }
        // The old set is replaced whole or not at all, its surplus cabinets included.
        if (const QString why = AtomicFile::replaceAll(all, oldCabinets(m_cab, int(all.size()))); !why.isEmpty())
            throw ECABFileError(6, m_cab.CABFile, why);
        return paths;
    }

private:
    // Only a folder of one file may continue in the next cabinet: readers keep no other
    // file of a continued folder.
    bool streamed(int folder) const
    {
        const PlannedFolder &f = m_folders[size_t(folder)];
        return f.fileCount == 1 && m_files[size_t(f.firstFile)].size > 0;
    }

    qint64 folderBytes(int folder) const
    {
        const PlannedFolder &f = m_folders[size_t(folder)];
        qint64 bytes = 0;
        for (int i = f.firstFile; i < f.firstFile + f.fileCount; ++i)
            bytes += m_files[size_t(i)].size;
        return bytes;
    }

    int entriesSize(int folder) const
    {
        const PlannedFolder &f = m_folders[size_t(folder)];
        int bytes = 0;
        for (int i = f.firstFile; i < f.firstFile + f.fileCount; ++i)
            bytes += m_files[size_t(i)].entrySize();
        return bytes;
    }

    void endFolder()
    {
        if (m_current >= 0 && !streamed(m_current))
            placeWhole(m_current, m_held, m_heldBlocks);
        m_held.clear();
        m_heldBlocks = 0;
        m_current = -1;
    }

    QString pathOf(int index) const { return cabinetPath(m_cab, index); }

    static QByteArray nameBytes(const QString &path) { return QFileInfo(path).fileName().toUtf8(); }

    qint64 headerSize() const
    {
        qint64 size = HeaderSize + FolderSize * qint64(m_parts.size()) + m_fileBytes;
        if (m_index > 0)
            size += m_prevName.size() + 1 + diskName.size() + 1;
        // Room for the next cabinet's name is kept whether or not one follows.
        return size + m_nextName.size() + 1 + diskName.size() + 1;
    }

    qint64 room() const { return m_cab.MaxCabinetSize - headerSize() - m_dataSize; }

    bool hasRoomFor(int folder, qint64 bytes) const
    {
        return int(m_parts.size()) < MaxEntries
               && m_fileEntries + m_folders[size_t(folder)].fileCount <= MaxEntries
               && FolderSize + entriesSize(folder) + bytes <= room();
    }

    void openCabinet()
    {
        if (m_open)
            return;
        ++m_index;
        if (m_index >= MaxEntries)
            throw ECABFileError(ECABFileError::TooLargeForCabinet, m_cab.CABFile);
        m_path = pathOf(m_index);
        // Readers look for the next cabinet by its name beside the one before.
        const QFileInfo path(m_path);
        if (path.absolutePath() != QFileInfo(m_cab.CABFile).absolutePath() || m_names.contains(path.fileName().toLower()))
            throw ECABFileError(6, m_path);
        m_names << path.fileName().toLower();
        m_nextName = nameBytes(pathOf(m_index + 1));
        if (!m_work) {
            // A work file that is never put in place: dropped, it goes.
            m_work = std::make_unique<AtomicFile::Pending>(m_cab.CABFile);
            if (const QString why = m_work->open(); !why.isEmpty())
                throw ECABFileError(4, m_path, why);
        }
        if (!m_work->file().seek(0) || !m_work->file().resize(0))
            throw ECABFileError(4, m_path, m_work->file().errorString());
        m_parts.clear();
        m_fileBytes = 0;
        m_fileEntries = 0;
        m_dataSize = 0;
        m_open = true;
    }

    void addPart(int folder, bool fromPrev, qint64 firstBytes)
    {
        if (!m_open || (!fromPrev && !m_parts.empty() && !hasRoomFor(folder, firstBytes))) {
            closeCabinet(true);
            openCabinet();
        }
        if (!hasRoomFor(folder, firstBytes))
            throw ECABFileError(ECABFileError::TooLargeForCabinet, m_cab.CABFile);
        m_parts.push_back({folder, m_dataSize, 0, fromPrev, false});
        m_fileBytes += entriesSize(folder);
        m_fileEntries += m_folders[size_t(folder)].fileCount;
    }

    void writeData(const char *data, qint64 size)
    {
        if (!m_work->put(data, size))
            throw ECABFileError(4, m_path, m_work->error());
        m_dataSize += size;
    }

    void writeRecord(const char *data, int size, int rawSize)
    {
        QByteArray record;
        appendRecord(record, data, size, rawSize);
        writeData(record.constData(), record.size());
        ++m_parts.back().blocks;
    }

    // A folder of several files goes whole into one cabinet.
    void placeWhole(int folder, const QByteArray &coded, int blocks)
    {
        addPart(folder, false, coded.size());
        writeData(coded.constData(), coded.size());
        m_parts.back().blocks = blocks;
    }

    // The format continues a folder by cutting one data record in two: the first piece
    // ends this cabinet with an uncompressed size of 0, the rest opens the next one.
    void streamRecord(const char *data, int size, int rawSize, bool lastOfFolder)
    {
        if (m_parts.empty() || m_parts.back().folder != m_current || !m_open)
            addPart(m_current, false, DataHeaderSize + 1);
        for (;;) {
            const qint64 free = room();
            // Unless the folder ends here, the next record needs room for a piece too.
            const qint64 keep = lastOfFolder ? 0 : DataHeaderSize + 1;
            if (DataHeaderSize + size <= free - keep) {
                writeRecord(data, size, rawSize);
                return;
            }
            const qint64 piece = qMin<qint64>(free - DataHeaderSize, size - 1);
            if (piece < 1) {
                if (DataHeaderSize + size > free)
                    throw ECABFileError(ECABFileError::TooLargeForCabinet, m_cab.CABFile);
                writeRecord(data, size, rawSize);
                return;
            }
            writeRecord(data, int(piece), 0);
            m_parts.back().toNext = true;
            data += piece;
            size -= int(piece);
            closeCabinet(true);
            openCabinet();
            addPart(m_current, true, DataHeaderSize + 1);
        }
    }

    quint16 folderIndexOf(const Part &part, int index) const
    {
        if (!streamed(part.folder))
            return quint16(index);
        if (part.fromPrev && part.toNext)
            return ContinuedPrevAndNext;
        if (part.fromPrev)
            return ContinuedFromPrev;
        return part.toNext ? ContinuedToNext : quint16(index);
    }

    void closeCabinet(bool more)
    {
        if (!m_open)
            return;
        m_open = false;
        QByteArray names;
        if (m_index > 0)
            names.append(m_prevName).append('\0').append(diskName).append('\0');
        if (more)
            names.append(m_nextName).append('\0').append(diskName).append('\0');
        const qint64 filesStart = HeaderSize + names.size() + FolderSize * qint64(m_parts.size());
        const qint64 dataStart = filesStart + m_fileBytes;
        const qint64 cabinetSize = dataStart + m_dataSize;
        if (cabinetSize > m_cab.MaxCabinetSize)
            throw ECABFileError(ECABFileError::TooLargeForCabinet, m_path);

        QByteArray head;
        head.reserve(int(dataStart));
        putHeader(head, quint32(cabinetSize), quint32(filesStart), quint16(m_parts.size()), quint16(m_fileEntries),
                  quint16((m_index > 0 ? PrevCabinet : 0) | (more ? NextCabinet : 0)), quint16(m_index));
        head += names;
        for (const Part &part : m_parts) {
            put32(head, quint32(dataStart + part.dataOffset));
            put16(head, quint16(part.blocks));
            put16(head, m_type);
        }
        for (int i = 0; i < int(m_parts.size()); ++i) {
            const Part &part = m_parts[size_t(i)];
            const PlannedFolder &folder = m_folders[size_t(part.folder)];
            for (int f = folder.firstFile; f < folder.firstFile + folder.fileCount; ++f) {
                const PlannedFile &file = m_files[size_t(f)];
                put32(head, quint32(file.size));
                put32(head, file.offset);
                put16(head, folderIndexOf(part, i));
                put16(head, file.date);
                put16(head, file.time);
                put16(head, file.attribs);
                head.append(file.name).append('\0');
            }
        }

        // Until the set is complete each cabinet waits, synced and closed, under a
        // temporary name beside its target.
        auto save = std::make_unique<AtomicFile::Pending>(m_path);
        AtomicFile::Pending &p = *save;
        m_pending.push_back(std::move(save));
        if (const QString why = p.open(); !why.isEmpty())
            throw ECABFileError(6, m_path, why);
        if (!p.put(head.constData(), head.size()))
            throw ECABFileError(6, m_path, p.error());
        if (!m_work->file().seek(0))
            throw ECABFileError(6, m_path, m_work->file().errorString());
        QByteArray chunk(qsizetype(qMin<qint64>(m_dataSize, 4 << 20)), Qt::Uninitialized);
        for (qint64 left = m_dataSize; left > 0;) {
            throwIfCancelled(m_cab);
            const qint64 got = m_work->file().read(chunk.data(), qMin<qint64>(left, chunk.size()));
            if (got <= 0)
                throw ECABFileError(6, m_path, m_work->file().errorString());
            if (!p.put(chunk.constData(), got))
                throw ECABFileError(6, m_path, p.error());
            left -= got;
        }
        if (const QString why = p.finish(); !why.isEmpty())
            throw ECABFileError(6, m_path, why);
        m_prevName = nameBytes(m_path);
    }

    TCABFile &m_cab;
    const std::vector<PlannedFile> &m_files;
    const std::vector<PlannedFolder> &m_folders;
    const quint16 m_type;
    // The folder being coded.
    int m_current = -1, m_nextFolder = 0;
    qint64 m_rawLeft = 0;
    QByteArray m_held;
    int m_heldBlocks = 0;
    // The cabinet being filled.
    bool m_open = false;
    int m_index = -1;
    QString m_path;
    QByteArray m_prevName, m_nextName;
    QStringList m_names; // of the cabinets so far, as the readers compare them
    std::vector<Part> m_parts;
    qint64 m_fileBytes = 0, m_dataSize = 0;
    int m_fileEntries = 0;
    std::unique_ptr<AtomicFile::Pending> m_work;
    std::vector<std::unique_ptr<AtomicFile::Pending>> m_pending;
};
} // namespace

QStringList cablayout::writeCabinetSet(TCABFile &cab, const std::vector<PlannedFile> &files,
                                       const std::vector<PlannedFolder> &folders, qint64 total)
{
    SetWriter writer(cab, files, folders);
    codeFolders(cab, files, folders, total, [&](const Batch &b) { writer.take(b); });
    return writer.finish();
}
