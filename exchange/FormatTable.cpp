// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/FormatTable.h"

#include <QFileInfo>

// Each format lives in a file of its own; a new one is one more line here.
const PointFormat &gpxFormat();
const PointFormat &kmlFormat();
const PointFormat &csvFormat();

const FormatTable &FormatTable::exchange()
{
    static const FormatTable table{
        &gpxFormat(),
        &kmlFormat(),
        &csvFormat(),
    };
    return table;
}

FormatTable::FormatTable(std::initializer_list<const PointFormat *> formats)
    : m_formats(formats)
{
}

FormatTable FormatTable::operator+(const FormatTable &more) const
{
    FormatTable all;
    all.m_formats = m_formats;
    all.m_formats.insert(all.m_formats.end(), more.m_formats.begin(), more.m_formats.end());
    return all;
}

const PointFormat *FormatTable::forSuffix(QStringView suffix) const
{
    for (const PointFormat *f : m_formats)
        for (const QString &s : f->suffixes())
            if (suffix.compare(s, Qt::CaseInsensitive) == 0)
                return f;
    return nullptr;
}

const PointFormat *FormatTable::forPath(const QString &path) const
{
    return forSuffix(QFileInfo(path).suffix());
}

QString FormatTable::endings() const
{
    QStringList all;
    for (const PointFormat *f : m_formats)
        for (const QString &s : f->suffixes())
            all.append(u'.' + s);
    if (all.size() < 2)
        return all.join(QString());
    const QString last = all.takeLast();
    return all.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString PointFormat::read(const QString &, const PointCodecs &, PointSet &) const
{
    return QStringLiteral("Can't read this kind of file");
}

QString PointFormat::write(const QString &, const PointSet &, const PointCodecs &, QStringList &) const
{
    return QStringLiteral("Can't write this kind of file");
}
