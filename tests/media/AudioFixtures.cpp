// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/media/AudioFixtures.h"

#include <sndfile.h>

#include <QFile>
#include <QtEndian>

#include <cmath>
#include <vector>

TWave AudioFixtures::samples(const QVector<qint16> &values)
{
    QByteArray data(values.size() * 2, Qt::Uninitialized);
    for (int i = 0; i < values.size(); ++i)
        qToLittleEndian(quint16(values[i]), data.data() + 2 * i);
    TWave w;
    w.Assign(Mono16bit22050Hz(), data);
    return w;
}

TWave AudioFixtures::constant(qint16 value, qint64 ms)
{
    return samples(QVector<qint16>(int(22050 * ms / 1000), value));
}

QVector<qint16> AudioFixtures::samplesOf(const TWave &wave)
{
    QVector<qint16> out(int(wave.DataSize() / 2));
    for (int i = 0; i < out.size(); ++i)
        out[i] = qint16(qFromLittleEndian<quint16>(wave.Data().constData() + 2 * i));
    return out;
}

bool AudioFixtures::writeSine(const QString &path, int subFormat, int channels, int rate, int hz, double seconds,
                               bool invertSecond)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = SF_FORMAT_WAV | subFormat;
    SNDFILE *sf = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!sf)
        return false;
    const sf_count_t frames = sf_count_t(rate * seconds);
    std::vector<float> buf(size_t(frames) * size_t(channels));
    for (sf_count_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            buf[size_t(f) * size_t(channels) + size_t(c)] = float((invertSecond && c == 1 ? -0.5 : 0.5) * std::sin(2 * M_PI * hz * double(f) / rate));
    const bool ok = sf_writef_float(sf, buf.data(), frames) == frames;
    sf_close(sf);
    return ok;
}

double AudioFixtures::frequencyOf(const TWave &wave)
{
    const QVector<qint16> s = samplesOf(wave);
    int crossings = 0;
    for (int i = 1; i < s.size(); ++i)
        if ((s[i - 1] < 0) != (s[i] < 0))
            ++crossings;
    const double seconds = double(s.size()) / wave.Format().samplesPerSec;
    return seconds > 0 ? crossings / 2.0 / seconds : 0;
}
