// SPDX-License-Identifier: GPL-3.0-or-later
// Our own CSV in the format table: longitude, latitude (1/100000 degree) and the
// description, which may be quoted. UTF-8 CSV has LF line ends, as desktop tools read
// it; a code page the device's CR LF.
#include "core/Ov2Units.h"
#include "exchange/PoiTextExport.h"
#include "exchange/PointFormat.h"
#include "platform/AtomicFile.h"
#include "platform/DeviceCodec.h"
#include "platform/FileReader.h"

namespace {

class CsvFormat final : public PointFormat {
public:
    QStringList suffixes() const override { return {QStringLiteral("csv")}; }
    bool canRead() const override { return true; }
    bool canWrite() const override { return true; }

    QString read(const QString &path, const PointCodecs &codecs, PointSet &out) const override
    {
        QString error;
        const std::optional<QByteArray> bytes = FileReader::read(path, FileReader::MaxRowsBytes, &error);
        if (!bytes)
            return error;
        int lineNumber = 0;
        for (QByteArrayView line : bytes->split('\n')) {
            ++lineNumber;
            if (line.endsWith('\r'))
                line.chop(1);
            if (line.trimmed().isEmpty())
                continue;
            const qsizetype c1 = line.indexOf(',');
            const qsizetype c2 = c1 < 0 ? -1 : line.indexOf(',', c1 + 1);
            const auto lon = parseOv2Integer(c1 < 0 ? line : line.first(c1));
            const auto lat = c1 < 0 ? std::nullopt
                                    : parseOv2Integer(line.sliced(c1 + 1, (c2 < 0 ? line.size() : c2) - c1 - 1));
            if (!lon || !lat)
                return QStringLiteral("line %1: not a longitude and latitude in 1/100000 degree").arg(lineNumber);
            QByteArrayView desc = c2 < 0 ? QByteArrayView() : line.sliced(c2 + 1);
            if (desc.size() >= 2 && desc.front() == '"' && desc.back() == '"')
                desc = desc.sliced(1, desc.size() - 2);
            out.points.push_back({*lon, *lat, codecs.text.toUnicode(desc)});
        }
        return {};
    }

    QString write(const QString &path, const PointSet &in, const PointCodecs &codecs, QStringList &written) const override
    {
        QByteArray text = poiTextExport(in.points, PoiTextFormat::PlainCsv, codecs.text);
        if (!codecs.text.isSingleByte())
            text.replace("\r\n", "\n");
        if (QString why = AtomicFile::write(path, text); !why.isEmpty())
            return why;
        written.append(path);
        return {};
    }
};

} // namespace

const PointFormat &csvFormat()
{
    static const CsvFormat format;
    return format;
}
