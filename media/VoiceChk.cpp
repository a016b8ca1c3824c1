// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VoiceChk.h"

#include "media/VoiceTables.h"
#include "platform/AtomicFile.h"
#include "platform/FileReader.h"
#include "platform/Error.h"
#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace VoiceChk {

// The context of this file's texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(VoiceChk)
};

namespace {


bool readWords(QIODevice &in, quint32 *words, int count)
{
    const qint64 bytes = qint64(count) * 4;
    if (in.read(reinterpret_cast<char *>(words), bytes) != bytes)
        return false;
    for (int i = 0; i < count; ++i)
        words[i] = qFromBigEndian(words[i]);
    return true;
}

void putWord(char *at, quint32 value)
{
    qToBigEndian(value, at);
}

} // namespace

std::vector<quint32> GetCHKHeader(QIODevice &in)
{
    quint32 first[2];
    if (!in.seek(0) || !readWords(in, first, 2))
        return {};
    const quint32 n = first[0];
    if (n >= 200 || first[1] != (n + 2) * 4)
        return {};
    std::vector<quint32> header(n + 2);
    header[0] = n;
    header[1] = first[1];
    if (n > 0 && !readWords(in, header.data() + 2, int(n)))
        return {};
    if (qint64(header[n + 1]) != in.size())
        return {};
    return header;
}

bool GetOgg(QIODevice &in, const std::vector<quint32> &header, int k, QByteArray &ogg, QString *why)
{
    auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    const int n = header.empty() ? 0 : int(header[0]);
    if (k < 1 || k > n || header.size() < size_t(n) + 2)
        return fail(Texts::tr("no such phrase"));
    const quint32 start = header[size_t(k)], end = header[size_t(k) + 1];
    if (start >= end)
        return fail(Texts::tr("its offsets are out of order"));
    const quint32 room = end - start;
    uchar record[RecordHeaderBytes];
    if (qint64(start) + RecordHeaderBytes > in.size() || !in.seek(start)
        || in.read(reinterpret_cast<char *>(record), RecordHeaderBytes) != RecordHeaderBytes)
        return fail(Texts::tr("its record lies past the end of the file"));
    const quint32 lengthField = qFromBigEndian<quint16>(record + 2);
    const quint32 one = qFromBigEndian<quint32>(record + 4), eight = qFromBigEndian<quint32>(record + 8);
    const quint32 length = qFromBigEndian<quint32>(record + 12);
    if (one != 1 || eight != 8)
        return fail(Texts::tr("its record does not start with the words 1 and 8"));
    if (quint64(lengthField) * 4 <= length)
        return fail(Texts::tr("its length field is smaller than its data"));
    // The data and the record header must both fit between this offset and the next.
    if (quint64(length) + RecordHeaderBytes > room)
        return fail(Texts::tr("its data run past its record"));
    QByteArray data(qsizetype(length), Qt::Uninitialized);
    if (in.read(data.data(), length) != qint64(length))
        return fail(Texts::tr("its data run past the end of the file"));
    ogg = std::move(data);
    return true;
}

QByteArray BuildChk(const std::vector<QByteArray> &phrases)
{
    const int n = int(phrases.size());
    qint64 total = qint64(n + 2) * 4;
    for (int k = 1; k <= n; ++k) {
        const qint64 size = phrases[size_t(k - 1)].size();
        if (size > MaxOggBytes)
            throw KorvixError(phraseTooLong(k, size));
        total += (RecordHeaderBytes + size + 3) / 4 * 4;
    }
    QByteArray out(qsizetype(total), '\0');
    char *d = out.data();
    putWord(d, quint32(n));
    quint32 offset = quint32(n + 2) * 4;
    for (int k = 1; k <= n; ++k) {
        putWord(d + 4 * k, offset);
        const QByteArray &ogg = phrases[size_t(k - 1)];
        const quint32 record = quint32((RecordHeaderBytes + ogg.size() + 3) / 4 * 4);
        char *r = d + offset;
        qToBigEndian(quint16(record / 4 - 1), r + 2);
        putWord(r + 4, 1);
        putWord(r + 8, 8);
        putWord(r + 12, quint32(ogg.size()));
        memcpy(r + RecordHeaderBytes, ogg.constData(), size_t(ogg.size()));
        offset += record;
    }
    putWord(d + 4 * (n + 1), offset);
    return out;
}

QString PhraseFolder()
{
    return Folders::UserDataFolder() + QStringLiteral("Voices/");
}

QString PhraseFileName(int k)
{
    return QStringLiteral("tmp%1.ogg").arg(k, 2, 10, QLatin1Char('0'));
}

QString PhraseFile(const QString &folder, int k)
{
    return folder + PhraseFileName(k);
}

QString phraseTooLong(int k, qint64 size)
{
    return phraseProblem(k, Texts::tr("its sound takes %1 bytes, a voice holds at most %2").arg(size).arg(MaxOggBytes));
}

QString phraseProblem(int k, const QString &reason)
{
    return Texts::tr("Phrase %1 (%2): %3").arg(k).arg(PhraseFileName(k), reason);
}

namespace {

void ensureFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw KorvixError(Texts::tr("Can't create the folder %1").arg(QDir::toNativeSeparators(folder)));
}

void removePhrase(const QString &folder, int k)
{
    QFile file(PhraseFile(folder, k));
    if (file.exists() && !file.remove())
        throw KorvixError(Texts::tr("Can't remove %1: %2").arg(file.fileName(), file.errorString()));
}

} // namespace

UnpackResult Unpack(const QString &chkPath, const QString &folder, bool removeUnheld,
                    const std::function<void(int, PhraseState)> &each)
{
    // A folder, a device node or a pipe is no container; a pipe must not block either.
    QFile chk;
    if (const QString why = FileReader::open(chk, chkPath, FileReader::MaxListBytes); !why.isEmpty())
        throw KorvixError(why);
    UnpackResult result;
    result.header = GetCHKHeader(chk);
    result.headerOk = !result.header.empty();
    result.count = result.headerOk ? int(result.header[0]) : 0;
    if (!result.headerOk && !removeUnheld)
        return result;
    ensureFolder(folder);
    const int rows = std::max(result.count, VoiceTables::PhraseCount);
    result.states.assign(size_t(rows), PhraseState::Missing);
    for (int k = 1; k <= rows; ++k) {
        PhraseState state = PhraseState::Missing;
        if (k <= result.count) {
            QByteArray ogg;
            state = PhraseState::Damaged;
            if (GetOgg(chk, result.header, k, ogg)) {
                // The new phrase replaces the old one only once it is whole and synced.
                const QString error = AtomicFile::write(PhraseFile(folder, k), ogg);
                if (!error.isEmpty())
                    throw KorvixError(PhraseFile(folder, k) + QStringLiteral(": ") + error);
                state = PhraseState::Held;
            } else {
                removePhrase(folder, k);
            }
        } else if (removeUnheld && k <= VoiceTables::PhraseCount) {
            removePhrase(folder, k);
        }
        result.states[size_t(k - 1)] = state;
        if (each)
            each(k, state);
    }
    return result;
}

QByteArray PackFolder(const QString &folder)
{
    std::vector<QByteArray> phrases;
    phrases.reserve(VoiceTables::PhraseCount);
    for (int k = 1; k <= VoiceTables::PhraseCount; ++k) {
        const QString path = PhraseFile(folder, k);
        const QFileInfo info(path);
        if (!info.exists())
            throw KorvixError(phraseProblem(k, Texts::tr("it is missing; record or import it first")));
        if (!info.isFile())
            throw KorvixError(phraseProblem(k, Texts::tr("it is not a regular file")));
        // Refused before it is read, so a huge file never fills the memory.
        if (info.size() > MaxOggBytes)
            throw KorvixError(phraseTooLong(k, info.size()));
        QString why;
        std::optional<QByteArray> bytes = FileReader::read(path, MaxOggBytes, &why);
        if (!bytes)
            throw KorvixError(phraseProblem(k, why));
        phrases.push_back(std::move(*bytes));
    }
    return BuildChk(phrases);
}

} // namespace VoiceChk
