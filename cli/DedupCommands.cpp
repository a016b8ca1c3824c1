// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli dedup FILE.ov2 METRES: the POI editor's duplicate marks from the
// command line.
#include "cli/Commands.h"

#include "core/RBParamsTable.h"
#include "platform/DeviceCodec.h"
#include "core/Duplicates.h"
#include "poi/Ov2Reader.h"
#include "poi/Ov2Table.h"

#include <QElapsedTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

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

// The search's position on standard error: asked for with --progress, or by itself
// on a terminal once the search has run a second. A new percent at most every 30 ms;
// a terminal sees one line rewritten, anything else one line per report.
class SearchProgress {
public:
    SearchProgress(bool asked, int rows)
        : m_asked(asked), m_terminal(isatty(2) != 0), m_rows(std::max(rows, 1))
    {
        m_clock.start();
    }
    void at(int row)
    {
        if (!m_shown && !m_asked && !(m_terminal && m_clock.elapsed() >= 1000))
            return;
        const int percent = int(qint64(row) * 100 / m_rows);
        if (percent == m_percent || (m_shown && m_clock.elapsed() - m_last < 30))
            return;
        show(percent);
    }
    void done()
    {
        if (m_shown || m_asked)
            show(100);
        if (m_shown && m_terminal)
            std::fputc('\n', stderr);
    }

private:
    void show(int percent)
    {
        std::fprintf(stderr, m_terminal ? "\rFind Duplicates: %d%%" : "Find Duplicates: %d%%\n", percent);
        std::fflush(stderr);
        m_shown = true;
        m_percent = percent;
        m_last = m_clock.elapsed();
    }
    bool m_asked, m_terminal;
    int m_rows;
    bool m_shown = false;
    int m_percent = -1;
    qint64 m_last = 0;
    QElapsedTimer m_clock;
};

int dedup(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QStringList rest = args;
    const bool progress = rest.removeAll(QStringLiteral("--progress")) > 0;
    // Whole metres as the setting holds them; a negative distance is a slip.
    bool ok = false;
    const int metres = rest.value(1).toInt(&ok);
    if (rest.size() != 2 || !ok || metres < 0) {
        err << "usage: korvix-cli dedup [--progress] FILE.ov2 METRES   (METRES: a whole number, 0 or more)\n";
        return 2;
    }
    const QString &file = rest[0];
    TRBParamsTable table;
    table.SetColCount(kPoiColumns);
    table.SetRowCount(1);
    if (const QString error = readOv2IntoTable(file, table, DeviceCodec::fromSettings()); !error.isEmpty())
        return fileError(err, file, withOpenFailure(error, Ov2Texts::cantOpen(), file));
    SearchProgress shown(progress, table.RowCount() - 1);
    const DuplicateResult result = findDuplicates(poiRowPoints(table), double(metres), [&](int row) {
        shown.at(row);
        return false;
    });
    shown.done();
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
    if (std::fwrite(text.constData(), 1, size_t(text.size()), stdout) != size_t(text.size()) || std::fflush(stdout) != 0) {
        err << "standard output: " << QString::fromLocal8Bit(std::strerror(errno)) << '\n';
        return 1;
    }
    return 0;
}

const CliRegistrar registrar({QStringLiteral("dedup"),
                              QStringLiteral("[--progress] FILE.ov2 METRES: flags and column 4 after the duplicate search"),
                              &dedup});

} // namespace
