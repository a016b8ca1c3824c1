// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

#include <functional>

class TOggRunner;

// A complete voice from the speech synthesiser espeak-ng: each phrase's spoken text
// said in a chosen espeak-ng language and encoded like a recorded phrase, so a user
// has a working voice at once and re-records only the phrases he wants.
namespace VoiceSpeech {

constexpr const char *Speaker = "espeak-ng";

// Whether the synthesiser is found (in the Ogg work folder or on PATH).
bool available(const TOggRunner &runner);
// The language codes the synthesiser offers ("af", "en-us", "pl", ...), sorted.
QStringList languages(const TOggRunner &runner);
// The espeak-ng language of the program's own texts ("en", or the translation's).
QString programLanguage();
// The index in the voice language list of an espeak-ng language, -1 when it has none.
int languageIndex(const QString &speechLanguage);

// Speaks every phrase (its spoken text in the program's language) in `speechLanguage`
// into the phrase files 1..59 of `folder`, calling `each` after each one. Throws
// KorvixError naming the language or the phrase when the synthesiser or the encoder
// fails; the phrases spoken before stay.
void SpeakAll(const QString &speechLanguage, const QString &folder, const TOggRunner &runner,
              const std::function<void(int k)> &each = {});

} // namespace VoiceSpeech
