// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ClrFile.h"

#include "core/RBParams.h"
#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/DeviceCodec.h"
#include "platform/DeviceFiles.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <cstdio>
#include <optional>

namespace {

// One source for the entry texts: the grid, the comments and the translation.
const std::array<const char *, Clr::EntryCount> Descriptions = {
    QT_TRANSLATE_NOOP("Clr", "background"),
    QT_TRANSLATE_NOOP("Clr", "built-up area (city)"),
    QT_TRANSLATE_NOOP("Clr", "water solid"),
    QT_TRANSLATE_NOOP("Clr", "park"),
    QT_TRANSLATE_NOOP("Clr", "woodland"),
    QT_TRANSLATE_NOOP("Clr", "beach/dune/sand"),
    QT_TRANSLATE_NOOP("Clr", "industrial zone"),
    QT_TRANSLATE_NOOP("Clr", "harbor/marina"),
    QT_TRANSLATE_NOOP("Clr", "moor/heath"),
    QT_TRANSLATE_NOOP("Clr", "marsh"),
    QT_TRANSLATE_NOOP("Clr", "pedestrian zone"),
    QT_TRANSLATE_NOOP("Clr", "airport"),
    QT_TRANSLATE_NOOP("Clr", "runway"),
    QT_TRANSLATE_NOOP("Clr", "route background ('below' the road)"),
    QT_TRANSLATE_NOOP("Clr", "route foreground (on top of the road)"),
    QT_TRANSLATE_NOOP("Clr", "blocked road (dotted on top of any road)"),
    QT_TRANSLATE_NOOP("Clr", "traffic jam (dotted on top of any road)"),
    QT_TRANSLATE_NOOP("Clr", "highlighted / selected (line on top of any road)"),
    QT_TRANSLATE_NOOP("Clr", "unreachable / not allowed to drive (dotted on top of any road)"),
    QT_TRANSLATE_NOOP("Clr", "motorway solid"),
    QT_TRANSLATE_NOOP("Clr", "motorway edge"),
    QT_TRANSLATE_NOOP("Clr", "motorway inside"),
    QT_TRANSLATE_NOOP("Clr", "motorway text"),
    QT_TRANSLATE_NOOP("Clr", "major/international road solid"),
    QT_TRANSLATE_NOOP("Clr", "major/international road edge"),
    QT_TRANSLATE_NOOP("Clr", "international road inside"),
    QT_TRANSLATE_NOOP("Clr", "major road inside"),
    QT_TRANSLATE_NOOP("Clr", "major road text"),
    QT_TRANSLATE_NOOP("Clr", "secondary road small"),
    QT_TRANSLATE_NOOP("Clr", "secondary road solid"),
    QT_TRANSLATE_NOOP("Clr", "secondary road edge"),
    QT_TRANSLATE_NOOP("Clr", "secondary road inside"),
    QT_TRANSLATE_NOOP("Clr", "secondary road text"),
    QT_TRANSLATE_NOOP("Clr", "connecting road small"),
    QT_TRANSLATE_NOOP("Clr", "connecting road solid"),
    QT_TRANSLATE_NOOP("Clr", "connecting road edge"),
    QT_TRANSLATE_NOOP("Clr", "connecting road inside"),
    QT_TRANSLATE_NOOP("Clr", "connecting road text"),
    QT_TRANSLATE_NOOP("Clr", "(major)local road small"),
    QT_TRANSLATE_NOOP("Clr", "major local road solid"),
    QT_TRANSLATE_NOOP("Clr", "local road solid"),
    QT_TRANSLATE_NOOP("Clr", "local/destination road edge"),
    QT_TRANSLATE_NOOP("Clr", "local/destination road inside"),
    QT_TRANSLATE_NOOP("Clr", "local road text"),
    QT_TRANSLATE_NOOP("Clr", "destination road solid"),
    QT_TRANSLATE_NOOP("Clr", "destination road text"),
    QT_TRANSLATE_NOOP("Clr", "ferry background"),
    QT_TRANSLATE_NOOP("Clr", "ferry dots"),
    QT_TRANSLATE_NOOP("Clr", "ferry text"),
    QT_TRANSLATE_NOOP("Clr", "railroad dashed A"),
    QT_TRANSLATE_NOOP("Clr", "railroad dashed B"),
    QT_TRANSLATE_NOOP("Clr", "water edge outlines"),
    QT_TRANSLATE_NOOP("Clr", "borders (dot-dash)"),
    QT_TRANSLATE_NOOP("Clr", "arrows (road direction)"),
    QT_TRANSLATE_NOOP("Clr", "arrows border (road direction)"),
    QT_TRANSLATE_NOOP("Clr", "Route indication arrow color, normal"),
    QT_TRANSLATE_NOOP("Clr", "Route indication arrow color, highlighted"),
    QT_TRANSLATE_NOOP("Clr", "Tollroad edge color"),
    QT_TRANSLATE_NOOP("Clr", "Tollroad inside color"),
    QT_TRANSLATE_NOOP("Clr", "NavView: status/safeview panel background (default:dark blue)"),
    QT_TRANSLATE_NOOP("Clr", "NavView: status/safeview panel borders (default:blue)"),
    QT_TRANSLATE_NOOP("Clr", "NavView: status/safeview panel text (default:white)"),
    QT_TRANSLATE_NOOP("Clr", "NavView: status/safeview panel dim text (default:lightblue)"),
    QT_TRANSLATE_NOOP("Clr", "NavView: next highway background"),
    QT_TRANSLATE_NOOP("Clr", "NavView: next highway border"),
    QT_TRANSLATE_NOOP("Clr", "NavView: next highway text"),
    QT_TRANSLATE_NOOP("Clr", "NavView: next highway EXIT background"),
    QT_TRANSLATE_NOOP("Clr", "NavView: next highway EXIT border"),
    QT_TRANSLATE_NOOP("Clr", "NavView: next highway EXIT text"),
    QT_TRANSLATE_NOOP("Clr", "NavView: routeplanning progressbar color"),
    QT_TRANSLATE_NOOP("Clr", "Distant route color"),
};

const char *Context = "Clr";

// Blanks and control characters, as a text line is trimmed.
QStringView trimmedLine(QStringView s)
{
    qsizetype a = 0, b = s.size();
    while (a < b && s[a].unicode() <= ' ')
        ++a;
    while (b > a && s[b - 1].unicode() <= ' ')
        --b;
    return s.mid(a, b - a);
}

// A field as the file's integers are written: optional sign, then decimal digits or
// hexadecimal ones after "$" or "0x".
std::optional<qint64> toInteger(QStringView field)
{
    QStringView t = field;
    bool negative = false;
    if (!t.isEmpty() && (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+'))) {
        negative = t[0] == QLatin1Char('-');
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t = t.mid(1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty())
        return std::nullopt;
    quint64 v = 0;
    for (QChar c : t) {
        const char16_t u = c.unicode();
        int d = -1;
        if (u >= '0' && u <= '9')
            d = u - '0';
        else if (base == 16 && u >= 'a' && u <= 'f')
            d = u - 'a' + 10;
        else if (base == 16 && u >= 'A' && u <= 'F')
            d = u - 'A' + 10;
        if (d < 0)
            return std::nullopt;
        v = v * quint64(base) + quint64(d);
        if (v > quint64(0xFFFFFFFF))
            return std::nullopt; // beyond what a 32-bit colour field can mean
    }
    const qint64 s = qint64(v);
    return negative ? -s : s;
}

QString notAnInteger(QStringView text)
{
    return QCoreApplication::translate(Context, "'%1' is not a valid integer value").arg(text);
}

} // namespace

const char *Clr::sourceDescription(int entry)
{
    return entry >= 1 && entry <= EntryCount ? Descriptions[size_t(entry - 1)] : "";
}

QString Clr::description(int entry)
{
    if (entry < 1 || entry > EntryCount)
        return QString();
    return QCoreApplication::translate(Context, Descriptions[size_t(entry - 1)]);
}

QString Clr::colorCell(quint32 color)
{
    return QLatin1Char('$') + QStringLiteral("%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

quint32 Clr::cellColor(QStringView cell)
{
    const auto v = toInteger(trimmedLine(cell));
    return v ? quint32(*v) : 0;
}

Clr::ReadResult Clr::readText(const QByteArray &data)
{
    return readText(data, DeviceCodec::fromSettings());
}

Clr::ReadResult Clr::readText(const QByteArray &data, const DeviceCodec &codec)
{
    ReadResult r;
    const QString text = codec.toUnicode(data);
    const TRBCharSet blank = RBConventions::blankSet();
    TRBParams lines;
    lines.SplitText(text, u"\r\n", blank);
    // A file saved with bare line feeds would otherwise be one entry, and the next save
    // would drop the rest of the scheme.
    if (lines.Count() == 1)
        lines.SplitText(text, u"\n", blank);
    TRBParams fields;
    for (int i = 0; i < lines.Count(); ++i) {
        QStringView line = trimmedLine(lines.FieldView(i));
        if (line.isEmpty() || line[0] == QLatin1Char(';'))
            continue;
        if (const qsizetype comment = line.indexOf(QLatin1String("//")); comment >= 0)
            line = line.left(comment);
        fields.ParseFields(line, 0, TRBCharSet{','}, RBConventions::doubleQuote(), blank);
        qint64 c[3];
        for (int k = 0; k < 3; ++k) {
            const auto v = toInteger(fields.FieldView(k));
            if (!v) {
                r.error = notAnInteger(fields.FieldView(k));
                return r;
            }
            c[k] = *v;
        }
        // Components beyond 0..255 spill into the next ones, as the sum says.
        r.colors.push_back(quint32(quint64(c[0] + 256 * c[1] + 65536 * c[2])));
    }
    return r;
}

Clr::ReadResult Clr::readFile(const QString &path)
{
    ReadResult r;
    const QFileInfo info(path);
    if (!info.exists()) {
        r.error = QCoreApplication::translate(Context, "Cannot open file \"%1\". No such file or directory").arg(path);
        return r;
    }
    QString why;
    const auto data = FileReader::read(path, MaxFileBytes, &why);
    if (!data) {
        // A FIFO, a device or an outsized file says so; anything else gets the system's
        // reason from the caller.
        r.error = why == FileReader::notRegular(path) || why == FileReader::tooLarge(path)
                      ? why
                      : QCoreApplication::translate(Context, "Cannot open file \"%1\"").arg(path);
        return r;
    }
    return readText(*data);
}

QRgb Clr::systemColor(int index)
{
    const QPalette pal = qGuiApp ? QGuiApplication::palette() : QPalette(Qt::lightGray);
    using R = QPalette::ColorRole;
    struct Entry {
        QPalette::ColorGroup group;
        R role;
    };
    constexpr auto A = QPalette::Active, I = QPalette::Inactive, D = QPalette::Disabled;
    // The classic desktop colour indexes in order; 25 has no colour.
    static const std::array<std::optional<Entry>, 31> table = {{
        Entry{A, R::Button},          Entry{A, R::Dark},        Entry{A, R::Highlight},
        Entry{I, R::Highlight},       Entry{A, R::Window},      Entry{A, R::Base},
        Entry{A, R::Shadow},          Entry{A, R::WindowText},  Entry{A, R::Text},
        Entry{A, R::HighlightedText}, Entry{A, R::Button},      Entry{I, R::Button},
        Entry{A, R::Mid},             Entry{A, R::Highlight},   Entry{A, R::HighlightedText},
        Entry{A, R::Button},          Entry{A, R::Dark},        Entry{D, R::Text},
        Entry{A, R::ButtonText},      Entry{I, R::HighlightedText}, Entry{A, R::Light},
        Entry{A, R::Shadow},          Entry{A, R::Midlight},    Entry{A, R::ToolTipText},
        Entry{A, R::ToolTipBase},     std::nullopt,             Entry{A, R::Link},
        Entry{A, R::Highlight},       Entry{I, R::Highlight},   Entry{A, R::Highlight},
        Entry{A, R::Window},
    }};
    if (index < 0 || index >= int(table.size()) || !table[size_t(index)])
        return qRgb(0, 0, 0);
    return pal.color(table[size_t(index)]->group, table[size_t(index)]->role).rgb();
}

quint32 Clr::resolveColor(quint32 number)
{
    if (!(number & 0x80000000u))
        return number;
    const QRgb c = systemColor(int(number & 0xFF));
    return quint32(qRed(c)) | (quint32(qGreen(c)) << 8) | (quint32(qBlue(c)) << 16);
}

QList<Clr::Row> Clr::rowsFor(const std::vector<quint32> &colors)
{
    QList<Row> rows;
    rows.reserve(qsizetype(colors.size()));
    for (size_t i = 0; i < colors.size(); ++i)
        rows.append({colorCell(colors[i]), description(int(i) + 1)});
    return rows;
}

QList<Clr::Row> Clr::newRows()
{
    return rowsFor(std::vector<quint32>(EntryCount, 0));
}

QByteArray Clr::writeText(const QList<Row> &rows)
{
    const DeviceCodec codec = DeviceCodec::fromSettings();
    QByteArray out;
    out.reserve(rows.size() * 48);
    for (const Row &row : rows) {
        const quint32 c = resolveColor(cellColor(row.cell));
        char line[16];
        std::snprintf(line, sizeof line, "%3.3d,%3.3d,%3.3d // ", int(c & 0xFF), int((c >> 8) & 0xFF),
                      int((c >> 16) & 0xFF));
        out += line;
        codec.appendBytes(out, row.description);
        out += "\r\n";
    }
    return out;
}

QString Clr::clrPath(const QString &path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    // ".CLR" already is the extension on the device's file system: the same file.
    if (suffix.compare(QLatin1String("clr"), Qt::CaseInsensitive) == 0)
        return path;
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    return stem + QStringLiteral(".clr");
}

QString Clr::writeFile(const QString &path, const QList<Row> &rows)
{
    return AtomicFile::write(clrPath(path), writeText(rows));
}
