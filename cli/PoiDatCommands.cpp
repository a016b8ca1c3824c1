// korvix-cli poidat ...: the device's built-in POI database.
#include "cli/Commands.h"

#include "platform/DeviceCodec.h"
#include "poi/Ov2Reader.h"
#include "poi/PoiDat.h"
#include "poi/PoiDump.h"

#include <cstdio>

namespace {

int list(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli poidat list FILE\n";
        return 2;
    }
    const PoiDatListing listing = listPoiDat(args[0]);
    for (qint32 id : listing.ids)
        out << poiCategoryText(id) << '\n';
    out.flush();
    if (!listing.error.isEmpty()) {
        err << listing.error << '\n';
        return 1;
    }
    return 0;
}

int dump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli poidat dump FILE CATEGORYTEXT\n";
        return 2;
    }
    Ov2Data data;
    const QString error = openPoiDatCategory(args[0], args[1], data);
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
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
