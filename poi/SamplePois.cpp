// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/SamplePois.h"

#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "poi/Ov2Writer.h"

#include <QDir>
#include <QRandomGenerator>

namespace {

void put16(QByteArray &b, quint32 v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32(QByteArray &b, quint32 v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

struct Category {
    const char *base;
    int count;
    quint32 colour;     // icon background
    const char *names;  // "|"-separated; device bytes (code page 1250)
    bool largeIcon;
};

// Names in code page 1250 bytes: \xF3 ó, \xB3 ł, \xBF ż, \xB9 ą, \xEA ę, \x9C ś, \xE6 ć.
const Category kCategories[] = {
    {"Fuel", 160, 0xD03020, "Orlen|BP|Shell|Circle K|Moya|Lotos|Stacja paliw|Amic", true},
    {"Parking", 90, 0x2050C0, "Parking|Parking strze\xBF" "ony|Park & Ride|Parking miejski", false},
    {"Restauracje", 70, 0x208040, "Pod R\xF3\xBF\xB9|Wierzynek|Pierogarnia|Bar mleczny|Pizzeria|Kawiarnia", false},
    {"Fotoradary", 24, 0xE0A000, "Fotoradar 50|Fotoradar 70|Odcinkowy pomiar|Fotoradar 90", false},
};

// Around the Kraków market square, in OV2 units.
constexpr qint32 kCentreLon = 1993700;
constexpr qint32 kCentreLat = 5006170;

QByteArray iconBytes(int size, quint32 colour, int seed)
{
    const double c = (size - 1) / 2.0;
    const double r = size / 2.0 - 0.5;
    return bmp24(size, size, [&](int x, int y) -> quint32 {
        const double dx = x - c, dy = y - c;
        const double d2 = dx * dx + dy * dy;
        if (d2 > r * r)
            return 0xFFFFFF;
        if (d2 > (r - size / 11.0) * (r - size / 11.0))
            return 0x202020; // rim
        // A small white mark, different per category.
        const int u = x * 8 / size, v = y * 8 / size;
        const bool mark = (u >= 3 && u <= 4 && v >= 2 && v <= 5) || (seed % 2 && v == 2 && u >= 2 && u <= 5);
        return mark ? 0xFFFFFF : colour;
    });
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    const QString error = AtomicFile::write(path, bytes);
    if (!error.isEmpty())
        throw KorvixError(path + QStringLiteral(": ") + error);
}

} // namespace

QByteArray bmp24Header(int width, int height)
{
    const quint32 stride = quint32((width * 3 + 3) & ~3);
    const quint32 image = stride * quint32(height);
    QByteArray b;
    b.append("BM");
    put32(b, 54 + image);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, quint32(width));
    put32(b, quint32(height));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, image);
    put32(b, 2835); // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    return b;
}

QStringList writeSamplePois(const QString &mapFolder)
{
    QDir dir(mapFolder);
    if (!dir.exists() && !QDir().mkpath(mapFolder))
        throw KorvixError(QStringLiteral("Cannot create %1").arg(mapFolder));
    QRandomGenerator rng(20061);
    QStringList written;
    int seed = 0;
    for (const Category &cat : kCategories) {
        const QList<QByteArray> names = QByteArray(cat.names).split('|');
        Ov2PointList list;
        for (int i = 0; i < cat.count; ++i) {
            // Clustered around the centre, a few further out, so the larger files
            // split into nested areas of different depth.
            const qint32 spread = i % 5 == 0 ? 60000 : 8000;
            const qint32 lon = kCentreLon + qint32(rng.bounded(2 * spread)) - spread;
            const qint32 lat = kCentreLat + qint32(rng.bounded(spread)) - spread / 2;
            QByteArray name = names[i % names.size()];
            if (i >= names.size())
                name += ' ' + QByteArray::number(i / names.size() + 1);
            list.add(lon, lat, name);
        }
        const QString base = dir.filePath(QString::fromLatin1(cat.base));
        SaveOV2(base + QStringLiteral(".ov2"), list);
        writeFile(base + QStringLiteral(".bmp"), iconBytes(22, cat.colour, seed));
        if (cat.largeIcon)
            writeFile(base + QStringLiteral("_X2.bmp"), iconBytes(44, cat.colour, seed));
        written << base + QStringLiteral(".ov2");
        ++seed;
    }
    return written;
}
