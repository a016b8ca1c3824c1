// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli cab pack|list|unpack: cabinet archives from the command line.
#include "cli/Commands.h"
#include "platform/DeviceCodec.h"
#include "platform/FileReader.h"
#include "poi/PoiDump.h"
#include "services/CabFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Why `path` is no cabinet to read, as a whole line naming it; FIFOs and devices are
// refused without being opened for a blocking read.
QString notACabinet(const QString &path)
{
    QFile probe;
    const QString why = FileReader::open(probe, path, MaxCabinetFileBytes);
    return why.isEmpty() ? path + QStringLiteral(": not a cabinet") : why;
}

int refuseCabinet(QTextStream &err, const QString &path)
{
    err << notACabinet(path) << '\n';
    return 1;
}

// Each part of a stored name escaped as "ov2 dump" escapes texts (control characters as
// \n, \xHH, ...), its "\" separators kept as they are.
QString printableStoredName(const QString &name)
{
    static const DeviceCodec utf8(DeviceCodec::Kind::Utf8);
    QByteArray line;
    const QStringList parts = name.split(QLatin1Char('\\'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0)
            line += '\\';
        appendDumpEscaped(line, parts[i].toUtf8(), utf8);
    }
    return QString::fromUtf8(line);
}

int pack(const QStringList &args, QTextStream &out, QTextStream &err)
{
    TCABFile cab;
    bool ok = args.size() >= 2, typeGiven = false;
    for (int i = 2; ok && i < args.size(); ++i) {
        if (args[i] == QLatin1String("--none") && !typeGiven) {
            cab.CompressionType = TCABFile::typNone;
            typeGiven = true;
        } else if (args[i] == QLatin1String("--lzx") && !typeGiven && i + 1 < args.size()) {
            const int bits = args[++i].toInt(&ok);
            ok = ok && bits >= 15 && bits <= 21;
            cab.CompressionType = TCABFile::typLZX;
            cab.LZXMemory = TCABFile::TLZXMemory(bits - 15);
            typeGiven = true;
        } else if (args[i] == QLatin1String("--max-size") && !cab.AllowSet && i + 1 < args.size()) {
            cab.MaxCabinetSize = args[++i].toLongLong(&ok);
            ok = ok && cab.MaxCabinetSize > 0 && cab.MaxCabinetSize <= 2147483647;
            cab.AllowSet = true;
        } else {
            ok = false;
        }
    }
    if (!ok) {
        err << "usage: korvix-cli cab pack OUT.cab DIR [--none|--lzx N] [--max-size BYTES]   (N = 15 ... 21)\n";
        return 2;
    }
    if (!QFileInfo(args[1]).isDir())
        return fileError(err, args[1], QStringLiteral("not a folder"));
    cab.CABFile = args[0];
    cab.CABFileContents.AddFiles(args[1] + QStringLiteral("/*"), QString(), true);
    try {
        cab.Compress();
    } catch (const ECABFileError &e) {
        return fileError(err, e.fileName().isEmpty() ? args[0] : e.fileName(), e.detail());
    }
    out << args[0] << ": " << cab.CABFileContents.size() << " files\n";
    // The cabinets of a set, OUT.cab, OUT_2.cab, ...
    if (cab.CabinetsWritten().size() > 1)
        for (const QString &path : cab.CabinetsWritten())
            out << path << '\n';
    return 0;
}

int list(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli cab list FILE.cab\n";
        return 2;
    }
    TCABFile cab;
    cab.CABFile = args[0];
    QList<TCABStoredFile> files;
    if (!cab.List(files))
        return refuseCabinet(err, args[0]);
    for (const TCABStoredFile &f : files)
        out << printableStoredName(f.name) << '\t' << f.size << '\t'
            << f.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) << '\n';
    return 0;
}

int unpack(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli cab unpack FILE.cab DIR\n";
        return 2;
    }
    {
        QFile probe;
        if (!FileReader::open(probe, args[0], MaxCabinetFileBytes).isEmpty())
            return refuseCabinet(err, args[0]);
    }
    TCABFile cab;
    cab.CABFile = args[0];
    cab.TargetPath = args[1];
    if (cab.Extract())
        return 0;
    if (cab.extractProblems().isEmpty())
        return refuseCabinet(err, args[0]);
    // Problems name stored names, which may hold any character.
    for (const QString &problem : cab.extractProblems())
        fileError(err, args[0], printableStoredName(problem));
    return 1;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"pack", pack}, {"list", list}, {"unpack", unpack}},
                         "cab pack OUT.cab DIR [--none|--lzx N] [--max-size BYTES] | list FILE.cab | unpack FILE.cab DIR");
}

const CliRegistrar registrar({QStringLiteral("cab"),
                              QStringLiteral("pack OUT.cab DIR [--none|--lzx N] [--max-size BYTES] | list FILE.cab | unpack FILE.cab DIR"),
                              run});
} // namespace
