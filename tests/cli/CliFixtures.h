// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

// Small real inputs for the command-line tests, made by the tests themselves.
namespace CliFixtures {
struct Inputs {
    QString ov2, itn, wav, png, clr, chk, phrases;
};
// Writes one input of each kind into `dir` (the container from a folder of phrases).
Inputs makeInputs(const QString &dir);
// Rows for "ov2 write" / "itn write": `count` points, text `tag` in each description.
QByteArray rows(int count, const QString &tag);
// Writes `data` to `path` (a plain write: a fixture, not a save under test).
void writeFile(const QString &path, const QByteArray &data);
// A 16-bit mono wave of `ms` milliseconds of a tone.
QByteArray waveFile(int ms, int hz);
} // namespace CliFixtures
