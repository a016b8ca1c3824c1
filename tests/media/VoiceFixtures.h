// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QString>

#include <vector>

// Voices made by the tests: real Ogg Vorbis phrases from the installed encoder.
namespace VoiceFixtures {
// Whether oggenc and oggdec are installed.
bool oggToolsInstalled();
// 59 distinct phrases (a short tone each, of its own pitch and length), encoded once
// per test program and kept in memory.
const std::vector<QByteArray> &realPhrases();
// Writes tmp01.ogg .. tmp59.ogg of realPhrases() into `folder` (ending in "/").
void writePhraseFiles(const QString &folder);
// The header words and records of a container, big-endian, for hand-made damage.
QByteArray word(quint32 value);
} // namespace VoiceFixtures
