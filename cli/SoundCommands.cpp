// korvix-cli sound info|convert|normalize: the audio kit from the command line.
#include "cli/Commands.h"
#include "media/OggRunner.h"
#include "media/Wave.h"
#include "platform/Error.h"

#include <QDir>
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
            why = QStringLiteral("cannot decode %1 (is oggdec installed?)").arg(path);
            return false;
        }
    } else if (!wave.LoadFromFile(path, &why)) {
        why = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    QString reason;
    if (!wave.ConvertToPCM(Mono16bit22050Hz(), &reason)) {
        why = QStringLiteral("cannot convert %1 (%2): %3").arg(path, wave.Format().describe(), reason);
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
        why = QStringLiteral("cannot encode %1 (is oggenc installed?)").arg(path);
        return false;
    }
    return true;
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString verb = args.value(0);
    const TOggRunner runner;
    try {
        if (verb == QLatin1String("info") && args.size() == 2) {
            const QString info = TOggRunner::OggInfo(args[1]);
            if (!info.isEmpty()) {
                out << info << '\n';
                return 0;
            }
            TWave wave;
            QString why;
            if (!wave.LoadFromFile(args[1], &why)) {
                err << "korvix-cli: " << args[1] << ": " << why << '\n';
                return 1;
            }
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
        if ((verb == QLatin1String("convert") || verb == QLatin1String("normalize")) && args.size() == 3) {
            TWave wave;
            QString why;
            if (!loadSound(runner, args[1], wave, why)) {
                err << "korvix-cli: " << why << '\n';
                return 1;
            }
            if (verb == QLatin1String("normalize")) {
                const int percent = wave.Normalize();
                out << "peak " << wave.PeakLevel() << " % (volume +" << percent << " %)\n";
            }
            if (!saveSound(runner, wave, args[2], why)) {
                err << "korvix-cli: " << why << '\n';
                return 1;
            }
            out << args[2] << ": " << wave.Length() << " ms\n";
            return 0;
        }
    } catch (const KorvixError &e) {
        err << "korvix-cli: " << e.message() << '\n';
        return 1;
    }
    err << "usage: korvix-cli sound info FILE | convert IN OUT | normalize IN OUT\n";
    return 2;
}

const CliRegistrar registrar({QStringLiteral("sound"),
                              QStringLiteral("info FILE | convert IN OUT | normalize IN OUT  (wave or Ogg; OUT .ogg is encoded)"),
                              run});
} // namespace
