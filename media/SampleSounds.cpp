// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SampleSounds.h"

#include "media/OggRunner.h"
#include "media/Wave.h"
#include "platform/Error.h"

#include <QDir>
#include <QtEndian>

#include <cmath>
#include <functional>

namespace {
// Renders `ms` milliseconds of phase(t) (radians) as 16-bit mono at 22050 Hz.
TWave render(int ms, int percent, const std::function<double(double)> &phase,
             const std::function<double(double)> &gain = [](double) { return 1.0; })
{
    const TWaveFormat f = Mono16bit22050Hz();
    const qint64 n = qint64(f.samplesPerSec) * ms / 1000;
    const double fade = 0.005 * f.samplesPerSec;
    QByteArray data(n * 2, Qt::Uninitialized);
    for (qint64 i = 0; i < n; ++i) {
        const double t = double(i) / f.samplesPerSec;
        const double edge = std::min({1.0, double(i) / fade, double(n - 1 - i) / fade});
        const double v = std::sin(phase(t)) * gain(t) * edge * percent / 100.0 * 32767.0;
        qToLittleEndian(quint16(qint16(std::lround(v))), data.data() + 2 * i);
    }
    TWave w;
    w.Assign(f, data);
    return w;
}
} // namespace

TWave SampleSounds::tone(int hz, int ms, int percent)
{
    return render(ms, percent, [hz](double t) { return 2 * M_PI * hz * t; });
}

TWave SampleSounds::chirp(int fromHz, int toHz, int ms, int percent)
{
    const double k = (toHz - fromHz) / (ms / 1000.0);
    return render(ms, percent, [=](double t) { return 2 * M_PI * (fromHz * t + k * t * t / 2); });
}

QStringList writeSampleSounds(const QString &soundsFolder, const QString &oggWorkFolder)
{
    if (!QDir().mkpath(soundsFolder))
        throw KorvixError(QStringLiteral("Cannot create %1").arg(soundsFolder));
    const QDir dir(soundsFolder);
    QStringList written;
    auto save = [&](const TWave &w, const QString &name) {
        w.SaveToFile(dir.filePath(name));
        written << dir.filePath(name);
    };
    save(SampleSounds::tone(1000, 300), QStringLiteral("Beep.wav"));
    const TWave chirp = SampleSounds::chirp(400, 2000, 800);
    save(chirp, QStringLiteral("Chirp.wav"));

    // A bell-like ding: two partials dying away.
    const TWave ding = render(1200, 60, [](double t) { return 2 * M_PI * 880 * t + 0.5 * std::sin(2 * M_PI * 1320 * t); },
                              [](double t) { return std::exp(-3.0 * t); });
    const TOggRunner runner(oggWorkFolder);
    // Without an encoder there are no Ogg samples; any other failure is one.
    if (TOggRunner::findProgram(QString::fromLatin1(TOggRunner::Encoder), runner.folder()).isEmpty())
        return written;
    for (const auto &[wave, name] : {std::pair{&chirp, QStringLiteral("Chirp.ogg")}, std::pair{&ding, QStringLiteral("Ding.ogg")}}) {
        if (!runner.EncodeOggFile(*wave, dir.filePath(name)))
            throw KorvixError(QStringLiteral("%1: Can't encode the Ogg file").arg(dir.filePath(name)));
        written << dir.filePath(name);
    }
    return written;
}
