// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli map tiles: what a tile archive holds, and one of its tiles as a file, so
// an archive can be checked before the map is given it.
#include "cli/Commands.h"

#include "map/TileArchive.h"
#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>

namespace {

int info(const TileArchive::Reader &reader, QTextStream &out)
{
    const TileArchive::Info &i = reader.info();
    out << "format: " << i.format << '\n';
    for (auto it = i.metadata.begin(); it != i.metadata.end(); ++it)
        if (it.key() != QLatin1String("json")) // a vector layer list: long and of no use here
            out << "metadata " << it.key() << ": " << it.value() << '\n';
    out << "tile type: " << (i.tileType.isEmpty() ? QStringLiteral("?") : i.tileType) << '\n';
    out << "zoom: " << i.minZoom << '-' << i.maxZoom << '\n';
    if (i.hasBounds)
        out << "bounds: " << QString::number(i.west, 'f', 6) << ',' << QString::number(i.south, 'f', 6) << ','
            << QString::number(i.east, 'f', 6) << ',' << QString::number(i.north, 'f', 6) << '\n';
    out << "tiles: " << (i.tileCount < 0 ? QStringLiteral("?") : QString::number(i.tileCount)) << '\n';
    return 0;
}

} // namespace

int runMapTiles(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1 && args.size() != 5) {
        err << "usage: korvix-cli map tiles FILE.mbtiles|FILE.pmtiles [Z X Y OUT.png]\n";
        return 2;
    }
    QString error;
    const std::unique_ptr<TileArchive::Reader> reader = TileArchive::open(args[0], &error);
    if (!reader) {
        err << error << '\n';
        return 1;
    }
    if (args.size() == 1)
        return info(*reader, out);
    bool okZ = false, okX = false, okY = false;
    const int z = args[1].toInt(&okZ), x = args[2].toInt(&okX), y = args[3].toInt(&okY);
    if (!okZ || !okX || !okY || !TileArchive::validTile(z, x, y)) {
        err << QCoreApplication::translate("TileArchive", "There is no tile %1/%2/%3 on the map").arg(args[1], args[2], args[3]) << '\n';
        return 2;
    }
    const QString &outPath = args[4];
    if (!hasSuffix(outPath, {"png", "jpg", "jpeg", "webp"}))
        return refuseOutput(err, outPath, QStringLiteral(".png, .jpg or .webp"));
    std::optional<QByteArray> tile = reader->tile(z, x, y, &error);
    if (!tile) {
        if (error.isEmpty())
            return fileError(err, args[0], QCoreApplication::translate("TileArchive", "There is no tile %1/%2/%3 in the archive").arg(z).arg(x).arg(y));
        err << error << '\n';
        return 1;
    }
    // A .png asked for a tile in another encoding: drawn again as PNG.
    if (hasSuffix(outPath, {"png"}) && TileArchive::mimeType(*tile) != "image/png") {
        QImage img;
        if (!img.loadFromData(*tile))
            return fileError(err, args[0], QCoreApplication::translate("TileArchive", "The tile %1/%2/%3 is no picture").arg(z).arg(x).arg(y));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "PNG");
        tile = buffer.data();
    }
    if (const QString why = AtomicFile::write(outPath, *tile); !why.isEmpty())
        return fileError(err, outPath, why);
    return 0;
}
