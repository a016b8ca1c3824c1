// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2Table.h"

#include "core/CoordinateCells.h"
#include "core/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/Progress.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Writer.h"
#include "poi/PoiDat.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// Cell texts formatted on the stack; the views are valid while their buffer is.
using TextBuffer = char16_t[24];

// "00" .. "99": two digits per division, half the divisions of one at a time.
constexpr std::array<char16_t, 200> kDigitPairs = [] {
    std::array<char16_t, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[size_t(2 * i)] = char16_t(u'0' + i / 10);
        t[size_t(2 * i + 1)] = char16_t(u'0' + i % 10);
    }
    return t;
}();

// Decimal digits written backwards, ending at `end`; returns where they start.
char16_t *putDigits(char16_t *end, quint32 v)
{
    while (v >= 100) {
        const size_t k = size_t(v % 100) * 2;
        v /= 100;
        *--end = kDigitPairs[k + 1];
        *--end = kDigitPairs[k];
    }
    if (v >= 10) {
        *--end = kDigitPairs[size_t(v) * 2 + 1];
        *--end = kDigitPairs[size_t(v) * 2];
    } else {
        *--end = char16_t(u'0' + v);
    }
    return end;
}

QStringView decimal(TextBuffer &buf, qint32 v)
{
    char16_t *const end = buf + std::size(buf);
    char16_t *d = putDigits(end, v < 0 ? 0u - quint32(v) : quint32(v));
    if (v < 0)
        *--d = u'-';
    return QStringView(d, end);
}

// Column 4: optional "*", type, "/", level.
QStringView typeLevel(TextBuffer &buf, const Ov2Poi &p)
{
    char16_t *const end = buf + std::size(buf);
    char16_t *d = putDigits(end, p.level);
    *--d = u'/';
    d = putDigits(d, p.type);
    if (p.flags & Ov2Poi::AfterSkipper)
        *--d = u'*';
    return QStringView(d, end);
}

// Rows straight from the reading pass, packed by the table, numbered as the grid
// numbers them so that it leaves them as they are.
class TableSink : public Ov2PoiSink {
public:
    TableSink(TRBParamsTable &table, const DeviceCodec &codec) : m_table(table), m_codec(codec) {}

    void begin(qint64 count) override
    {
        m_table.SetRowCount(1);
        if (m_table.ColCount() < kPoiColumns)
            m_table.SetColCount(kPoiColumns);
        m_table.Reserve(int(count) + 1);
    }
    void poi(const Ov2Poi &p, QByteArrayView text) override
    {
        TextBuffer number, lon, lat, kind;
        m_desc.resize(0);
        m_codec.appendUnicode(m_desc, text);
        m_table.AppendFields({decimal(number, m_table.RowCount()), decimal(lon, p.lon), decimal(lat, p.lat), QStringView(m_desc),
                              typeLevel(kind, p)});
        ++m_rows;
    }
    void end()
    {
        // A list always keeps one data row.
        if (m_rows == 0)
            m_table.AppendRow();
    }

private:
    TRBParamsTable &m_table;
    const DeviceCodec &m_codec;
    QString m_desc; // reused: no allocation once it has grown
    qint64 m_rows = 0;
};

} // namespace

void fillPoiRows(const Ov2Data &data, TRBParamsTable &table, const DeviceCodec &codec, IProgress *progress)
{
    TableSink sink(table, codec);
    const size_t n = data.pois.size();
    sink.begin(qint64(n));
    if (progress && n > 0)
        progress->ShowProgress(Ov2Texts::reading(), 0, int(n), 0);
    ProgressTicker ticker(progress);
    for (size_t i = 0; i < n; ++i) {
        sink.poi(data.pois[i], data.text(data.pois[i]));
        if ((i & 1023) == 1023)
            ticker.tick(int(i));
    }
    sink.end();
    if (progress && n > 0)
        progress->SetStatus(QString());
}

QString readOv2IntoTable(const QString &path, TRBParamsTable &table, const DeviceCodec &codec, IProgress *progress)
{
    Ov2Data data;
    TableSink sink(table, codec);
    const QString error = readOv2File(path, data, progress, &sink);
    if (!error.isEmpty())
        return error;
    sink.end();
    return {};
}

QString readPoiDatIntoTable(const QString &path, const QString &categoryText, TRBParamsTable &table,
                            const DeviceCodec &codec, IProgress *progress)
{
    Ov2Data data;
    TableSink sink(table, codec);
    const QString error = openPoiDatCategory(path, categoryText, data, progress, &sink);
    if (!error.isEmpty())
        return error;
    sink.end();
    return {};
}

Ov2PointList poiRowsToPoints(const TRBParamsTable &table, const DeviceCodec &codec)
{
    const int rows = table.RowCount();
    Ov2PointList list;
    list.reserve(size_t(std::max(rows - 1, 0)));
    QByteArray desc;
    for (int r = 1; r < rows; ++r) {
        const TRBParams &row = table.Row(r);
        const QStringView text = row.FieldView(3);
        // Row indexes are the numbers the grid shows, so the message points at the row.
        const auto at = CoordinateCells::rowPosition(r, row.FieldView(1), row.FieldView(2), text.isEmpty());
        if (!at)
            continue;
        desc.resize(0);
        codec.appendBytes(desc, text);
        list.add(at->lon, at->lat, desc);
    }
    if (list.empty())
        throw KorvixError(QCoreApplication::translate("Ov2", "There is no POI to save"));
    return list;
}

void SaveOV2(const QString &fileName, const TRBParamsTable &table, const DeviceCodec &codec, IProgress *progress)
{
    SaveOV2(fileName, poiRowsToPoints(table, codec), progress);
}
