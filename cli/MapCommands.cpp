// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli map show: the script calls the map page receives for a list.
#include "cli/Commands.h"

#include "core/RBParamsTable.h"
#include "itn/ItnFormat.h"
#include "map/MapIcon.h"
#include "map/MapLists.h"
#include "media/PoiPin.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/FileReader.h"
#include "core/Settings.h"
#include "platform/Settings.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"
#include "poi/PoiSave.h"

#include <QFile>

#include <cstdio>

namespace {

class PrintedCalls : public IMapCalls {
public:
    void send(const QString &call) override
    {
        text.append(call.toUtf8());
        text.append('\n');
    }
    QByteArray text;
};

// "3,7": data row numbers as the grid shows them.
bool parseRows(const QString &list, std::vector<int> &rows)
{
    for (const QString &part : list.split(u',')) {
        bool ok = false;
        const int r = part.trimmed().toInt(&ok);
        if (!ok || r < 1)
            return false;
        rows.push_back(r);
    }
    return true;
}

int show(const QStringList &args, QTextStream &out, QTextStream &err)
{
    static const char usage[] = "usage: korvix-cli map show [--marked ROW,ROW...] FILE.ov2|FILE.itn\n";
    QStringList rest = args;
    std::vector<int> marks;
    QString rows;
    if (!takeOption(rest, QStringLiteral("--marked"), &rows) || (!rows.isNull() && !parseRows(rows, marks))) {
        err << usage;
        return 2;
    }
    if (rest.size() != 1) {
        err << usage;
        return 2;
    }
    const QString path = rest[0];
    const bool ov2 = hasSuffix(path, {"ov2"});
    if (!ov2 && !hasSuffix(path, {"itn"})) {
        err << usage;
        return 2;
    }

    // A FIFO or a device is no list, not even an empty one: refused before any reader waits on it.
    {
        QFile probe;
        const QString error = FileReader::open(probe, path, FileReader::MaxListBytes);
        // A file that does not open gets the list reader's own message below.
        if (error == FileReader::notRegular(path) || error == FileReader::tooLarge(path))
            return fileError(err, path, error);
    }

    KorvixSettings settings;
    const DeviceCodec codec = DeviceCodec::fromSettings(settings);
    TRBParamsTable table;
    table.SetColCount(5);
    table.AppendRow();
    if (ov2) {
        if (const QString e = readOv2IntoTable(path, table, codec); !e.isEmpty())
            return fileError(err, path, withOpenFailure(e, Ov2Texts::cantOpen(), path));
    } else {
        try {
            for (TRBParams &row : Itn::readFile(path, codec))
                table.AppendRow(std::move(row));
        } catch (const KorvixError &e) {
            return fileError(err, path, e.message());
        }
        table.SetColCount(5);
    }
    // The editors never show a list without a data row.
    if (table.RowCount() < 2)
        table.SetRowCount(2);

    for (int r : marks) {
        if (r >= table.RowCount())
            return fileError(err, path, QStringLiteral("There is no row %1").arg(r));
        for (int c = 1; c < table.ColCount(); ++c)
            table.SetFlags(c, r, table.Flags(c, r) | RBFlags::RowMark);
    }

    const MapFraming framing{Prefs::map(settings).initialView(), Prefs::map(settings).home()};
    PrintedCalls calls;
    if (ov2) {
        // The window's icon: the list's own small icon, else the default pin.
        const QString bmp = poiCompanionPaths(path).bmp;
        QImage small;
        // Through the bounded reader: a FIFO or a device beside the list is no icon.
        if (!bmp.isEmpty())
            if (const std::optional<QByteArray> bytes = FileReader::read(bmp, FileReader::MaxPictureBytes))
                small.loadFromData(*bytes);
        sendPoiList(table, MapFiles::writeIcon(small.isNull() ? defaultPoiIcon() : small, 0),
                    framing, calls);
    } else {
        sendItinerary(table, framing, calls);
    }
    out.flush();
    std::fwrite(calls.text.constData(), 1, size_t(calls.text.size()), stdout);
    std::fflush(stdout);
    return 0;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"show", show}, {"layer", runMapLayer}, {"tiles", runMapTiles}},
                         "map show [--marked ROW,ROW...] FILE.ov2|FILE.itn | map layer KIND FILE... | "
                         "map tiles FILE.mbtiles|FILE.pmtiles [Z X Y OUT.png]");
}

const CliRegistrar registrar({QStringLiteral("map"),
                              QStringLiteral("show [--marked ROW,ROW...] FILE.ov2|FILE.itn | layer raster FILE.sat... | "
                                             "layer tripmaster FILE.csv | layer svg FILE.svg | "
                                             "layer krakow FILE.xml [--host HOST] | layer zakopane FILE.xml | "
                                             "tiles FILE.mbtiles|FILE.pmtiles [Z X Y OUT.png]"),
                              &run});

} // namespace
