// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Error.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// One file to store: `Name` is its full path on disk, `RelPath` the folder part of its
// name inside the archive ("" for the top level).
struct TCABFileEntry {
    QString Name;
    QString RelPath;
    // A slice of the file, [Offset, Offset + Length) (Length -1: to its end), stored under
    // StoredFileName ("" keeps the file's own name).
    qint64 Offset = 0;
    qint64 Length = -1;
    QString StoredFileName;
    // The name inside the archive, with "\" separators.
    QString storedName() const;
};

class TCABFileContents : public QList<TCABFileEntry> {
public:
    // One entry per file matching `mask` (a path whose last part may hold wild cards),
    // and with `recursive` the same for every subfolder, its name appended to `relPath`.
    void AddFiles(const QString &mask, const QString &relPath, bool recursive);
};

// The error codes of the compressor and their texts.
class ECABFileError : public KorvixError {
public:
    // Beyond the compressor's own codes: a file or an archive over the format's limits.
    enum { TooLargeForFolder = 100, TooLargeForCabinet = 101, NothingToPack = 102, Cancelled = 103, NameTooLong = 104 };
    // `reason`: what the system said, when it said something.
    ECABFileError(int code, const QString &fileName = {}, const QString &reason = {});
    int code() const { return m_code; }
    QString fileName() const { return m_fileName; }
    QString reason() const { return m_reason; }
    // The code's text and the reason, without the file name.
    QString detail() const;
    static QString text(int code);

private:
    int m_code;
    QString m_fileName;
    QString m_reason;
};

// A file as the archive lists it.
struct TCABStoredFile {
    QString name; // as stored, "\" separators
    qint64 size = 0;
    QDateTime time; // local
    int attributes = 0;
};

class TCABFile {
public:
    enum TCompressionType { typNone, typMSZIP, typLZX };
    enum TLZXMemory { lzxLowest, lzxLower, lzxLow, lzxMedium, lzxHigh, lzxHigher, lzxHighest };

    TCABFileContents CABFileContents;
    QString CABFile;
    TCompressionType CompressionType = typMSZIP;
    TLZXMemory LZXMemory = lzxLowest;
    QString TargetPath;
    // Position = uncompressed bytes read so far, Total = sum of the listed files' sizes.
    std::function<void(TCABFile *sender, qint64 position, qint64 total)> OnCompressProgress;
    // The stored name, the bytes written of it so far and its size.
    std::function<void(TCABFile *sender, const QString &fileName, qint64 position, qint64 size)>
        OnDecompressProgress;
    // FileName is the full target path; Overwrite starts true.
    std::function<void(TCABFile *sender, const QString &fileName, bool &overwrite)> OnOverWriteFile;

    QString Version() const { return QStringLiteral("1.5.1.1"); }

    // Builds CABFile from CABFileContents; throws ECABFileError. The archive is replaced
    // only when it is complete; of a set, either every cabinet is written or none.
    bool Compress();
    // Unpacks every file of CABFile (and of the cabinets that follow it in its set) into
    // TargetPath. Each file is renamed over an old one of its name only once it is whole,
    // and the file system is synced once at the end. False when the archive cannot be
    // read, any file could not be unpacked or the sync failed; names that would land
    // outside TargetPath are skipped.
    bool Extract();

    // The files of CABFile and the cabinets that follow it, in archive order; false when
    // any of them is not a readable cabinet.
    bool List(QList<TCABStoredFile> &files) const;

    // Reads every file of the set starting at CABFile without writing anything and
    // reports each with the zlib crc32 of its content; false when any part cannot be read.
    bool Verify(const std::function<void(const TCABStoredFile &file, quint32 crc32)> &onFile);

    // With a set allowed, an archive larger than MaxCabinetSize continues in further
    // cabinets (all in the folder of CABFile): cabinet `number` (2, 3, ...) is
    // CabinetName(number), by default CABFile's name with "_2", "_3", ... before its suffix.
    bool AllowSet = false;
    std::function<QString(int number)> CabinetName;
    // After Compress: every cabinet written, in order.
    QStringList CabinetsWritten() const { return m_written; }
    // Polled while packing, unpacking and verifying: true stops them with the error
    // Cancelled, and what they wrote is removed.
    std::function<bool()> Cancelled;
    QString defaultCabinetName(int number) const;

    // Threads that code MSZIP batches; 0: one per core.
    int Threads = 0;

    // Largest cabinet (bytes) and a single folder's limit.
    qint64 MaxCabinetSize = 2147483647;
    static constexpr qint64 MaxFolderBytes = 65535LL * 32768;
    // A folder cut between two cabinets counts the cut block in both, and the readers join
    // only folders of 65,535 blocks at most: in a set, a file gets one block less.
    static constexpr qint64 MaxSetFolderBytes = 65534LL * 32768;
    static constexpr qint64 FolderThreshold = 900000;
    static constexpr quint16 SetId = 12345;

    // Why the last Extract skipped or failed files (one line each).
    QStringList extractProblems() const { return m_problems; }

private:
    friend struct CabExtractor;
    QStringList m_problems;
    QStringList m_written;
};

// The date and time of the format (local time) and back.
quint32 cabDateTime(const QDateTime &local);
QDateTime cabDateTimeToLocal(quint16 date, quint16 time);
// The readers keep a stored name in 256 bytes with its closing zero.
constexpr int MaxStoredNameBytes = 255;
// The bytes a name takes in the archive (Latin-1 when plain ASCII, else UTF-8).
QByteArray storedNameBytes(const QString &storedName);
// The largest cabinet we read: no writer, ours included, makes one over 2 GiB (a set
// continues in further cabinets).
constexpr qint64 MaxCabinetFileBytes = 2147483647;

// Whether a stored name stays inside the target folder: no drive letter, no "..", no
// leading double separator. A single leading "\" means the target's top.
bool isSafeStoredName(const QString &name);
// Whether any existing part of `relative` below `root` is a symbolic link: writing
// through it could land anywhere.
bool passesThroughLink(const QString &root, const QString &relative);
