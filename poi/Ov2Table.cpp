#include "poi/Ov2Table.h"

#include "grid/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/Progress.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Units.h"
#include "poi/Ov2Writer.h"
#include "poi/PoiDat.h"

#include <QCoreApplication>

namespace {

// Decimal digits into a reused buffer: no allocation once it has grown.
void setNumber(QString &s, qint64 v)
{
    char16_t buf[24];
    int n = 0;
    const bool negative = v < 0;
    quint64 a = negative ? quint64(0) - quint64(v) : quint64(v);
    do {
        buf[n++] = char16_t(u'0' + a % 10);
        a /= 10;
    } while (a);
    if (negative)
        buf[n++] = u'-';
    s.resize(n);
    char16_t *d = reinterpret_cast<char16_t *>(s.data());
    for (int i = 0; i < n; ++i)
        d[i] = buf[n - 1 - i];
}

void setTypeLevel(QString &s, const Ov2Poi &p)
{
    s.resize(0);
    if (p.flags & Ov2Poi::AfterSkipper)
        s.append(u'*');
    char16_t buf[24];
    auto put = [&](quint32 v) {
        int n = 0;
        do {
            buf[n++] = char16_t(u'0' + v % 10);
            v /= 10;
        } while (v);
        while (n)
            s.append(QChar(buf[--n]));
    };
    put(p.type);
    s.append(u'/');
    put(p.level);
}

// Rows straight from the reading pass, packed by the table; buffers reused.
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
        setNumber(m_lon, p.lon);
        setNumber(m_lat, p.lat);
        m_desc.resize(0);
        m_codec.appendUnicode(m_desc, text);
        setTypeLevel(m_typeLevel, p);
        m_table.AppendFields({QStringView(), QStringView(m_lon), QStringView(m_lat), QStringView(m_desc),
                              QStringView(m_typeLevel)});
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
    QString m_lon, m_lat, m_desc, m_typeLevel;
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
    if (rows < 2 || !parseOv2Integer(table.Row(1).FieldView(1)) || !parseOv2Integer(table.Row(1).FieldView(2)))
        throw KorvixError(QCoreApplication::translate("Ov2", "Row 1 has no valid coordinates"));
    Ov2PointList list;
    list.reserve(size_t(rows - 1));
    QByteArray desc;
    for (int r = 1; r < rows; ++r) {
        const TRBParams &row = table.Row(r);
        desc.resize(0);
        codec.appendBytes(desc, row.FieldView(3));
        list.add(parseOv2Integer(row.FieldView(1)).value_or(0), parseOv2Integer(row.FieldView(2)).value_or(0), desc);
    }
    return list;
}

void SaveOV2(const QString &fileName, const TRBParamsTable &table, const DeviceCodec &codec, IProgress *progress)
{
    SaveOV2(fileName, poiRowsToPoints(table, codec), progress);
}
