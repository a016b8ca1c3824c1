// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli sound info|convert|normalize: the audio kit from the command line.
#include "cli/Commands.h"
#include "media/OggRunner.h"
#include "media/Wave.h"
#include "platform/Error.h"
#include "platform/FileReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool isOggName(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("ogg"), Qt::CaseInsensitive) == 0;
}

// Any wave or Ogg Vorbis file, converted to the working format.
bool loadSound(const TOggRunner &runner, const QString &path, TWave &wave, QString &why)
{
    if (!TOggRunner::OggInfo(path).isEmpty() || isOggName(path)) {
        if (!runner.DecodeOggFile(path, wave)) {
            why = QStringLiteral("Can't decode the Ogg file (is oggdec installed?)");
            return false;
        }
    } else if (!wave.LoadFromFile(path, &why)) {
        return false;
    }
    QString reason;
    if (!wave.ConvertToPCM(Mono16bit22050Hz(), &reason)) {
        why = QStringLiteral("Can't convert the sound (%1): %2").arg(wave.Format().describe(), reason);
        return false;
    }
    return true;
}

bool saveSound(const TOggRunner &runner, const TWave &wave, const QString &path, QString &why)
{
    if (!isOggName(path)) {
        wave.SaveToFile(path);
        return true;
    }
    if (!runner.EncodeOggFile(wave, path)) {
        why = QStringLiteral("Can't encode the Ogg file (is oggenc installed?)");
        return false;
    }
    return true;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString verb = args.value(0);
    const TOggRunner runner;
    // The file a failure is about: the input until the output is being written.
    QString current = args.value(1);
    const bool info = verb == QLatin1String("info") && args.size() == 2;
    const bool convert = (verb == QLatin1String("convert") || verb == QLatin1String("normalize")) && args.size() == 3;
    if (info || convert) {
        // Without blocking on a FIFO, and never a device that reads without end.
        QFile probe;
        if (const QString why = FileReader::open(probe, current, FileReader::MaxSoundBytes); !why.isEmpty()) {
            if (why == FileReader::notRegular(current) || why == FileReader::tooLarge(current))
                return fileError(err, current, why);
            const QString named = current + QStringLiteral(": ");
            return fileError(err, current, QStringLiteral("Can't open the sound file: ") + (why.startsWith(named) ? why.mid(named.size()) : why));
        }
    }
    try {
        if (info) {
            const QString info = TOggRunner::OggInfo(args[1]);
            if (!info.isEmpty()) {
                out << info << '\n';
                return 0;
            }
            TWave wave;
            QString why;
            if (!wave.LoadFromFile(args[1], &why))
                return fileError(err, args[1], why);
            out << "format: " << wave.Format().describe() << '\n';
            out << "length: " << wave.Length() << " ms\n";
            // The level is that of the sound as an editor would see it.
            TWave working = wave;
            if (working.ConvertToPCM(Mono16bit22050Hz(), &why))
                out << "peak: " << working.PeakLevel() << " %\n";
            else
                out << "peak: unknown (" << why << ")\n";
            return 0;
        }
        if (convert) {
            // Wave or Ogg Vorbis by the ending; anything else would be a wave misnamed.
            if (!hasSuffix(args[2], {"wav", "ogg"}))
                return refuseOutput(err, args[2], QStringLiteral(".wav or .ogg"));
            TWave wave;
            QString why;
            if (!loadSound(runner, args[1], wave, why))
                return fileError(err, args[1], why);
            current = args[2];
            if (verb == QLatin1String("normalize")) {
                const int percent = wave.Normalize();
                out << "peak " << wave.PeakLevel() << " % (volume +" << percent << " %)\n";
            }
            if (!saveSound(runner, wave, args[2], why))
                return fileError(err, args[2], why);
            out << args[2] << ": " << wave.Length() << " ms\n";
            return 0;
        }
    } catch (const KorvixError &e) {
        return fileError(err, current, e.message());
    }
    err << "usage: korvix-cli sound info FILE | convert IN OUT | normalize IN OUT\n";
    return 2;
}

const CliRegistrar registrar({QStringLiteral("sound"),
                              QStringLiteral("info FILE | convert IN OUT | normalize IN OUT  (wave or Ogg; OUT .ogg is encoded)"),
                              run});
} // namespace
