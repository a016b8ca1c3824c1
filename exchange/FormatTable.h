// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The point formats by file kind. exchange() holds the formats of this folder; a
// program that also knows the device's own formats puts them in front with `+`.

#include "exchange/PointFormat.h"

#include <QString>

#include <initializer_list>
#include <vector>

class FormatTable {
public:
    FormatTable(std::initializer_list<const PointFormat *> formats);

    // GPX, KML and CSV.
    static const FormatTable &exchange();

    // This table's formats, then those of `more`.
    FormatTable operator+(const FormatTable &more) const;

    // By the file's suffix, in any case; null for a kind no format knows.
    const PointFormat *forPath(const QString &path) const;
    const PointFormat *forSuffix(QStringView suffix) const;

    // ".ov2, .itn, .gpx, .kml or .csv": the suffixes for a message.
    QString endings() const;

    const std::vector<const PointFormat *> &formats() const { return m_formats; }

private:
    FormatTable() = default;
    std::vector<const PointFormat *> m_formats;
};
