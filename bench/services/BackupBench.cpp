// SPDX-License-Identifier: GPL-3.0-or-later
// Full backup (packing and verification, korvix-cli backup) beside gcab's packing alone
// on the same device-like tree, and restore (korvix-cli restore) beside cabextract, with
// times and peak memory of each run. KORVIX_BACKUP_BENCH_MB sets the tree's size
// (default 1024). BM_SetBeyond2GiB makes a backup larger than one cabinet may be, of a
// file too large for one cabinet folder, and checks that cabextract and our restore
// give the device back byte for byte (about 2.2 GB on disk, several times over).
#include "bench/support/ChildRun.h"
#include "bench/support/DeviceTree.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>


namespace {
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

qint64 treeMegabytes()
{
    const int mb = qEnvironmentVariableIntValue("KORVIX_BACKUP_BENCH_MB");
    return mb > 0 ? mb : 1024;
}

QString cli()
{
    return QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli");
}

// The two files that make a folder a device, which backup asks for.
void writeDeviceMarkers(const QString &root, const QByteArray &serial)
{
    QFile bif(root + QStringLiteral("/TTGO.BIF"));
    bif.open(QIODevice::WriteOnly);
    bif.write("[TomTomGo]\nDeviceSerialNumber=" + serial + "\n");
    QFile system(root + QStringLiteral("/ttsystem"));
    system.open(QIODevice::WriteOnly);
    system.write("system");
}

// A device: its markers and the benchmarks' device-like tree.
QString makeDevice(qint64 megabytes)
{
    const QString root = workDir().filePath(QStringLiteral("device"));
    if (QDir(root).exists())
        return root;
    QDir().mkpath(root);
    writeDeviceMarkers(root, "BENCH1");
    writeDeviceTree(root, megabytes);
    return root;
}

// Relative name -> SHA-1 of every file below root.
QMap<QString, QByteArray> digestOf(const QString &root)
{
    QMap<QString, QByteArray> digests;
    for (const QString &name : relativeFiles(root)) {
        QFile f(root + QLatin1Char('/') + name);
        f.open(QIODevice::ReadOnly);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        hash.addData(&f);
        digests.insert(name, hash.result());
    }
    return digests;
}

// Standard output kept for childOutput(), errors discarded.
ChildRun timed(const QStringList &command, const QString &workDirectory = {})
{
    return runChild(command, QDir(workDir().path()),
                    {workDirectory, workDir().filePath(QStringLiteral("child-out")), true});
}

QStringList childOutput()
{
    QFile f(workDir().filePath(QStringLiteral("child-out")));
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString lastBackup;

void BM_BackupOurs(benchmark::State &state)
{
    const QString device = makeDevice(treeMegabytes());
    const QString out = workDir().filePath(QStringLiteral("backups"));
    for (auto _ : state) {
        QDir(out).removeRecursively();
        const ChildRun r = timed({cli(), QStringLiteral("backup"), device, out});
        if (r.code != 0)
            state.SkipWithError("korvix-cli backup failed");
        state.SetIterationTime(r.seconds);
        state.counters["maxrss_MB"] = r.maxRssKb / 1024.0;
        lastBackup = childOutput().value(0);
    }
    state.counters["MB"] = double(treeMegabytes());
    state.counters["archive_MB"] = double(QFileInfo(lastBackup).size()) / (1 << 20);
}
BENCHMARK(BM_BackupOurs)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

void BM_PackGcab(benchmark::State &state)
{
    const QString device = makeDevice(treeMegabytes());
    const QStringList files = relativeFiles(device);
    const QString archive = workDir().filePath(QStringLiteral("gcab.cab"));
    for (auto _ : state) {
        QFile::remove(archive);
        const ChildRun r = timed(QStringList{QStringLiteral("gcab"), QStringLiteral("-c"), QStringLiteral("-z"), archive}
                                        + files,
                                    device);
        if (r.code != 0)
            state.SkipWithError("gcab failed");
        state.SetIterationTime(r.seconds);
        state.counters["maxrss_MB"] = r.maxRssKb / 1024.0;
    }
    state.counters["archive_MB"] = double(QFileInfo(archive).size()) / (1 << 20);
}
BENCHMARK(BM_PackGcab)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

void BM_RestoreOurs(benchmark::State &state)
{
    const QString out = workDir().filePath(QStringLiteral("restored"));
    for (auto _ : state) {
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        const ChildRun r = timed({cli(), QStringLiteral("restore"), lastBackup, out});
        if (r.code != 0)
            state.SkipWithError("korvix-cli restore failed");
        state.SetIterationTime(r.seconds);
        state.counters["maxrss_MB"] = r.maxRssKb / 1024.0;
    }
}
BENCHMARK(BM_RestoreOurs)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

void BM_UnpackCabextract(benchmark::State &state)
{
    const QString out = workDir().filePath(QStringLiteral("cabextract-out"));
    for (auto _ : state) {
        QDir(out).removeRecursively();
        const ChildRun r = timed({QStringLiteral("cabextract"), QStringLiteral("-q"), QStringLiteral("-d"), out, lastBackup});
        if (r.code != 0)
            state.SkipWithError("cabextract failed");
        state.SetIterationTime(r.seconds);
        state.counters["maxrss_MB"] = r.maxRssKb / 1024.0;
    }
}
BENCHMARK(BM_UnpackCabextract)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

// korvix-cli restore into an empty folder (atomic per file, one file-system sync at the
// end) and cabextract on the same backup, by turns: medians of five runs and their ratio.
void BM_RestoreVsCabextract(benchmark::State &state)
{
    if (lastBackup.isEmpty()) {
        const QString out = workDir().filePath(QStringLiteral("backups"));
        timed({cli(), QStringLiteral("backup"), makeDevice(treeMegabytes()), out});
        lastBackup = childOutput().value(0);
    }
    const QString out = workDir().filePath(QStringLiteral("paired-out"));
    for (auto _ : state) {
        const PairedRuns p = runPaired({cli(), QStringLiteral("restore"), lastBackup, out},
                                       {QStringLiteral("cabextract"), QStringLiteral("-q"), QStringLiteral("-d"), out, lastBackup},
                                       QDir(workDir().path()), 5, [&] {
                                           QDir(out).removeRecursively();
                                           QDir().mkpath(out);
                                       });
        if (p.failed)
            state.SkipWithError("a restore failed");
        state.SetIterationTime(p.oursSeconds);
        state.counters["ours_s"] = p.oursSeconds;
        state.counters["cabextract_s"] = p.peerSeconds;
        state.counters["ratio"] = p.ratio();
        state.counters["ours_maxrss_MB"] = p.oursMaxRssKb / 1024.0;
        state.counters["cabextract_maxrss_MB"] = p.peerMaxRssKb / 1024.0;
    }
}
BENCHMARK(BM_RestoreVsCabextract)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

// A device just over one cabinet's limit: one incompressible file over a cabinet
// folder's limit (stored as two parts) and a small one, so the backup needs two cabinets.
void BM_SetBeyond2GiB(benchmark::State &state)
{
    for (auto _ : state) {
        const QString device = workDir().filePath(QStringLiteral("large"));
        QDir().mkpath(device + QStringLiteral("/Maps"));
        QRandomGenerator random(7);
        QFile big(device + QStringLiteral("/Maps/huge.map"));
        big.open(QIODevice::WriteOnly);
        writeNoise(big, 65535LL * 32768 + 50000000, random);
        big.close();
        writeDeviceMarkers(device, "LARGE");

        const QString out = workDir().filePath(QStringLiteral("large-backup"));
        const ChildRun backup = timed({cli(), QStringLiteral("backup"), device, out});
        const QStringList lines = childOutput();
        state.counters["backup_s"] = backup.seconds;
        state.counters["backup_maxrss_MB"] = backup.maxRssKb / 1024.0;
        state.counters["cabinets"] = double(lines.size() - 2); // the verification and parts lines follow
        const QMap<QString, QByteArray> expected = digestOf(device);

        const QString unpacked = workDir().filePath(QStringLiteral("large-cabextract"));
        const ChildRun unpack = timed({QStringLiteral("cabextract"), QStringLiteral("-q"), QStringLiteral("-d"), unpacked,
                                          lines.value(0)});
        // cabextract gives the parts; joined they are the device file.
        QFile joined(unpacked + QStringLiteral("/Maps/huge.map"));
        joined.open(QIODevice::WriteOnly);
        for (const QString &part : {QStringLiteral("/Maps/huge.map.part1"), QStringLiteral("/Maps/huge.map.part2")}) {
            QFile p(unpacked + part);
            p.open(QIODevice::ReadOnly);
            while (!p.atEnd())
                joined.write(p.read(1 << 20));
            p.close();
            p.remove();
        }
        joined.close();
        const bool cabextractSame = unpack.code == 0 && digestOf(unpacked) == expected;
        QDir(unpacked).removeRecursively();

        const QString restored = workDir().filePath(QStringLiteral("large-restored"));
        QDir().mkpath(restored);
        const ChildRun restore = timed({cli(), QStringLiteral("restore"), lines.value(0), restored});
        state.counters["restore_s"] = restore.seconds;
        state.counters["restore_maxrss_MB"] = restore.maxRssKb / 1024.0;
        const bool restoreSame = restore.code == 0 && digestOf(restored) == expected;
        QDir(restored).removeRecursively();
        QDir(out).removeRecursively();
        QDir(device).removeRecursively();
        if (backup.code != 0 || lines.size() < 4)
            state.SkipWithError("the backup failed or did not make a set");
        else if (!cabextractSame)
            state.SkipWithError("cabextract did not give the device back");
        else if (!restoreSame)
            state.SkipWithError("our restore did not give the device back");
        state.SetIterationTime(backup.seconds);
    }
}
BENCHMARK(BM_SetBeyond2GiB)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
} // namespace

BENCHMARK_MAIN();
