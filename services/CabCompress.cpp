#include "services/CabFile.h"
#include "services/CabWriter.h"
#include "services/LzxEncoder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <vector>

namespace {
constexpr int BlockSize = 32768;
constexpr int HeaderSize = 36, FolderSize = 8, FileFixedSize = 16, DataHeaderSize = 8;

void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8));
}
void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v & 0xffff));
    put16(b, quint16(v >> 16));
}

struct PlannedFile {
    QString path;
    QByteArray name; // as stored
    qint64 size = 0;
    quint32 offset = 0; // within its folder
    quint16 folder = 0, date = 0, time = 0, attribs = 0;
};

struct PlannedFolder {
    int firstFile = 0, fileCount = 0;
    quint32 dataStart = 0;
    quint16 blocks = 0;
};

PlannedFile planFile(const TCABFileEntry &entry)
{
    PlannedFile f;
    f.path = entry.Name;
    const QString stored = entry.storedName();
    const QFileInfo info(entry.Name);
    f.size = info.exists() ? info.size() : 0; // a file that cannot be measured counts 0
    const quint32 stamp = cabDateTime(info.lastModified().toLocalTime());
    f.date = quint16(stamp >> 16);
    f.time = quint16(stamp & 0xffff);
    f.attribs = 0x20; // archive: not yet backed up
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        f.attribs |= 0x01;
    if (info.fileName().startsWith(QLatin1Char('.')))
        f.attribs |= 0x02;
    bool ascii = true;
    for (QChar c : stored)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        f.name = stored.toLatin1();
    } else {
        f.name = stored.toUtf8();
        f.attribs |= 0x80;
    }
    return f;
}

// Streams the folders' files through the block coder into the archive.
class FolderWriter {
public:
    FolderWriter(TCABFile &cab, QSaveFile &out, qint64 total)
        : m_cab(cab), m_out(out), m_total(total), m_lzx(15 + int(cab.LZXMemory))
    {
        m_clock.start();
    }

    void writeFolder(std::vector<PlannedFile> &files, PlannedFolder &folder)
    {
        folder.dataStart = quint32(m_out.pos());
        m_blocks = 0;
        m_mszip.reset();
        m_lzx.reset();
        for (int i = folder.firstFile; i < folder.firstFile + folder.fileCount; ++i) {
            const PlannedFile &f = files[size_t(i)];
            QFile in(f.path);
            if (!in.open(QIODevice::ReadOnly))
                throw ECABFileError(1, f.path);
            qint64 left = f.size;
            while (left > 0) {
                const qint64 want = qMin<qint64>(left, qint64(BlockSize - m_fill));
                const qint64 got = in.read(m_block + m_fill, want);
                // A file that shrank since it was measured cannot fill its entry.
                if (got <= 0)
                    throw ECABFileError(2, f.path);
                m_fill += int(got);
                left -= got;
                m_done += got;
                if (m_fill == BlockSize)
                    flushBlock();
            }
        }
        if (m_fill > 0)
            flushBlock();
        folder.blocks = quint16(m_blocks);
    }

    void finalProgress()
    {
        if (m_cab.OnCompressProgress)
            m_cab.OnCompressProgress(&m_cab, m_done, m_total);
    }

private:
    void flushBlock()
    {
        const char *data = m_block;
        int size = m_fill;
        if (m_cab.CompressionType == TCABFile::typMSZIP) {
            if (!m_mszip.encode(m_block, m_fill, m_coded))
                throw ECABFileError(8);
            data = m_coded.constData();
            size = int(m_coded.size());
        } else if (m_cab.CompressionType == TCABFile::typLZX) {
            m_lzx.encode(m_block, m_fill, m_coded);
            data = m_coded.constData();
            size = int(m_coded.size());
        }
        QByteArray head;
        put32(head, 0);
        put16(head, quint16(size));
        put16(head, quint16(m_fill));
        const quint32 sum = cabChecksum(head.constData() + 4, 4, cabChecksum(data, size, 0));
        head[0] = char(sum & 0xff);
        head[1] = char(sum >> 8 & 0xff);
        head[2] = char(sum >> 16 & 0xff);
        head[3] = char(sum >> 24);
        if (m_out.write(head) != head.size() || m_out.write(data, size) != size)
            throw ECABFileError(6, m_cab.CABFile);
        if (m_out.pos() > m_cab.MaxCabinetSize)
            throw ECABFileError(ECABFileError::TooLargeForCabinet, m_cab.CABFile);
        ++m_blocks;
        m_fill = 0;
        if (m_cab.OnCompressProgress && m_clock.elapsed() >= 30) {
            m_clock.restart();
            m_cab.OnCompressProgress(&m_cab, m_done, m_total);
        }
    }

    TCABFile &m_cab;
    QSaveFile &m_out;
    qint64 m_total, m_done = 0;
    char m_block[BlockSize];
    int m_fill = 0;
    QByteArray m_coded;
    int m_blocks = 0;
    MszipBlockEncoder m_mszip;
    LzxEncoder m_lzx;
    QElapsedTimer m_clock;
};
} // namespace

bool TCABFile::Compress()
{
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
    if (files.size() > 65535)
        throw ECABFileError(ECABFileError::TooLargeForCabinet, CABFile);

    // Folders close once they pass the threshold, and before they would overflow.
    std::vector<PlannedFolder> folders;
    qint64 folderBytes = 0;
    for (int i = 0; i < int(files.size()); ++i) {
        PlannedFile &f = files[size_t(i)];
        if (folders.empty() || folderBytes >= FolderThreshold || folderBytes + f.size > MaxFolderBytes) {
            folders.push_back({i, 0, 0, 0});
            folderBytes = 0;
        }
        f.folder = quint16(folders.size() - 1);
        f.offset = quint32(folderBytes);
        folderBytes += f.size;
        ++folders.back().fileCount;
    }
    if (folders.size() > 65535)
        throw ECABFileError(ECABFileError::TooLargeForCabinet, CABFile);

    qint64 filesStart = HeaderSize + FolderSize * qint64(folders.size());
    qint64 dataStart = filesStart;
    for (const PlannedFile &f : files)
        dataStart += FileFixedSize + f.name.size() + 1;

    QSaveFile out(CABFile);
    if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray(dataStart, '\0')) != dataStart)
        throw ECABFileError(6, CABFile);
    FolderWriter writer(*this, out, total);
    for (PlannedFolder &folder : folders)
        writer.writeFolder(files, folder);
    writer.finalProgress();
    const qint64 cabinetSize = out.pos();

    QByteArray head;
    head.reserve(int(dataStart));
    head.append("MSCF", 4);
    put32(head, 0);
    put32(head, quint32(cabinetSize));
    put32(head, 0);
    put32(head, quint32(filesStart));
    put32(head, 0);
    head.append(char(3)).append(char(1)); // format version 1.3
    put16(head, quint16(folders.size()));
    put16(head, quint16(files.size()));
    put16(head, 0); // no previous or next cabinet, no reserved areas
    put16(head, SetId);
    put16(head, 0);
    const quint16 type = CompressionType == typMSZIP ? 1
                         : CompressionType == typLZX ? quint16(3 | (15 + int(LZXMemory)) << 8)
                                                     : 0;
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
    // commit() ignores a failed final flush, so it is checked first.
    if (!out.seek(0) || out.write(head) != head.size() || !out.flush() || !out.commit())
        throw ECABFileError(6, CABFile);
    return true;
}
