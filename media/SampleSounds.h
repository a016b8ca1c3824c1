// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "media/OggRunner.h"

#include <QString>
#include <QStringList>

class TWave;

// Synthesised sounds in the working format, for sample content and tests.
namespace SampleSounds {
// A sine tone of `hz` for `ms` milliseconds at `percent` of full scale, with 5 ms
// fades so it does not click.
TWave tone(int hz, int ms, int percent = 50);
// A sweep from `fromHz` to `toHz`.
TWave chirp(int fromHz, int toHz, int ms, int percent = 50);
} // namespace SampleSounds

// Writes a few short sounds into `soundsFolder` (created when missing): "Beep.wav",
// "Chirp.wav", and, through the Ogg encoder, "Chirp.ogg" and "Ding.ogg". Returns the
// files written; the Ogg ones are missing when the encoder cannot run. Throws
// KorvixError when a wave file cannot be written. The encoder's work files go to
// `oggWorkFolder`.
QStringList writeSampleSounds(const QString &soundsFolder, const QString &oggWorkFolder = OggWorkFolder());
