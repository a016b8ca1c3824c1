// SPDX-License-Identifier: GPL-3.0-or-later
// Interoperability with gpsbabel's OV2 reader and writer (the real program).
#include "core/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"
#include "core/Ov2Units.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct Point {
    qint32 lon, lat;
    QString name;
};

QString gpsbabel()
{
    return QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
}

bool run(const QStringList &args, QString *error)
{
    QProcess p;
    p.start(gpsbabel(), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

// ASCII names (gpsbabel sizes records wrongly outside CP1252 and over 255 bytes).
QList<Point> randomPoints(int n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QList<Point> out;
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -./()");
    for (int i = 0; i < n; ++i) {
        QString name = QStringLiteral("P%1 ").arg(i);
        const int len = int(rng.bounded(0, 60));
        for (int k = 0; k < len; ++k)
            name += letters[int(rng.bounded(letters.size()))];
        out.append({qint32(rng.bounded(-17900000, 17900000)), qint32(rng.bounded(-8000000, 8000000)), name.trimmed()});
    }
    return out;
}

QString degrees(qint32 units)
{
    return formatOv2Degrees(units);
}

} // namespace

TEST(GpsbabelInterop, WeReadWhatGpsbabelWrites)
{
    ASSERT_FALSE(gpsbabel().isEmpty()) << "gpsbabel must be installed";
    TempFolder tmp;
    const QList<Point> points = randomPoints(3000, 1);
    QByteArray csv = "Latitude,Longitude,Name\n";
    for (const Point &p : points)
        csv += (degrees(p.lat) + u',' + degrees(p.lon) + QStringLiteral(",\"") + p.name + QStringLiteral("\"\n")).toUtf8();
    const QString in = tmp.write("in.csv", csv);
    const QString ov2 = tmp.file("gpsbabel.ov2");
    QString error;
    ASSERT_TRUE(run({"-i", "unicsv", "-f", in, "-o", "tomtom", "-F", ov2}, &error)) << error.toStdString();

    Ov2Data data;
    ASSERT_EQ(readOv2File(ov2, data), QString());
    ASSERT_EQ(data.pois.size(), size_t(points.size()));
    QHash<QString, Point> byName;
    for (const Point &p : points)
        byName.insert(p.name, p);
    const DeviceCodec codec;
    // gpsbabel's own rounding puts negative coordinates one unit off; positive ones
    // must match exactly.
    auto near = [](qint32 ours, qint32 expected) {
        return expected >= 0 ? ours == expected : qAbs(qint64(ours) - expected) <= 1;
    };
    int levels = 0;
    for (const Ov2Poi &p : data.pois) {
        const QString name = codec.toUnicode(data.text(p));
        ASSERT_TRUE(byName.contains(name)) << name.toStdString();
        const Point &e = byName[name];
        EXPECT_TRUE(near(p.lon, e.lon)) << name.toStdString() << " " << p.lon << " " << e.lon;
        EXPECT_TRUE(near(p.lat, e.lat)) << name.toStdString() << " " << p.lat << " " << e.lat;
        levels = qMax(levels, int(p.level));
        byName.remove(name);
    }
    EXPECT_TRUE(byName.isEmpty());
    EXPECT_GE(levels, 2) << "gpsbabel writes nested areas for this many points";
}

TEST(GpsbabelInterop, GpsbabelReadsWhatWeWrite)
{
    ASSERT_FALSE(gpsbabel().isEmpty()) << "gpsbabel must be installed";
    TempFolder tmp;
    const QList<Point> points = randomPoints(4000, 2);
    TRBParamsTable table;
    table.AppendFields({"LP", "Longitude", "Latitude", "Description", "Type/Level"});
    for (const Point &p : points)
        table.AppendFields({QString(), QString::number(p.lon), QString::number(p.lat), p.name, QString()});
    const QString ov2 = tmp.file("ours.ov2");
    SaveOV2(ov2, table, DeviceCodec());
    const QString out = tmp.file("out.csv");
    QString error;
    ASSERT_TRUE(run({"-i", "tomtom", "-f", ov2, "-o", "unicsv", "-F", out}, &error)) << error.toStdString();

    const QList<QByteArray> lines = readAll(out).split('\n');
    ASSERT_TRUE(lines.value(0).startsWith("No,Latitude,Longitude,Name")) << lines.value(0).constData();
    QHash<QString, Point> byName;
    for (const Point &p : points)
        byName.insert(p.name, p);
    int seen = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = line.split(u',');
        ASSERT_GE(f.size(), 4) << line.toStdString();
        QString name = f.mid(3).join(u',');
        if (name.startsWith(u'"') && name.endsWith(u'"'))
            name = name.mid(1, name.size() - 2);
        ASSERT_TRUE(byName.contains(name)) << name.toStdString();
        const Point &e = byName[name];
        EXPECT_EQ(toOv2UnitsValue(f[1]).value_or(-1), e.lat) << line.toStdString();
        EXPECT_EQ(toOv2UnitsValue(f[2]).value_or(-1), e.lon) << line.toStdString();
        byName.remove(name);
        ++seen;
    }
    EXPECT_EQ(seen, points.size());
    EXPECT_TRUE(byName.isEmpty());
}
