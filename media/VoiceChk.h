// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <functional>
#include <vector>

class QIODevice;

// The voice container (.chk): a header of big-endian words (the phrase count N, then
// N + 1 offsets, the last one the file size) and one record per phrase: 0, the record
// length / 4 - 1 in 16 bits, 1, 8, the Ogg length L, L bytes of Ogg Vorbis, zeros to a
// multiple of 4.
namespace VoiceChk {

constexpr int MaxReadPhrases = 199;
constexpr int RecordHeaderBytes = 16;
// The record length field has 16 bits: a record holds at most 262,144 bytes.
constexpr qint64 MaxOggBytes = 262128;

// The header read from `in`: [0] = N, [1..N+1] = the offsets, in host order. Empty
// when the first offset is not the header size, N is 200 or more, the header is cut
// short or the last offset is not the size of `in`.
std::vector<quint32> GetCHKHeader(QIODevice &in);

// The Ogg data of phrase k (1..N), or nothing (with the reason in *why) when its record
// is damaged: offsets out of order, the words 1 and 8 missing, a length field too
// small, or Ogg data that would run past its record or the end of `in`.
bool GetOgg(QIODevice &in, const std::vector<quint32> &header, int k, QByteArray &ogg, QString *why = nullptr);

// The container holding `phrases` in order. Throws KorvixError naming the phrase (its
// number) when one is longer than MaxOggBytes.
QByteArray BuildChk(const std::vector<QByteArray> &phrases);

// ---- the phrase files of the open voice ---------------------------------------------

// UserDataFolder + "Voices/".
QString PhraseFolder();
// "tmp01.ogg" .. "tmp59.ogg".
QString PhraseFileName(int k);
// `folder` + PhraseFileName(k); `folder` ends with "/".
QString PhraseFile(const QString &folder, int k);

enum class PhraseState { Missing, Held, Damaged };

struct UnpackResult {
    bool headerOk = false;
    int count = 0;                     // N of the header (0 when it failed)
    std::vector<PhraseState> states;   // per phrase 1..max(N, 59), index k - 1
    std::vector<quint32> header;
};

// Unpacks `chkPath` into the phrase files of `folder` (created when missing): each
// phrase the container holds is written, the file of a damaged phrase removed. With
// `removeUnheld` the files of phrases 1..59 that the container does not hold (all of
// them when the header fails) are removed too, so a later save never packs a phrase
// of another voice. `each` is called after each phrase. Throws KorvixError when the
// container cannot be opened or the folder cannot be made or written.
UnpackResult Unpack(const QString &chkPath, const QString &folder, bool removeUnheld,
                    const std::function<void(int k, PhraseState state)> &each = {});

// The container bytes from the phrase files 1..59 of `folder`. Throws KorvixError
// naming the phrase (number and file name) when one is missing, unreadable or too long.
QByteArray PackFolder(const QString &folder);

// Why a phrase cannot be stored ("Phrase 12 (tmp12.ogg): it is missing" and the like).
QString phraseProblem(int k, const QString &reason);
// The refusal of phrase k's sound of `size` bytes, longer than a record holds.
QString phraseTooLong(int k, qint64 size);

} // namespace VoiceChk
