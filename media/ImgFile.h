// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

// Start-up and shut-down pictures as files: reading any picture format, writing the
// Windows bitmap the device reads, and the rules for their names and sizes. Headless,
// so the command line makes the same pictures as the editor.
namespace ImgFile {

constexpr int StartupWidth = 320;
constexpr int StartupHeight = 240;
// Nothing the device shows comes near these; a header claiming more is refused
// before any pixel memory is taken.
constexpr int MaxSide = 16384;
constexpr qint64 MaxPixels = qint64(64) * 1024 * 1024;
constexpr qint64 MaxFileBytes = qint64(512) * 1024 * 1024;

// Results of the save choice dialog.
constexpr int StartUpResult = 100;
constexpr int ShutDownResult = 101;

inline const char *SplashName = "splash.bmp";
inline const char *AntitheftName = "antitheft.bmp";

// A picture with the pixel format it is written in.
struct Picture {
    QImage image;
    int bitsPerPixel = 24;   // 1, 4, 8, 16, 24 or 32
    bool isNull() const { return image.isNull(); }
};

// Reads any format Qt reads. A bitmap keeps its own bits per pixel, other formats
// count as 24. Throws KorvixError with the reason.
Picture load(const QString &path);
Picture loadData(const QByteArray &data, const QString &name = {});
// The bits per pixel a bitmap file declares, or 0 when `data` is no bitmap.
int bitmapBitsPerPixel(const QByteArray &data);

// The bitmap bytes: BITMAPFILEHEADER, BITMAPINFOHEADER, colour table for 1, 4 and 8
// bits, bottom-up rows padded to 4 bytes, no compression. An indexed depth whose
// table cannot hold the picture's colours grows to 8 bits.
QByteArray encodeBmp(const QImage &image, int bitsPerPixel);
// Writes through QSaveFile; throws KorvixError when it fails.
void save(const QString &path, const Picture &picture);

// The picture an import or paste makes: 320 x 240 with `source` stretched over it,
// in the pixel format (and colour table) of `target`; 24 bits when `target` is empty.
Picture stretchedStartup(const QImage &source, const Picture &target = {});

// True only for exactly "splash.bmp" and "antitheft.bmp" (the case counts).
bool isStartupName(const QString &fileName);
// The folder part of `path` with its trailing "/" ("dev/" for "dev/" and "dev/x.bmp").
QString folderOf(const QString &path);
// The file a save choice means, or an empty text for no choice.
QString pathForChoice(const QString &imagePath, int choice);

// A colourful 640 x 480 pattern, the source of the sample device's pictures.
QImage samplePattern(bool startUp);
// Writes "splash.bmp" and "antitheft.bmp" into `folder` (with trailing "/"), made
// from the sample patterns as an import would; throws KorvixError.
void writeSamplePictures(const QString &folder);

} // namespace ImgFile
