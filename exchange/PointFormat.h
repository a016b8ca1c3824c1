// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One file kind that carries points between programs, behind one small interface: a
// reader and/or a writer that give the result or a precise error text. The table in
// FormatTable.h finds a file's format by its suffix; windows only show the error.

#include "core/GeoPoint.h"

#include <QString>
#include <QStringList>

#include <vector>

class DeviceCodec;

// What a file holds. A route (an itinerary, a GPX route or track, a KML line) stays a
// route through a conversion; anything else is a list of points.
struct PointSet {
    std::vector<GeoPoint> points;
    bool route = false;
    QString title;
};

// The code pages of texts: `device` for the device's own files, `text` for CSV.
struct PointCodecs {
    const DeviceCodec &device;
    const DeviceCodec &text;
};

class PointFormat {
public:
    virtual ~PointFormat() = default;

    // Lower case, without the dot.
    virtual QStringList suffixes() const = 0;
    virtual bool canRead() const = 0;
    virtual bool canWrite() const = 0;

    // Empty on success; otherwise the reason, with the file's name where the reader
    // puts it in its own words (`out` then holds no result to use).
    virtual QString read(const QString &path, const PointCodecs &codecs, PointSet &out) const;
    // Empty on success, the files written appended to `written` (a long itinerary is
    // split into several); otherwise the reason, and the old file is left as it was.
    virtual QString write(const QString &path, const PointSet &in, const PointCodecs &codecs,
                          QStringList &written) const;
};
