// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

// The fixed lists of a voice: the 59 phrases a container holds, in container order,
// and the choices of the information file. Each list is written once, here.
namespace VoiceTables {

constexpr int PhraseCount = 59;
constexpr int LanguageCount = 175;
constexpr int FlagCount = 126;
constexpr int FlagBase = 100;   // a flag's code is its list index + 100
constexpr int NoFlagCode = 99;  // written for "no flag selected"

struct Phrase {
    const char *file;         // the name the phrase has as a separate Ogg file
    const char *description;  // translatable (context "TVoice"), may carry blanks at the ends
    const char *spoken;       // translatable (context "TVoiceSpeech"): what a synthetic voice says
};

// Phrase k (1..59).
const Phrase &phrase(int k);
// The description as the table shows it: translated, blanks trimmed at both ends.
QString phraseDescription(int k);
// The text a speech synthesiser says for phrase k, translated.
QString phraseSpeech(int k);

// "Young", "Female", "Male" (translated).
QStringList genders();
// 175 entries: the language of each code 0..174, or the code itself where it has no name.
QStringList languages();
// 126 entries: the country of each code 100..225, or the code itself where it has no name.
QStringList flags();

} // namespace VoiceTables
