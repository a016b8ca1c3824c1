// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/WaveEnvelope.h"

#include "media/Wave.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

EnvelopeResult BuildEnvelope(const TWave &wave, int columns, int height, TEnvelope &envelope)
{
    const int n = std::max(columns, 0);
    envelope.fill({0, 0}, n);
    if (!wave.BeginRead())
        return EnvelopeResult::NotReadable;
    if (wave.Format().bitsPerSample != 16) {
        wave.EndRead();
        return EnvelopeResult::NotSixteenBit;
    }
    const double spc = double(wave.DataSize()) / 2.0 / double(n);
    const qint64 perColumn = 2 * qint64(spc);
    const double h = height;
    std::vector<char> buffer;
    for (int i = 0; i < n; ++i) {
        wave.Seek(2 * qint64(double(i) * spc));
        buffer.resize(size_t(perColumn) * 2);
        const qint64 got = wave.Read(buffer.data(), qint64(buffer.size()));
        int hi = 0, lo = 0;
        for (qint64 k = 0; k + 1 < got; k += 2) {
            const int s = qint16(qFromLittleEndian<quint16>(buffer.data() + k));
            hi = std::max(hi, s);
            lo = std::min(lo, s);
        }
        envelope[i] = {qint16(std::trunc(h / 2 + h * hi / 65536.0)), qint16(std::trunc(h / 2 + h * lo / 65536.0))};
    }
    wave.EndRead();
    return EnvelopeResult::Built;
}
