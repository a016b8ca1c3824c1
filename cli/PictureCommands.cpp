// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "media/ImgFile.h"
#include "platform/Error.h"

namespace {
int image(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 3 || args[0] != QLatin1String("startup")) {
        err << "usage: korvix-cli image startup IN OUT.bmp\n";
        return 2;
    }
    // The pictures are bitmaps whatever the name says.
    if (!hasSuffix(args[2], {"bmp"}))
        return refuseOutput(err, args[2], QStringLiteral(".bmp"));
    bool written = false;
    try {
        const ImgFile::Picture picture = ImgFile::stretchedStartup(ImgFile::load(args[1]).image);
        written = true;
        ImgFile::save(args[2], picture);
        out << args[2] << ": " << picture.image.width() << " x " << picture.image.height() << ", "
            << picture.bitsPerPixel << " bits per pixel\n";
        return 0;
    } catch (const KorvixError &e) {
        // Reading fails on the input, anything later on the output.
        return fileError(err, written ? args[2] : args[1], e.message());
    }
}

const CliRegistrar registrar({QStringLiteral("image"),
                              QStringLiteral("startup IN OUT.bmp   a 320 x 240 start-up picture from any picture"),
                              image});
} // namespace
