// SPDX-License-Identifier: GPL-3.0-or-later
// Every command that reads a file, given a FIFO nobody writes, an endless device and a
// file far beyond any cap: each answers at once with the reader's message naming the
// file, never hangs, never swallows the input as an empty list, never runs out of memory.
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Reading {
    const char *suffix;
    QStringList args; // "IN" is the file read, "OUT" a file or folder written
};

QList<Reading> readingCommands()
{
    return {
        {".bak", {"restore", "IN", "OUT", "--dry-run"}},
        {".cab", {"cab", "list", "IN"}},
        {".cab", {"cab", "unpack", "IN", "OUT"}},
        {".clr", {"clr", "dump", "IN"}},
        {".clr", {"clr", "save", "IN", "OUT"}},
        {".clr", {"clr", "preview", "IN", "OUT.png"}},
        {".gpx", {"convert", "IN", "OUT.ov2"}},
        {".kml", {"convert", "IN", "OUT.ov2"}},
        {".ov2", {"convert", "IN", "OUT.gpx"}},
        {".itn", {"convert", "IN", "OUT.gpx"}},
        {".ov2", {"dedup", "IN", "10"}},
        {".xml", {"feed", "gddkia", "IN"}},
        {".xml", {"feed", "gddkia-mobi", "IN"}},
        {".xml", {"feed", "krakow", "IN"}},
        {".xml", {"feed", "zakopane", "IN"}},
        {".html", {"feed", "web", "IN", "http://127.0.0.1:9/"}},
        {".cfg", {"feed", "mapsettings", "IN"}},
        {".exe", {"hex", "exe", "IN"}},
        {".bin", {"hex", "bin", "IN"}},
        {".itn", {"itn", "dump", "IN"}},
        {".atm", {"itn", "targeo", "IN"}},
        {".kml", {"kml", "import", "IN", "--poi"}},
        {".kml", {"kml", "import", "IN", "--itn"}},
        {".kml", {"kml", "paste", "IN"}},
        {".ov2", {"map", "show", "IN"}},
        {".itn", {"map", "show", "IN"}},
        {".sat", {"map", "layer", "raster", "IN"}},
        {".csv", {"map", "layer", "tripmaster", "IN"}},
        {".svg", {"map", "layer", "svg", "IN"}},
        {".xml", {"map", "layer", "krakow", "IN"}},
        {".xml", {"map", "layer", "zakopane", "IN"}},
        {".ov2", {"ov2", "dump", "IN"}},
        {".ov2", {"ov2", "check", "IN"}},
        {".ov2", {"ov2", "export", "csv", "IN", "OUT"}},
        {".jpg", {"image", "startup", "IN", "OUT.bmp"}},
        {".dat", {"poidat", "list", "IN"}},
        {".dat", {"poidat", "dump", "IN", "Fuel"}},
        {".wav", {"sound", "info", "IN"}},
        {".wav", {"sound", "convert", "IN", "OUT.wav"}},
        {".wav", {"sound", "normalize", "IN", "OUT.wav"}},
        {".chk", {"chk", "unpack", "IN", "OUT"}},
        {".vif", {"vif", "dump", "IN"}},
    };
}

struct Outcome {
    bool finished = false;
    int code = -1;
    QByteArray err;
};

// The command with a limit: one still running after it is killed and reported so.
Outcome runWithin(const QStringList &args, int ms)
{
    QProcess p;
    p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), args);
    p.waitForStarted();
    p.closeWriteChannel();
    Outcome o;
    o.finished = p.waitForFinished(ms);
    if (!o.finished) {
        p.kill();
        p.waitForFinished();
        return o;
    }
    o.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o.err = p.readAllStandardError();
    return o;
}

QStringList withPaths(QStringList args, const QString &in, const QString &out)
{
    for (QString &a : args) {
        if (a == QLatin1String("IN"))
            a = in;
        else if (a.startsWith(QLatin1String("OUT")))
            a = out + a.mid(3);
    }
    return args;
}
} // namespace

TEST(CliBoundedRead, EveryReaderRefusesFifosDevicesAndHugeFilesAtOnce)
{
    TempFolder tmp;
    int n = 0;
    for (const Reading &r : readingCommands()) {
        const QString base = tmp.file(QStringLiteral("in%1").arg(++n));
        const QString fifo = base + QStringLiteral("-fifo") + QLatin1String(r.suffix);
        const QString zero = base + QStringLiteral("-zero") + QLatin1String(r.suffix);
        const QString huge = base + QStringLiteral("-huge") + QLatin1String(r.suffix);
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
        // Sparse: beyond every cap without taking the disk.
        {
            QFile f(huge);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_TRUE(f.resize(qint64(3) << 30));
        }
        const QString out = tmp.file(QStringLiteral("out%1").arg(n));
        const struct {
            QString path;
            QString message;
        } inputs[] = {{fifo, QStringLiteral("Not a regular file: ") + fifo},
                      {zero, QStringLiteral("Not a regular file: ") + zero},
                      {huge, QStringLiteral("The file is too large: ") + huge}};
        for (const auto &input : inputs) {
            const QStringList args = withPaths(r.args, input.path, out);
            SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
            const Outcome o = runWithin(args, 20000);
            ASSERT_TRUE(o.finished) << "hangs";
            EXPECT_EQ(o.code, 1) << o.err.toStdString();
            EXPECT_TRUE(o.err.contains(input.message.toUtf8())) << o.err.toStdString();
        }
        QFile::remove(huge);
    }
}
