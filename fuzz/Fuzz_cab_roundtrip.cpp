// SPDX-License-Identifier: GPL-3.0-or-later
// Our MSZIP and LZX coders on any data: what libmspack unpacks is what went in. The
// first byte picks the coder (MSZIP or LZX with its window), whether the archive is a set
// of small cabinets, and cuts the data into files.
#include "services/CabFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    if (size == 0)
        return 0;
    const int pick = data[0] % 8;
    const QByteArray all(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const QString src = dir.filePath(QStringLiteral("src")), out = dir.filePath(QStringLiteral("out"));
    QDir(src).removeRecursively();
    QDir(out).removeRecursively();
    for (const QString &old : QDir(dir.path()).entryList({QStringLiteral("*.cab")}, QDir::Files))
        QFile::remove(dir.filePath(old));
    QDir().mkpath(src);
    // Three files: the data cut at two points taken from the first byte.
    const qsizetype cut1 = all.size() * ((data[0] >> 3) & 3) / 4, cut2 = all.size() * (4 - (data[0] >> 6)) / 4;
    const QList<QByteArray> parts{all.left(cut1), all.mid(cut1, qMax<qsizetype>(0, cut2 - cut1)), all.mid(qMax(cut1, cut2))};
    for (int i = 0; i < 3; ++i) {
        QFile f(src + QStringLiteral("/f%1").arg(i));
        f.open(QIODevice::WriteOnly);
        f.write(parts[i]);
    }
    TCABFile cab;
    cab.CABFile = dir.filePath(QStringLiteral("x.cab"));
    cab.CompressionType = pick == 7 ? TCABFile::typMSZIP : TCABFile::typLZX;
    cab.LZXMemory = TCABFile::TLZXMemory(pick % 7);
    if (data[0] & 0x20) {
        // About three cabinets, with data records cut between them.
        cab.AllowSet = true;
        cab.MaxCabinetSize = 400 + all.size() / 3;
    }
    cab.CABFileContents.AddFiles(src + QStringLiteral("/*"), QString(), false);
    cab.Compress();
    cab.TargetPath = out;
    if (!cab.Extract())
        std::abort();
    for (int i = 0; i < 3; ++i) {
        QFile f(out + QStringLiteral("/f%1").arg(i));
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != parts[i])
            std::abort();
    }
    return 0;
}
