// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TreeBuilder.h"

#include "app/DeviceInfo.h"
#include "platform/DeviceFiles.h"

#include <QFileInfo>
#include <QHash>

namespace {

using namespace TreeBuilder;

QString baseName(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

// A category folder of the device, spelt as on disk.
QString categoryFolder(const QString &root, const QString &name)
{
    const QString p = DeviceFiles::find(root, name);
    return p.isEmpty() ? root + name : p;
}

void addFiles(TreeNode *category, const DirListing &dir, const QString &suffix, int icon)
{
    for (const QString &f : dir.filesWithSuffix(suffix))
        category->addChild(f, icon);
}

void AddPOI(TreeNode *category, const QString &root, const DirListing &rootDir, const TreeOptions &opt,
            IconSink &icons)
{
    for (const QString &folder : rootDir.folders()) {
        DirListing map(root + folder);
        if (!map.hasFile(QStringLiteral("cline.dat")))
            continue;
        TreeNode *mapNode = category->addChild(folder, TreeIcon::MapFolder);
        if (opt.superUser && map.hasFile(QStringLiteral("poi.dat"))) {
            TreeNode *db = mapNode->addChild(QStringLiteral("POI.DAT"), TreeIcon::PoiDat);
            if (opt.poiDatCategories)
                for (const QString &c : opt.poiDatCategories(map.path(QStringLiteral("poi.dat"))))
                    db->addChild(c, TreeIcon::PoiFile);
        }
        for (const QString &ov2 : map.filesWithSuffix(QStringLiteral(".ov2"))) {
            if (ov2.compare(QLatin1String("GDDKIA.OV2"), Qt::CaseInsensitive) == 0) {
                const bool fresh = isFresh(map.path(ov2), opt.now);
                mapNode->addChild(QStringLiteral("GDDKIA"), fresh ? TreeIcon::GddkiaReady : TreeIcon::GddkiaStale);
                continue;
            }
            const QString base = baseName(ov2);
            const QString bmp = map.actualName(base + QStringLiteral(".bmp"));
            int icon = TreeIcon::PoiFile;
            TreeNode *node = nullptr;
            if (!bmp.isEmpty() && map.hasFile(bmp)) {
                icon = icons.addPoiIcon(map.path(bmp));
                node = mapNode->addChild(ov2, icon);
                node->addChild(bmp, icon);
            } else {
                node = mapNode->addChild(ov2, icon);
            }
            for (const char *suffix : {"_x2.bmp", ".ogg", ".wav"}) {
                const QString name = base + QLatin1String(suffix);
                if (map.hasFile(name))
                    node->addChild(map.actualName(name), icon);
            }
        }
    }
}

void AddImages(TreeNode *category, const DirListing &rootDir)
{
    for (const char *name : {"splash.bmp", "antitheft.bmp"})
        if (rootDir.hasFile(QLatin1String(name)))
            category->addChild(rootDir.actualName(QLatin1String(name)), TreeIcon::Image);
}

void AddVoices(TreeNode *category, const QString &root)
{
    DirListing voices(categoryFolder(root, QStringLiteral("Voices")));
    for (const QString &vif : voices.filesWithSuffix(QStringLiteral(".vif"))) {
        TreeNode *node = category->addChild(vif, TreeIcon::Sound);
        const QString chk = VIFGetCHK(voices.path(vif));
        if (!chk.isEmpty() && QFileInfo(chk).isFile())
            node->addChild(QFileInfo(chk).fileName(), TreeIcon::File);
        const QString bmp = voices.actualName(baseName(vif) + QStringLiteral(".bmp"));
        if (!bmp.isEmpty() && voices.hasFile(bmp))
            node->addChild(bmp, TreeIcon::File);
    }
}

void AddRaster(TreeNode *category, const QString &root)
{
    DirListing raster(categoryFolder(root, QStringLiteral("Raster")));
    QHash<QString, TreeNode *> groups; // the groups are the Raster node's only inner nodes
    for (const QString &sat : raster.filesWithSuffix(QStringLiteral(".sat"))) {
        const QString key = sat.left(3);
        TreeNode *&group = groups[key];
        if (!group)
            group = category->addChild(key, TreeIcon::Category);
        group->addChild(sat, TreeIcon::File);
    }
}

} // namespace

bool TreeBuilder::isFresh(const QString &path, const QDateTime &now)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.exists())
        return false;
    const qint64 secs = qAbs(fi.lastModified().secsTo(now));
    return secs / 86400 < 4;
}

QString TreeBuilder::VIFGetCHK(const QString &vifPath)
{
    // A voice description is six short lines; anything larger is not one.
    constexpr qint64 maxVifSize = 64 * 1024;
    const std::optional<QByteArray> data = DeviceFiles::readRegular(vifPath, maxVifSize);
    if (!data)
        return {};
    const QString text = QString::fromLatin1(*data);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (lines.size() == 1)
        lines = text.split(QLatin1Char('\n'));
    if (lines.size() < 2)
        return {};
    const QString name = lines[1].trimmed();
    if (name.isEmpty())
        return {};
    const QString dir = QFileInfo(vifPath).absolutePath();
    // The name is relative to the VIF's folder and may use the device's separator.
    QString rel = name;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const int slash = rel.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        const QString found = DeviceFiles::find(dir, rel);
        return found.isEmpty() ? dir + QLatin1Char('/') + rel : found;
    }
    return dir + QLatin1Char('/') + rel;
}

std::unique_ptr<TreeNode> TreeBuilder::buildDevice(const QString &key, const TreeOptions &opt, IconSink &icons)
{
    const QString root = key + QLatin1Char('/');
    auto device = std::make_unique<TreeNode>(
        key + QLatin1Char('|') + DeviceInfo::ReadDeviceInfo(root, QStringLiteral("DeviceName")), TreeIcon::Device);
    const DirListing rootDir(root);

    const QString ephem = DeviceFiles::find(categoryFolder(root, QStringLiteral("ephem")), QStringLiteral("ee_meta.txt"));
    device->addChild(QStringLiteral("QuickGPSFix"), isFresh(ephem, opt.now) ? TreeIcon::GpsReady : TreeIcon::GpsStale);

    AddPOI(device->addChild(QStringLiteral("POI"), TreeIcon::Category), root, rootDir, opt, icons);

    TreeNode *itn = device->addChild(QStringLiteral("Itinerary"), TreeIcon::Category);
    addFiles(itn, DirListing(categoryFolder(root, QStringLiteral("Itn"))), QStringLiteral(".itn"), TreeIcon::File);

    AddImages(device->addChild(QStringLiteral("Images"), TreeIcon::Category), rootDir);

    TreeNode *schemes = device->addChild(QStringLiteral("Schemes"), TreeIcon::Category);
    addFiles(schemes, DirListing(categoryFolder(root, QStringLiteral("Schemes"))), QStringLiteral(".clr"), TreeIcon::Scheme);

    TreeNode *sounds = device->addChild(QStringLiteral("Sounds"), TreeIcon::Category);
    const DirListing soundDir(categoryFolder(root, QStringLiteral("sounds")));
    addFiles(sounds, soundDir, QStringLiteral(".ogg"), TreeIcon::Sound);
    addFiles(sounds, soundDir, QStringLiteral(".wav"), TreeIcon::Sound);

    AddVoices(device->addChild(QStringLiteral("Voices"), TreeIcon::Category), root);
    AddRaster(device->addChild(QStringLiteral("Raster"), TreeIcon::Category), root);
    return device;
}
