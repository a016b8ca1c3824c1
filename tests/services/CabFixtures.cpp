// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/services/CabFixtures.h"

#include "services/CabFile.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <algorithm>

namespace {
void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8));
}
void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v & 0xffff));
    put16(b, quint16(v >> 16));
}
} // namespace

QByteArray handMadeCabinet(const QList<QPair<QByteArray, QByteArray>> &files)
{
    QByteArray data;
    for (const auto &f : files)
        data += f.second;
    int headerSize = 36 + 8;
    for (const auto &f : files)
        headerSize += 16 + int(f.first.size()) + 1;
    // One folder, the data cut into 32 KiB blocks without checksums.
    QByteArray blocks;
    int blockCount = 0;
    for (qsizetype at = 0; at < data.size(); at += 32768, ++blockCount) {
        const QByteArray piece = data.mid(at, 32768);
        put32(blocks, 0);
        put16(blocks, quint16(piece.size()));
        put16(blocks, quint16(piece.size()));
        blocks += piece;
    }
    QByteArray cab("MSCF", 4);
    put32(cab, 0);
    put32(cab, quint32(headerSize + blocks.size()));
    put32(cab, 0);
    put32(cab, 36 + 8);
    put32(cab, 0);
    cab.append(char(3)).append(char(1));
    put16(cab, 1);
    put16(cab, quint16(files.size()));
    put16(cab, 0);
    put16(cab, 1);
    put16(cab, 0);
    put32(cab, quint32(headerSize));
    put16(cab, quint16(blockCount));
    put16(cab, 0);
    quint32 offset = 0;
    for (const auto &f : files) {
        put32(cab, quint32(f.second.size()));
        put32(cab, offset);
        put16(cab, 0);
        put16(cab, (40 << 9) | (1 << 5) | 1);
        put16(cab, 0);
        put16(cab, 0x20);
        cab.append(f.first).append('\0');
        offset += quint32(f.second.size());
    }
    return cab + blocks;
}

ToolRun runTool(const QString &program, const QStringList &args, const QString &workDir)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(program, args);
    ToolRun r;
    if (!p.waitForStarted() || !p.waitForFinished(600000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAll();
    return r;
}

QList<QPair<QString, QByteArray>> treeOf(const QString &root)
{
    QList<QPair<QString, QByteArray>> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files.append({path.mid(root.size() + 1), f.readAll()});
    }
    std::sort(files.begin(), files.end());
    return files;
}

QStringList storedNames(const QString &cabinet)
{
    TCABFile cab;
    cab.CABFile = cabinet;
    QList<TCABStoredFile> files;
    EXPECT_TRUE(cab.List(files)) << cabinet.toStdString();
    QStringList names;
    for (const TCABStoredFile &f : files)
        names << f.name;
    names.sort();
    return names;
}
