#include "app/SampleDevice.h"

#include "media/ImgFile.h"
#include "itn/SampleItineraries.h"
#include "media/SampleSounds.h"
#include "poi/SamplePois.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return AtomicFile::write(path, data);
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
        QDir().mkpath(root + QLatin1String(folder));
    try {
        ImgFile::writeSamplePictures(root);
        writeSampleSounds(root + QStringLiteral("sounds"));
        writeSamplePois(root + QStringLiteral("Sample_Map"));
        writeSampleItineraries(root + QStringLiteral("Itn"));
        // The speed cameras warn with a sound of their own.
        QFile::copy(root + QStringLiteral("sounds/Ding.ogg"), root + QStringLiteral("Sample_Map/Fotoradary.ogg"));
    } catch (const KorvixError &e) {
        return e.message();
    }
    return {};
}
