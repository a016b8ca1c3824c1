// korvix-cli poidat ...: the device's built-in POI database.
#include "cli/Commands.h"

#include "platform/DeviceCodec.h"
#include "poi/Ov2Reader.h"
#include "poi/PoiDat.h"
#include "poi/PoiDump.h"

#include <QFile>

#include <cstdio>

namespace {

int list(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli poidat list FILE\n";
        return 2;
    }
    if (const QString why = openFailure(args[0]); !why.isEmpty())
        return fileError(err, args[0], QStringLiteral("Can't open the POI database: ") + why);
    const PoiDatListing listing = listPoiDat(args[0]);
    for (qint32 id : listing.ids)
        out << poiCategoryText(id) << '\n';
    out.flush();
    if (!listing.error.isEmpty())
        return fileError(err, args[0], listing.error);
    // The tree lists what it can of any file; here a file that is no database at all
    // (another file given by mistake) says so instead of listing nothing.
    QFile f(args[0]);
    PoiDatTable table;
    const uchar *bytes = f.open(QIODevice::ReadOnly) && f.size() > 0 ? f.map(0, f.size()) : nullptr;
    const QString why = bytes ? readPoiDatTable(reinterpret_cast<const char *>(bytes), f.size(), table)
                              : QStringLiteral("The POI database is too short");
    if (!why.isEmpty())
        return fileError(err, args[0], QStringLiteral("Not a POI database: ") + why);
    return 0;
}

int dump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli poidat dump FILE CATEGORYTEXT\n";
        return 2;
    }
    if (const QString why = openFailure(args[0]); !why.isEmpty())
        return fileError(err, args[0], QStringLiteral("Can't open the POI database: ") + why);
    Ov2Data data;
    if (const QString error = openPoiDatCategory(args[0], args[1], data); !error.isEmpty())
        return fileError(err, args[0], error);
    const QByteArray lines = poiDumpLines(data, DeviceCodec::fromSettings());
    out.flush();
    std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
    std::fflush(stdout);
    return 0;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"list", list}, {"dump", dump}}, "poidat list FILE | dump FILE CATEGORYTEXT");
}

const CliRegistrar registrar({QStringLiteral("poidat"), QStringLiteral("list FILE | dump FILE CATEGORYTEXT"), &run});

} // namespace
