// korvix-cli dedup FILE.ov2 METRES: the POI editor's duplicate marks from the
// command line.
#include "cli/Commands.h"

#include "grid/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "poi/Duplicates.h"
#include "poi/Ov2Table.h"

#include <cstdio>

namespace {

// As "ov2 dump" escapes a text.
void appendEscaped(QByteArray &out, QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\': out.append("\\\\"); continue;
        case u'\t': out.append("\\t"); continue;
        case u'\r': out.append("\\r"); continue;
        case u'\n': out.append("\\n"); continue;
        default: break;
        }
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            out.append("\\x").append(QByteArray::number(int(u), 16).toUpper().rightJustified(2, '0'));
        else
            out.append(QString(c).toUtf8());
    }
}

int dedup(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool ok = false;
    const int metres = args.value(1).toInt(&ok);
    if (args.size() != 2 || !ok) {
        err << "usage: korvix-cli dedup FILE.ov2 METRES\n";
        return 2;
    }
    TRBParamsTable table;
    table.SetColCount(kPoiColumns);
    table.SetRowCount(1);
    const QString error = readOv2IntoTable(args[0], table, DeviceCodec::fromSettings());
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
    const DuplicateResult result = findDuplicates(poiRowPoints(table), double(metres));
    clearPaletteBits(table);
    applyDuplicateMarks(table, result);

    QByteArray text;
    text.reserve(qsizetype(table.RowCount()) * 24);
    for (int row = 1; row < table.RowCount(); ++row) {
        text.append(QByteArray::number(row)).append('\t');
        text.append(QByteArray::number(table.Flags(1, row) & 0xFF, 16).toUpper().rightJustified(2, '0')).append('\t');
        appendEscaped(text, table.Row(row).FieldView(4));
        text.append('\n');
    }
    out.flush();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    return 0;
}

const CliRegistrar registrar({QStringLiteral("dedup"),
                              QStringLiteral("FILE.ov2 METRES: flags and column 4 after the duplicate search"),
                              &dedup});

} // namespace
