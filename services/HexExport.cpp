// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/HexExport.h"

#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "platform/Error.h"
#include "platform/FileReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr int BytesPerLine = 33;

// Reads the input in pieces and hands each to `digits`; the output is replaced only
// when everything was read and written.
QString convert(const QString &input, const std::function<void(ChunkedOut &)> &head,
                const std::function<void(ChunkedOut &, const char *, qsizetype)> &digits,
                const std::function<void(ChunkedOut &)> &tail)
{
    const QString output = HexExport::outputPath(input);
    // Regular files only: a FIFO would block and a device such as /dev/zero never end.
    QFile in;
    if (const QString why = FileReader::open(in, input, FileReader::MaxListBytes); !why.isEmpty()) {
        if (why == FileReader::notRegular(input) || why == FileReader::tooLarge(input))
            throw KorvixError(why);
        const QString named = input + QStringLiteral(": ");
        throw KorvixError(QCoreApplication::translate("HexExport", "Cannot open file \"%1\": %2")
                              .arg(input, why.startsWith(named) ? why.mid(named.size()) : why));
    }
    // A ".txt" input would be its own output and be lost.
    if (QFileInfo(output).absoluteFilePath() == QFileInfo(input).absoluteFilePath()
        || (QFileInfo::exists(output) && QFileInfo(output).canonicalFilePath() == QFileInfo(input).canonicalFilePath()))
        throw KorvixError(QCoreApplication::translate("HexExport", "Cannot create file \"%1\": it is the chosen file itself").arg(output));
    QString readError;
    const QString why = AtomicFile::writeStreamed(output, [&](ChunkedOut &out) {
        head(out);
        char buf[1 << 16];
        qint64 total = 0;
        // The first failed write ends the loop: the rest could never reach the disk.
        while (out.ok()) {
            const qint64 n = in.read(buf, sizeof buf);
            if (n < 0)
                throw KorvixError(QCoreApplication::translate("HexExport", "Cannot read file \"%1\": %2").arg(input, in.errorString()));
            if (n == 0)
                break;
            // A file that keeps growing while it is read is cut off at the cap.
            if ((total += n) > FileReader::MaxListBytes)
                throw KorvixError(FileReader::tooLarge(input));
            digits(out, buf, n);
        }
        if (!out.ok())
            return;
        tail(out);
    });
    if (!why.isEmpty())
        throw KorvixError(QCoreApplication::translate("HexExport", "Cannot create file \"%1\": %2").arg(output, why));
    return output;
}

inline char *putHex(char *p, unsigned char b)
{
    static const char hex[] = "0123456789ABCDEF";
    *p++ = hex[b >> 4];
    *p++ = hex[b & 15];
    return p;
}

void putText(ChunkedOut &out, const QByteArray &text)
{
    char *p = out.take(size_t(text.size()));
    std::copy(text.begin(), text.end(), p);
}
} // namespace

QString HexExport::outputPath(const QString &input)
{
    const QFileInfo info(input);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return QDir(info.path()).filePath(base + QStringLiteral(".txt"));
}

QString HexExport::exeToHex(const QString &input)
{
    return convert(
        input, [](ChunkedOut &) {},
        [](ChunkedOut &out, const char *data, qsizetype n) {
            char *p = out.take(size_t(n) * 2);
            for (qsizetype i = 0; i < n; ++i)
                p = putHex(p, static_cast<unsigned char>(data[i]));
        },
        [](ChunkedOut &) {});
}

QString HexExport::binToHex(const QString &input)
{
    int count = 0; // bytes on the current line
    return convert(
        input,
        [&input](ChunkedOut &out) {
            putText(out, "Const\r\n" + QFileInfo(input).fileName().toUtf8() + " = \r\n  '");
        },
        [&count](ChunkedOut &out, const char *data, qsizetype n) {
            for (qsizetype i = 0; i < n; ++i) {
                char *p = out.take(2);
                putHex(p, static_cast<unsigned char>(data[i]));
                if (++count == BytesPerLine) {
                    putText(out, "'+\r\n  '");
                    count = 0;
                }
            }
        },
        [](ChunkedOut &out) { putText(out, "';"); });
}
