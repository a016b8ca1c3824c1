// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "app/ContentTree.h"

#include <QDateTime>
#include <QStringList>

#include <functional>
#include <memory>

// Indexes of the base icon list; pictures of POI files are appended behind it.
namespace TreeIcon {
enum : int {
    Device = 0,
    PoiFile = 1,
    MapFolder = 2,
    PoiDat = 3,
    GddkiaStale = 4,
    GddkiaReady = 5,
    GpsReady = 7,
    GpsStale = 8,
    Category = 9,
    Sound = 10,
    Image = 11,
    Scheme = 12,
    File = 13,
    BaseCount = 14,
};
}

// Receives the bitmap of a POI file and returns the index of its new 22 x 22 icon.
class IconSink {
public:
    virtual ~IconSink() = default;
    virtual int addPoiIcon(const QString &bitmapPath) = 0;
};

// Hands out indexes without pictures: what the command line needs.
class CountingIconSink : public IconSink {
public:
    int addPoiIcon(const QString &) override { return m_next++; }

private:
    int m_next = TreeIcon::BaseCount;
};

struct TreeOptions {
    bool superUser = false;  // the service-menu switch: shows "POI.DAT"
    // Category texts of a device POI database; absent until that reader exists.
    std::function<QStringList(const QString &poiDatPath)> poiDatCategories;
    QDateTime now = QDateTime::currentDateTime();
};

namespace TreeBuilder {

// The device node (key + "|" + DeviceName) with all its categories and content.
std::unique_ptr<TreeNode> buildDevice(const QString &key, const TreeOptions &options, IconSink &icons);

// Fewer than 4 whole days between the file's modification and `now`, either way.
bool isFresh(const QString &path, const QDateTime &now);

// The CHK file a VIF names on its second line, relative to the VIF's folder; empty
// when the VIF cannot be read or has fewer lines.
QString VIFGetCHK(const QString &vifPath);

} // namespace TreeBuilder
