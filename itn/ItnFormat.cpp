// SPDX-License-Identifier: GPL-3.0-or-later
#include "itn/ItnFormat.h"

#include "core/CoordinateCells.h"
#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/Progress.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <optional>

#include <cmath>
#include <limits>

namespace Itn {

QStringList splitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.sliced(start, i - start).toString());
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.sliced(start).toString());
    return lines;
}

namespace {
const TRBCharSet &barSet()
{
    static const TRBCharSet s{'|'};
    return s;
}
} // namespace

QStringList lineFields(QStringView line)
{
    TRBParams p;
    p.ParseFields(line, 0, barSet(), RBConventions::doubleQuote(), RBConventions::blankSet());
    return {p.GetField(0), p.GetField(1), p.GetField(2), p.GetField(3)};
}

TRBParams rowFromLine(QStringView line)
{
    TRBParams fields;
    fields.ParseFields(line, 0, barSet(), RBConventions::doubleQuote(), RBConventions::blankSet());
    TRBParams row;
    row.Append(QString());
    for (int c = 1; c <= 4; ++c) {
        const QStringView v = fields.FieldView(c - 1);
        if (row.FieldView(c) != v) // SetCell stores only what changes the cell
            row.SetField(c, v.toString());
    }
    return row;
}

bool rowHasPoint(const TRBParams &row)
{
    for (int c = 1; c <= 4; ++c)
        if (!row.FieldView(c).isEmpty())
            return true;
    return false;
}

QString lineOf(const TRBParams &row)
{
    return row.JoinFields(1, u'|', QString()) + QStringLiteral("|\r\n");
}

std::vector<TRBParams> readRows(QByteArrayView bytes, const DeviceCodec &codec)
{
    const QStringList lines = splitLines(codec.toUnicode(bytes));
    std::vector<TRBParams> rows;
    rows.reserve(size_t(lines.size()));
    for (const QString &l : lines)
        rows.push_back(rowFromLine(l));
    return rows;
}

QByteArray readInputFile(const QString &path, qint64 maxBytes)
{
    // Regular files only, opened without blocking: a FIFO or a device is refused at once.
    QString why;
    std::optional<QByteArray> bytes = FileReader::read(path, maxBytes, &why);
    if (bytes)
        return std::move(*bytes);
    if (why == FileReader::notRegular(path) || why == FileReader::tooLarge(path))
        throw KorvixError(why);
    const QString prefix = path + QStringLiteral(": ");
    throw KorvixError(QCoreApplication::translate("Itn", "Cannot open file \"%1\". %2")
                          .arg(path, why.startsWith(prefix) ? why.mid(prefix.size()) : why));
}

std::vector<TRBParams> readFile(const QString &path, const DeviceCodec &codec)
{
    return readRows(readInputFile(path), codec);
}

namespace {
// Position of the extension's dot in the file-name part, or -1.
qsizetype extensionDot(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > slash ? dot : -1;
}

QString withoutExtension(const QString &path)
{
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? path : path.left(dot);
}
} // namespace

QString singleFileName(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (path.mid(slash + 1) == QLatin1String("temporary.iti"))
        return path;
    return withoutExtension(path) + QStringLiteral(".itn");
}

QString splitFileName(const QString &path, int n)
{
    if (n == 0)
        return path;
    return withoutExtension(path) + QString::number(n).rightJustified(2, u'0') + QStringLiteral(".itn");
}

std::vector<SaveFile> planSave(const QString &path, int points, bool split)
{
    if (!split)
        return {SaveFile{singleFileName(path), 0, points}};
    std::vector<SaveFile> files;
    int first = 0;
    do {
        const int count = std::min(MaxPoints, points - first);
        files.push_back(SaveFile{splitFileName(path, int(files.size())), first, count});
        first += count;
    } while (first < points);
    return files;
}

std::vector<int> pointRows(const TRBParamsTable &rows)
{
    std::vector<int> out;
    for (int r = 1; r < rows.RowCount(); ++r) {
        const TRBParams &row = rows.Row(r);
        if (!rowHasPoint(row))
            continue;
        // The device reads the fields as whole numbers: anything else would drive it
        // to a point nobody chose. The texts themselves are written as they stand.
        CoordinateCells::rowPosition(r, row.FieldView(1), row.FieldView(2), false);
        out.push_back(r);
    }
    return out;
}

QStringList writeRows(const QString &path, const TRBParamsTable &rows, bool split,
                      const DeviceCodec &codec, IProgress *progress)
{
    const std::vector<int> points = pointRows(rows);
    const std::vector<SaveFile> files = planSave(path, int(points.size()), split);
    if (progress)
        progress->ShowProgress(split ? QCoreApplication::translate("Itn", "SaveItnSplit") : QCoreApplication::translate("Itn", "SaveItn"), 0,
                               std::max(1, rows.RowCount() - 1), 0);
    ProgressTicker ticker(progress);
    const auto fail = [&](const QString &text) {
        if (progress)
            progress->SetStatus(QString());
        return KorvixError(text);
    };
    const auto cannotCreate = [&](const QString &file, const QString &why) {
        return fail(QCoreApplication::translate("Itn", "Cannot create file \"%1\". %2").arg(file, why));
    };
    // Every part is written and synced first; then the new set replaces the old one as a
    // whole, its higher-numbered parts included, so a failed save never mixes two sets.
    std::vector<std::unique_ptr<AtomicFile::Pending>> parts;
    QStringList written;
    for (const SaveFile &f : files) {
        QByteArray bytes;
        bytes.reserve(f.count * 40);
        for (int i = f.first; i < f.first + f.count; ++i) {
            const int r = points[size_t(i)];
            codec.appendBytes(bytes, lineOf(rows.Row(r)));
            ticker.tick(r);
        }
        auto part = std::make_unique<AtomicFile::Pending>(f.path);
        if (const QString why = part->open(); !why.isEmpty())
            throw cannotCreate(f.path, why);
        if (!part->put(bytes.constData(), bytes.size()))
            throw cannotCreate(f.path, part->error());
        // Synced and closed at once: a set of hundreds of parts must not hold a descriptor each.
        if (const QString why = part->finish(); !why.isEmpty())
            throw cannotCreate(f.path, why);
        parts.push_back(std::move(part));
        written.append(f.path);
    }
    QStringList obsolete;
    if (split)
        for (int n = int(files.size()); n < 1000; ++n)
            if (const QString old = splitFileName(path, n); QFileInfo::exists(old))
                obsolete.append(old);
    std::vector<AtomicFile::Pending *> pending;
    for (const auto &p : parts)
        pending.push_back(p.get());
    if (const QString why = AtomicFile::replaceAll(pending, obsolete); !why.isEmpty())
        throw fail(QCoreApplication::translate("Itn", "Cannot save the itinerary. %1").arg(why));
    if (progress)
        progress->SetStatus(QString());
    return written;
}

qint64 cellInteger(QStringView text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

QString trimName(QStringView text)
{
    qsizetype a = 0, b = text.size();
    while (a < b && text[a].unicode() <= 32)
        ++a;
    while (b > a && text[b - 1].unicode() <= 32)
        --b;
    return text.sliced(a, b - a).toString();
}

PointCells pointCells(QStringView lon, QStringView lat, QStringView name)
{
    return {QString::number(degreesToUnits(lon)), QString::number(degreesToUnits(lat)), trimName(name),
            QStringLiteral("0")};
}

} // namespace Itn
