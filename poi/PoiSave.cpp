// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/PoiSave.h"

#include "platform/AtomicFile.h"
#include "platform/DeviceFiles.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString companion(const QString &dir, const QString &name)
{
    const QString found = DeviceFiles::find(dir, name);
    return found.isEmpty() ? QDir(dir).filePath(name) : found;
}

} // namespace

PoiCompanionPaths poiCompanionPaths(const QString &file)
{
    const QFileInfo fi(file);
    const QString dir = fi.path();
    QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    PoiCompanionPaths p;
    p.base = QDir(dir).filePath(name);
    p.ov2 = companion(dir, name + QStringLiteral(".ov2"));
    p.bmp = companion(dir, name + QStringLiteral(".bmp"));
    p.bmpX2 = companion(dir, name + QStringLiteral("_X2.bmp"));
    p.ogg = companion(dir, name + QStringLiteral(".ogg"));
    p.wav = companion(dir, name + QStringLiteral(".wav"));
    return p;
}

QString parkedName(const QString &path)
{
    QString out = path;
    if (!out.isEmpty())
        out[out.size() - 1] = u'_';
    return out;
}

void parkCompanion(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    const QFileInfo fi(path);
    // The parked file may exist in another spelling too.
    QString parked = DeviceFiles::find(fi.path(), QFileInfo(parkedName(path)).fileName());
    if (parked.isEmpty())
        parked = parkedName(path);
    // One rename replaces an older parked file, so at every moment one of the two is
    // there; the folder is synced so the change outlives a pulled stick.
    // Each failure names the file and the system's reason, which the message shows.
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(parkedName(path)).constData()) != 0)
        throw KorvixError(path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)));
    if (parked != parkedName(path) && QFileInfo::exists(parked)) {
        QFile old(parked);
        if (!old.remove())
            throw KorvixError(parked + QStringLiteral(": ") + old.errorString());
    }
    const QString synced = AtomicFile::syncFolder(fi.path());
    if (!synced.isEmpty())
        throw KorvixError(fi.path() + QStringLiteral(": ") + synced);
}

QString savePoiFiles(const QString &file, PoiSaveParts &parts)
{
    const PoiCompanionPaths p = poiCompanionPaths(file);
    parts.prepareList();
    if (parts.soundEmpty()) {
        parkCompanion(p.ogg);
        parkCompanion(p.wav);
    } else {
        parts.writeSound(p.ogg);
    }
    parts.saved(4);
    parts.writeList(p.ov2);
    parts.saved(1);
    if (parts.smallIconEmpty())
        parkCompanion(p.bmp);
    else
        parts.writeSmallIcon(p.bmp);
    if (parts.largeIconEmpty())
        parkCompanion(p.bmpX2);
    else
        parts.writeLargeIcon(p.bmpX2);
    // Both icons are one part: its bit goes only when both are on disk.
    parts.saved(2);
    return p.ov2;
}
