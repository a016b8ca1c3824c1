// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file tree of the cabinet and backup benchmarks, like a device's: text-like POI
// files that pack well and pictures and sounds that do not, many small and every
// fiftieth large (24 MB, packing well), four levels deep; the same for the same size.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

// `size` random bytes.
inline void writeNoise(QFile &f, qint64 size, QRandomGenerator &random)
{
    QByteArray chunk(1 << 20, '\0');
    for (qint64 done = 0; done < size; done += chunk.size()) {
        chunk.resize(int(qMin<qint64>(size - done, 1 << 20)));
        random.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
        f.write(chunk);
    }
}

// Writes `megabytes` of files below `root`.
inline void writeDeviceTree(const QString &root, qint64 megabytes)
{
    QRandomGenerator random(42);
    QByteArray words;
    for (int i = 0; i < 20000; ++i)
        words += QByteArray::number(random.bounded(100000)) + (i % 7 ? " POI;" : " Stacja paliw;\r\n");
    qint64 left = megabytes << 20;
    for (int i = 0; left > 0; ++i) {
        const qint64 size = qMin<qint64>(left, i % 50 == 0 ? (24 << 20) : 4096 + random.bounded(400000));
        const QString path = root + QStringLiteral("/d%1/e%2/f%3/g%4/file%5.%6")
                                        .arg(i % 4).arg(i % 3).arg(i % 5).arg(i % 2).arg(i).arg(i % 3 ? "ov2" : "ogg");
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        if (i % 3 == 0 && i % 50 != 0) {
            writeNoise(f, size, random);
        } else {
            for (qint64 done = 0; done < size;) {
                const QByteArray piece = words.mid(random.bounded(int(words.size() / 2)),
                                                   int(qMin<qint64>(size - done, words.size() / 2)));
                f.write(piece);
                done += piece.size();
            }
        }
        left -= size;
    }
}
