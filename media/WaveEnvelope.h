// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QVector>

#include <utility>

class TWave;

// One pair per pixel column of a waveform picture: the y of the column's largest
// sample and the y of its smallest (positive samples lie below the middle line).
using TEnvelope = QVector<std::pair<qint16, qint16>>;

enum class EnvelopeResult { Built, NotReadable, NotSixteenBit };

// Fills `envelope` with `columns` pairs for a picture `height` pixels high. Each column
// summarises its own samples and those of the following column. The pairs stay (0, 0)
// when the document cannot be read or is not 16-bit.
EnvelopeResult BuildEnvelope(const TWave &wave, int columns, int height, TEnvelope &envelope);
