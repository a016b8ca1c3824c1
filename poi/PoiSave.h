// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a POI document: the list and its companions beside it under one base name,
// in a fixed order, with the parts that became empty parked under names ending in
// "_" so the device no longer finds them. Headless: the window supplies the writers.

#include <QCoreApplication>
#include <QString>

// The files of a document whose list is base + ".ov2". Companions are looked up
// without case (device file systems are FAT): an existing "Fuel.BMP" is the small
// icon of "fuel.ov2" and is written and parked under its own spelling.
struct PoiCompanionPaths {
    QString base; // the path without extension
    QString ov2, bmp, bmpX2, ogg, wav;
};
PoiCompanionPaths poiCompanionPaths(const QString &file);

// The parked name: the extension's last character becomes "_" ("x.ogg" -> "x.og_").
QString parkedName(const QString &path);
// Renames `path` to its parked name, replacing an older parked file. A missing
// `path` is no error. Throws KorvixError when the rename fails.
void parkCompanion(const QString &path);

// What a document hands to savePoiFiles. Writers throw KorvixError.
class PoiSaveParts {
public:
    virtual ~PoiSaveParts() = default;
    // Takes the list as it will be written and checks it; runs before anything is
    // written, so a list that cannot be saved leaves every file as it was.
    virtual void prepareList() = 0;
    virtual bool soundEmpty() const = 0;
    virtual void writeSound(const QString &oggPath) = 0;
    virtual void writeList(const QString &ov2Path) = 0;
    virtual bool smallIconEmpty() const = 0;
    virtual void writeSmallIcon(const QString &bmpPath) = 0;
    virtual bool largeIconEmpty() const = 0;
    virtual void writeLargeIcon(const QString &bmpPath) = 0;
    // The dirty bits of a part that is now on disk: 4 sound, 1 list, 2 icons.
    virtual void saved(int bits) = 0;
};

// In this order: the list's check, the sound (or park base.ogg and base.wav), the
// list, the small icon (or park base.bmp), the large icon (or park base_X2.bmp). The
// first failure ends the save with its KorvixError; the parts already written keep
// their saved bits.
// Returns the list's path.
QString savePoiFiles(const QString &file, PoiSaveParts &parts);

namespace PoiTexts {
inline QString problemSaving() { return QCoreApplication::translate("TOV2", "Problem with saving files!"); }
// The message of a refused save: the reason (a row and what is wrong with it, a file
// and the system's words) goes in the text itself, not only behind the details.
inline QString saveRefused(const QString &reason)
{
    const QString text = problemSaving();
    return reason.isEmpty() || reason == text ? text : text + QLatin1Char('\n') + reason;
}
} // namespace PoiTexts
