// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/RasterLayer.h"

#include "map/LayerScript.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/FileReader.h"
#include "core/Ov2Units.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace RasterLayer {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("RasterLayer", text);
}

// A bare file name: no folder part, no way up, nothing the copy could leave by.
bool isBareName(const QString &name)
{
    return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QLatin1String(".."))
           && name != QLatin1String(".") && !name.contains(QChar(0));
}

} // namespace

SatFile parseSat(const QString &path, const QByteArray &bytes, const DeviceCodec &codec)
{
    SatFile sat;
    sat.path = path;
    qsizetype start = 0;
    for (size_t i = 0; i < sat.lines.size() && start < bytes.size(); ++i) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        sat.lines[i] = codec.toUnicode(line).trimmed();
        start = end + 1;
    }
    const QString &first = sat.lines[0];
    if (first.isEmpty())
        throw KorvixError(QCoreApplication::translate("RasterLayer", "The first line is empty: %1").arg(path));
    sat.picture = first.startsWith(u'-') ? QFileInfo(path).completeBaseName() + QStringLiteral(".jpg") : first;
    if (!isBareName(sat.picture))
        throw KorvixError(QCoreApplication::translate("RasterLayer", "The picture %1 is not in the folder of the overlay %2").arg(sat.picture, path));
    return sat;
}

SatFile readSat(const QString &path, const DeviceCodec &codec)
{
    // Nine short lines; only their first 64 KiB are looked at.
    QFile f;
    if (const QString error = FileReader::open(f, path, FileReader::MaxSmallBytes); !error.isEmpty())
        throw KorvixError(error);
    return parseSat(path, f.read(64 * 1024), codec);
}

QString infoHtml(const SatFile &sat)
{
    static const char *const captions[] = {
        QT_TRANSLATE_NOOP("RasterLayer", "Image file name:"), QT_TRANSLATE_NOOP("RasterLayer", "Top:"),
        QT_TRANSLATE_NOOP("RasterLayer", "Left:"), QT_TRANSLATE_NOOP("RasterLayer", "Bottom:"),
        QT_TRANSLATE_NOOP("RasterLayer", "Right:"), QT_TRANSLATE_NOOP("RasterLayer", "Minimum zoom level:"),
        QT_TRANSLATE_NOOP("RasterLayer", "Maximum zoom level:"), QT_TRANSLATE_NOOP("RasterLayer", "Width in pixels:"),
        QT_TRANSLATE_NOOP("RasterLayer", "Height in pixels:")};
    const QString values[] = {sat.picture, sat.lines[2], sat.lines[1], sat.lines[4], sat.lines[3],
                              sat.lines[5], sat.lines[6], sat.lines[7], sat.lines[8]};
    QString html = QStringLiteral("</table><table border='0'><caption><big><b>%1</b></big></caption>")
                       .arg(LayerScript::htmlEscaped(QFileInfo(sat.path).fileName()));
    for (int i = 0; i < 9; ++i)
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(translated(captions[i]), LayerScript::htmlEscaped(values[i]));
    return html + QStringLiteral("</table>");
}

bool copyPicture(const SatFile &sat, const QString &folder)
{
    const QString from = QFileInfo(sat.path).dir().filePath(sat.picture);
    const std::optional<QByteArray> picture = FileReader::read(from, FileReader::MaxPictureBytes);
    if (!picture || !QDir().mkpath(folder))
        return false;
    return AtomicFile::write(QDir(folder).filePath(sat.picture), *picture).isEmpty();
}

} // namespace RasterLayer

void RasterShow::show(const SatFile &sat, bool more, bool reset, IMapCalls &out)
{
    if (reset)
        m_box = MapScript::BoundingRect();
    const auto &l = sat.lines;
    bool plain = true;
    for (int i = 1; i <= 4; ++i)
        plain = plain && MapScript::isPlainDecimal(l[size_t(i)]);
    if (plain) {
        out.send(LayerScript::raster(l[1], l[4], l[3], l[2], sat.picture, RasterLayer::infoHtml(sat)));
        // Corners south-west and north-east, as OV2 units.
        const auto south = toOv2UnitsValue(l[4]), west = toOv2UnitsValue(l[1]);
        const auto north = toOv2UnitsValue(l[2]), east = toOv2UnitsValue(l[3]);
        if (south && west && north && east) {
            m_box.extend(*south, *west);
            m_box.extend(*north, *east);
        }
    }
    if (!more && !m_box.isEmpty())
        out.send(MapScript::bounds(m_box));
}
