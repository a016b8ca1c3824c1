// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli clr dump|save|preview: colour schemes from the command line.
#include "cli/Commands.h"
#include "media/ClrFile.h"
#include "media/ClrPreview.h"
#include "platform/AtomicFile.h"

#include <QBuffer>

namespace {

bool read(const QString &path, Clr::ReadResult &scheme, QTextStream &err)
{
    scheme = Clr::readFile(path);
    if (scheme.ok())
        return true;
    const QString cantOpen = QCoreApplication::translate("Clr", "Cannot open file \"%1\"").arg(path);
    fileError(err, path, withOpenFailure(scheme.error, cantOpen, path));
    return false;
}

int dump(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli clr dump FILE\n";
        return 2;
    }
    Clr::ReadResult scheme;
    if (!read(args[0], scheme, err))
        return 1;
    for (size_t i = 0; i < scheme.colors.size(); ++i)
        out << (i + 1) << '\t' << Clr::colorCell(scheme.colors[i]) << '\n';
    return 0;
}

int save(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli clr save IN OUT\n";
        return 2;
    }
    Clr::ReadResult scheme;
    if (!read(args[0], scheme, err))
        return 1;
    const QString target = Clr::clrPath(args[1]);
    if (const QString why = Clr::writeFile(target, Clr::rowsFor(scheme.colors)); !why.isEmpty())
        return fileError(err, target, why);
    out << target << '\n';
    return 0;
}

int preview(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli clr preview IN OUT.png\n";
        return 2;
    }
    if (!hasSuffix(args[1], {"png"}))
        return refuseOutput(err, args[1], QStringLiteral(".png"));
    Clr::ReadResult scheme;
    if (!read(args[0], scheme, err))
        return 1;
    QImage picture = ClrPreview::builtIn();
    if (ClrPreview::apply(picture, scheme.colors) == ClrPreview::Outcome::TooManyEntries)
        return fileError(err, args[0], QStringLiteral("%1 entries: a scheme has at most 256").arg(scheme.colors.size()));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return fileError(err, args[1], QStringLiteral("Can't encode the preview as PNG"));
    if (const QString why = AtomicFile::write(args[1], png); !why.isEmpty())
        return fileError(err, args[1], why);
    out << args[1] << '\n';
    return 0;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err, {{"dump", dump}, {"save", save}, {"preview", preview}},
                         "clr dump FILE | save IN OUT | preview IN OUT.png");
}

const CliRegistrar registrar({QStringLiteral("clr"),
                              QStringLiteral("dump FILE | save IN OUT | preview IN OUT.png   colour schemes"),
                              run});
} // namespace
