// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A new raster overlay captured from the capture page: what the page reports, the
// name proposed for it, the map's picture found in a grab of the browser and the
// ".sat" written beside the JPEG.

#include <QImage>
#include <QString>

#include <optional>

class DeviceCodec;

namespace RasterCapture {

// The page's report (callback 5).
struct Report {
    QString south, west, north, east; // decimal degrees as the page wrote them
    QString prefix;
    int width = 0, height = 0;        // the map element's size
    int left = 0, top = 0;            // and position in the page
};
// Nothing when a coordinate is not a plain decimal or a size is not a positive integer.
std::optional<Report> parseReport(const QString &text);

// prefix + "_" + west without its point + "_" + north without its point.
QString proposedName(const Report &report);

// The map's picture in `grab`: along the middle row from the left, and the middle
// column from the top, the first black pixel is the map's 1-pixel border; the
// picture starts right after it. Null when no border is found or the picture would not fit.
QImage findMap(const QImage &grab, int width, int height);

// The ".sat" text with CR LF: picture name, west, north, east, south, "0", "65535",
// the captured area's width and height.
QByteArray satText(const QString &pictureName, const Report &report, int areaWidth, int areaHeight,
                   const DeviceCodec &codec);

// Saves `picture` as `base`.jpg and the description as `base`.sat (`base`: the chosen
// name without its extension). Returns the first failure, or an empty text.
QString save(const QString &base, const QImage &picture, const Report &report, int areaWidth, int areaHeight,
             const DeviceCodec &codec);

} // namespace RasterCapture
