// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/Wave.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Wave documents and files made by the tests themselves.
namespace AudioFixtures {
// A working-format document holding exactly these samples.
TWave samples(const QVector<qint16> &values);
// `ms` of a constant sample value in the working format.
TWave constant(qint16 value, qint64 ms);
QVector<qint16> samplesOf(const TWave &wave);

// Writes a sine file with libsndfile in any of its WAV sub-formats (SF_FORMAT_PCM_U8,
// SF_FORMAT_FLOAT, SF_FORMAT_ULAW, SF_FORMAT_IMA_ADPCM, ...), every channel carrying
// the same tone at half scale, or the second one its negation. Returns false when
// libsndfile refused.
bool writeSine(const QString &path, int subFormat, int channels, int rate, int hz, double seconds,
               bool invertSecond = false);

// Estimated frequency of a mono 16-bit document by zero crossings.
double frequencyOf(const TWave &wave);
} // namespace AudioFixtures
