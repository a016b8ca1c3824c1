// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pieces of an archive as the writers plan and code it (shared by the one-cabinet
// and the cabinet-set writers; not part of the component's interface).
#include "services/CabFile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace cablayout {
constexpr int BlockSize = 32768;
constexpr int HeaderSize = 36, FolderSize = 8, FileFixedSize = 16, DataHeaderSize = 8;
// The header flags of a cabinet in a set.
constexpr quint16 PrevCabinet = 0x0001, NextCabinet = 0x0002;
// Folder indices of files that continue across cabinets.
constexpr quint16 ContinuedFromPrev = 0xFFFD, ContinuedToNext = 0xFFFE, ContinuedPrevAndNext = 0xFFFF;

inline void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8));
}
inline void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v & 0xffff));
    put16(b, quint16(v >> 16));
}
inline quint16 get16(const char *p)
{
    return quint16(quint8(p[0]) | quint8(p[1]) << 8);
}
// The fixed part of a cabinet's header: format 1.3, our set id, no reserved areas.
// `flags` holds PrevCabinet / NextCabinet; `index` is the cabinet's place in its set.
inline void putHeader(QByteArray &b, quint32 cabinetSize, quint32 filesStart, quint16 folders, quint16 files,
                      quint16 flags, quint16 index)
{
    b.append("MSCF", 4);
    put32(b, 0);
    put32(b, cabinetSize);
    put32(b, 0);
    put32(b, filesStart);
    put32(b, 0);
    b.append(char(3)).append(char(1));
    put16(b, folders);
    put16(b, files);
    put16(b, flags);
    put16(b, TCABFile::SetId);
    put16(b, index);
}

struct PlannedFile {
    QString path;
    QByteArray name; // as stored
    qint64 start = 0, size = 0; // the slice of the file stored
    quint32 offset = 0;         // within its folder
    quint16 folder = 0, date = 0, time = 0, attribs = 0;
    int entrySize() const { return FileFixedSize + int(name.size()) + 1; }
};

struct PlannedFolder {
    int firstFile = 0, fileCount = 0;
    quint32 dataStart = 0;
    quint16 blocks = 0;
};

// Raw data of one folder and its coded data records (header and data each).
struct Batch {
    QByteArray raw, dictionary, coded;
    int folder = 0, blocks = 0;
    bool failed = false;
};

// One data record (checksum, sizes, data) appended to `out`.
void appendRecord(QByteArray &out, const char *data, int size, int rawSize);

// The compression word of every folder.
quint16 compressionWord(const TCABFile &cab);

void throwIfCancelled(const TCABFile &cab);

// Cabinet `index` (0: the first) of the set `cab` writes.
QString cabinetPath(const TCABFile &cab, int index);
// The cabinets of an existing set under the same names, from `index` on: those the new
// archive does not replace are removed in the same all-or-nothing step.
QStringList oldCabinets(const TCABFile &cab, int from);

// Codes the folders' files in order and hands every coded batch to `sink`, in archive
// order; `sink` is also the place to stop for a full cabinet.
void codeFolders(TCABFile &cab, const std::vector<PlannedFile> &files, const std::vector<PlannedFolder> &folders,
                 qint64 total, const std::function<void(const Batch &)> &sink);

// Writes a set of cabinets, the first CABFile, the rest named by cab.CabinetName; returns
// their paths. `folders` are planned so that only single-file folders need to continue
// in the next cabinet.
QStringList writeCabinetSet(TCABFile &cab, const std::vector<PlannedFile> &files,
                            const std::vector<PlannedFolder> &folders, qint64 total);
} // namespace cablayout
