// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/cli/CliFixtures.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cmath>

namespace {
void put32(QByteArray &b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void put16(QByteArray &b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
} // namespace

namespace CliFixtures {

QByteArray rows(int count, const QString &tag)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QStringLiteral("%1\t%2\t%3 %4\n").arg(1993700 + 37 * i).arg(5006170 - 11 * i).arg(tag).arg(i).toUtf8();
    return out;
}

QByteArray waveFile(int ms, int hz)
{
    const int rate = 22050;
    const int n = rate * ms / 1000;
    QByteArray samples;
    for (int i = 0; i < n; ++i)
        put16(samples, quint16(qint16(std::lround(12000 * std::sin(2 * M_PI * hz * i / double(rate))))));
    QByteArray w("RIFF");
    put32(w, quint32(36 + samples.size()));
    w += "WAVEfmt ";
    put32(w, 16);
    put16(w, 1);
    put16(w, 1);
    put32(w, rate);
    put32(w, rate * 2);
    put16(w, 2);
    put16(w, 16);
    w += "data";
    put32(w, quint32(samples.size()));
    return w + samples;
}

Inputs makeInputs(const QString &dir)
{
    Inputs in;
    QDir().mkpath(dir);
    const QDir d(dir);
    in.ov2 = d.filePath(QStringLiteral("in.ov2"));
    const CliRun ov2 = runCli({QStringLiteral("ov2"), QStringLiteral("write"), in.ov2}, rows(50, QStringLiteral("in")));
    if (ov2.code != 0)
        qFatal("cannot make the OV2 input: %s", ov2.err.constData());
    in.itn = d.filePath(QStringLiteral("in.itn"));
    writeFile(in.itn, "1993700|5006170|Start|4|\r\n1994460|5005140|End|3|\r\n");
    in.wav = d.filePath(QStringLiteral("in.wav"));
    writeFile(in.wav, waveFile(200, 440));
    in.png = d.filePath(QStringLiteral("in.png"));
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(qRgb(20, 120, 200));
    writeFile(in.png, encodedImage(img, "PNG"));
    in.clr = d.filePath(QStringLiteral("in.clr"));
    writeFile(in.clr, "255,0,0\n0,255,0\n0,0,255\n");
    in.phrases = d.filePath(QStringLiteral("phrases")) + QLatin1Char('/');
    QDir().mkpath(in.phrases);
    for (int k = 1; k <= 59; ++k)
        writeFile(in.phrases + QStringLiteral("tmp%1.ogg").arg(k, 2, 10, QLatin1Char('0')),
                  "OggS new phrase " + QByteArray::number(k));
    in.chk = d.filePath(QStringLiteral("in.chk"));
    const CliRun chk = runCli({QStringLiteral("chk"), QStringLiteral("pack"), in.phrases, in.chk});
    if (chk.code != 0)
        qFatal("cannot make the voice container: %s", chk.err.constData());
    return in;
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace CliFixtures
