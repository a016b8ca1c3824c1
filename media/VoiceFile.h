// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCoreApplication>
#include <QImage>
#include <QString>

class DeviceCodec;

// The voice information file (.vif) and the voice's picture (.bmp), and the save of
// the three files of a voice together.
namespace VoiceFile {

constexpr int PictureSide = 160;
// A voice information file is six short lines; a larger file is not one, and reading
// it whole into the name box would only stall the window.
constexpr qint64 MaxVifBytes = 64 * 1024;

// What the editor reads from and writes to an information file. The indexes are list
// positions (the flag's code is its index + 100), -1 for no selection.
struct VifData {
    QString name;
    QString container;   // line 2, kept as read
    int gender = -1;
    int language = -1;
    int flag = -1;
};

// Reads `path` into `vif` (the fields not in the file keep their values only when the
// file is missing). Lines end in CR LF, or LF when the file has no CR LF; each line is
// trimmed of blanks; a missing line reads as empty; a number outside its list selects
// nothing. Returns false without changing `vif` when the file is missing; throws
// KorvixError when it is no regular file, larger than MaxVifBytes or unreadable.
bool OpenVIF(const QString &path, VifData &vif, const DeviceCodec &codec);
// The parse of a whole file's bytes (what OpenVIF does after reading).
VifData ParseVIF(const QByteArray &bytes, const DeviceCodec &codec);
// The six CR LF lines written for `vif` saved as `vifPath`: line 2 is its file name
// with ".chk".
QByteArray VifBytes(const VifData &vif, const QString &vifPath, const DeviceCodec &codec);

// The picture of a voice: `path` loaded and stretched over 160 x 160 (aspect ratio not
// kept), 24 bits per pixel; a blank (white) 160 x 160 picture when the file is missing.
// Throws KorvixError when the file is there but no picture.
QImage loadVifBitmap(const QString &path);
QImage blankPicture();

// `path` with its extension replaced ("voice.vif" -> "voice.chk").
QString withExtension(const QString &path, const char *extension);
// The companion file as it is spelt on disk ("VOICE.CHK" beside "VOICE.vif"), or
// withExtension's name when there is none yet.
QString companion(const QString &path, const char *extension);

// Saves a voice under the names of `path` (any of its three files): the container
// built from the phrase files of `phraseFolder`, the information file and the picture.
// Everything is built in memory first: a missing or too long phrase throws KorvixError
// naming it, and none of the three files changes. Each file is replaced atomically;
// a write that fails throws with the file and the reason.
void SaveVoice(const QString &path, const QString &phraseFolder, const VifData &vif, const QImage &picture,
               const DeviceCodec &codec);

} // namespace VoiceFile
