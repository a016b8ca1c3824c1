// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli poidat ...: the device's built-in POI database.
#include "cli/Commands.h"

#include "platform/DeviceCodec.h"
#include "platform/FileReader.h"
#include "poi/Ov2Reader.h"
#include "poi/PoiDat.h"
#include "poi/PoiDump.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Opens the database without blocking on a FIFO or reading a device; the message or empty.
QString openDatabase(QFile &f, const QString &path)
{
    const QString why = FileReader::open(f, path, FileReader::MaxListBytes);
    if (why.isEmpty() || why == FileReader::notRegular(path) || why == FileReader::tooLarge(path))
        return why;
    const QString prefix = path + QStringLiteral(": ");
    return QStringLiteral("Can't open the POI database: ") + (why.startsWith(prefix) ? why.mid(prefix.size()) : why);
}

int list(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli poidat list FILE\n";
        return 2;
    }
    QFile f;
    if (const QString why = openDatabase(f, args[0]); !why.isEmpty())
        return fileError(err, args[0], why);
    const PoiDatListing listing = listPoiDat(args[0]);
    for (qint32 id : listing.ids)
        out << poiCategoryText(id) << '\n';
    out.flush();
    if (!listing.error.isEmpty())
        return fileError(err, args[0], listing.error);
    // The tree lists what it can of any file; here a file that is no database at all
    // (another file given by mistake) says so instead of listing nothing.
    PoiDatTable table;
    const uchar *bytes = f.size() > 0 ? f.map(0, f.size()) : nullptr;
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
    if (QFile f; true)
        if (const QString why = openDatabase(f, args[0]); !why.isEmpty())
            return fileError(err, args[0], why);
    Ov2Data data;
    if (const QString error = openPoiDatCategory(args[0], args[1], data); !error.isEmpty())
        return fileError(err, args[0], error);
    const QByteArray lines = poiDumpLines(data, DeviceCodec::fromSettings());
    out.flush();
    if (std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout) != size_t(lines.size()) || std::fflush(stdout) != 0) {
        err << "standard output: " << QString::fromLocal8Bit(std::strerror(errno)) << '\n';
        return 1;
    }
    return 0;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"list", list}, {"dump", dump}}, "poidat list FILE | dump FILE CATEGORYTEXT");
}

const CliRegistrar registrar({QStringLiteral("poidat"), QStringLiteral("list FILE | dump FILE CATEGORYTEXT"), &run});

} // namespace
