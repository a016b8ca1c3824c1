// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SampleDevice.h"

#include "media/ImgFile.h"
#include "itn/SampleItineraries.h"
#include "media/OggRunner.h"
#include "media/SampleSounds.h"
#include "poi/SamplePois.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// Every failure names its file or folder: the command must never end "done" without it.
QString makeFolder(const QString &path)
{
    return QDir().mkpath(path) ? QString() : QStringLiteral("Cannot create %1").arg(path);
}

QString writeFile(const QString &path, const QByteArray &data)
{
    if (QString why = makeFolder(QFileInfo(path).absolutePath()); !why.isEmpty())
        return why;
    const QString why = AtomicFile::write(path, data);
    return why.isEmpty() ? why : path + QStringLiteral(": ") + why;
}
} // namespace

QString SampleDevice::write(const QString &dir)
{
    const QString root = QDir(dir).absolutePath() + QLatin1Char('/');
    if (!QDir().mkpath(root))
        return QStringLiteral("Cannot create %1").arg(root);
    const QByteArray bif =
        "[TomTomGo]\r\n"
        "DeviceName=Korvix Sample\r\n"
        "DeviceVersionHW=HW 2.1\r\n"
        "DeviceSerialNumber=KX0000000001\r\n"
        "DeviceUniqueID=0123456789ABCDEF\r\n"
        "ApplicationVersionVersionNumber=9.510\r\n";
    struct File { const char *name; QByteArray data; };
    const File files[] = {
        {"TTGO.BIF", bif},
        {"ttsystem", QByteArray("sample system image\n")},
        {"Sample_Map/cline.dat", QByteArray(64, '\0')},
        {"ephem/ee_meta.txt", QByteArray("sample ephemeris\r\n")},
    };
    for (const File &f : files)
        if (QString why = writeFile(root + QLatin1String(f.name), f.data); !why.isEmpty())
            return why;
    for (const char *folder : {"Itn", "Schemes", "sounds", "Voices", "Raster"})
        if (QString why = makeFolder(root + QLatin1String(folder)); !why.isEmpty())
            return why;
    try {
        ImgFile::writeSamplePictures(root);
        const QStringList sounds = writeSampleSounds(root + QStringLiteral("sounds"));
        writeSamplePois(root + QStringLiteral("Sample_Map"));
        writeSampleItineraries(root + QStringLiteral("Itn"));
        // The speed cameras warn with a sound of their own.
        const QString ding = root + QStringLiteral("sounds/Ding.ogg");
        if (sounds.contains(ding) && !CopyFileAtomically(ding, root + QStringLiteral("Sample_Map/Fotoradary.ogg")))
            return QStringLiteral("%1: Can't read the sound").arg(ding);
    } catch (const KorvixError &e) {
        return e.message();
    }
    return {};
}
