// SPDX-License-Identifier: GPL-3.0-or-later
#include "poi/Ov2Reader.h"

#include "platform/DecimalText.h"
#include "platform/FileReader.h"
#include "platform/LargePages.h"
#include "platform/Progress.h"
#include "poi/Ov2Codings.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

inline qint32 rd32(const unsigned char *p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN)
        v = qFromLittleEndian(v);
    return qint32(v);
}

inline quint32 rd24(const unsigned char *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16);
}

inline qint32 coord24(const unsigned char *p)
{
    return qint32(rd24(p)) - 8000000;
}

QString hex(qint64 v, int digits)
{
    return QString::number(v, 16).toUpper().rightJustified(digits, u'0');
}

QString truncatedText(qint64 offset, int type)
{
    return QCoreApplication::translate("Ov2", "Record runs past the end of the file: %1 : %2(%3)")
        .arg(hex(offset, 8), hex(type, 2))
        .arg(type);
}

// Validates the record at s.pos and gives its whole size (for a skipper: 21 in
// `advance`, its len in `areaSize`). Does not move the stream.
Ov2Status classify(const Ov2Stream &s, int &type, qint64 &advance, qint64 &areaSize, QString *error)
{
    const qint64 start = s.pos;
    if (start >= s.size)
        return Ov2Status::End;
    const qint64 left = s.size - start;
    const unsigned char *p = s.data + start;
    type = p[0];
    qint64 fixed = 0;  // bytes the size depends on, or the fixed part
    qint64 size = 0;
    auto fail = [&](bool tooShort) {
        if (error)
            *error = tooShort ? ov2UnknownFieldText(s.data, s.size, start) : truncatedText(start, type);
        return Ov2Status::Error;
    };
    switch (type) {
    case 0: case 100: case 2: case 15: case 3: {
        if (left < 5)
            return fail(false);
        const qint64 len = rd32(p + 1);
        fixed = (type == 0 || type == 100) ? 5 : (type == 3 ? 13 : 14);
        if (len < fixed)
            return fail(true);
        size = len;
        break;
    }
    case 1:
        if (left < 21)
            return fail(false);
        advance = 21;
        areaSize = rd32(p + 1);
        return Ov2Status::Ok;
    case 4: case 20:
        size = 7;
        break;
    case 5: case 21:
        size = 9;
        break;
    case 6: case 22:
        size = 10;
        break;
    case 7: case 8: case 9: case 10: case 12:
    case 23: case 24: case 25: case 26: case 28:
        if (left < 2)
            return fail(false);
        size = qint64(p[1]) + 8;
        break;
    case 29:
        if (left < 2)
            return fail(false);
        if (p[1] < 3)
            return fail(true);
        size = qint64(p[1]) + 11;
        break;
    default:
        return fail(true);
    }
    if (size > left)
        return fail(false);
    advance = size;
    areaSize = size;
    return Ov2Status::Ok;
}

void appendNumber(QByteArray &arena, quint32 v)
{
    char buf[10];
    arena.append(buf, putDecimal(buf, v) - buf);
}

const char kHexDigits[] = "0123456789ABCDEF";

// Decodes the record whose validity classify() has established.
void decode(const unsigned char *base, qint64 start, int type, qint64 size, Ov2Record &rec, QByteArray &arena)
{
    const unsigned char *p = base + start;
    rec.type = type;
    rec.len = size;
    rec.textInArena = false;
    rec.textPos = 0;
    rec.textLen = 0;
    auto arenaText = [&](qsizetype from) {
        rec.textInArena = true;
        rec.textPos = quint32(from);
        rec.textLen = quint32(arena.size() - from);
    };
    switch (type) {
    case 2: case 15:
        rec.lon = rd32(p + 5);
        rec.lat = rd32(p + 9);
        rec.textPos = quint32(start + 13);
        rec.textLen = quint32(size - 14);
        break;
    case 3: {
        rec.lon = rd32(p + 5);
        rec.lat = rd32(p + 9);
        const void *zero = std::memchr(p + 13, 0, size_t(size - 13));
        rec.textPos = quint32(start + 13);
        rec.textLen = zero ? quint32(static_cast<const unsigned char *>(zero) - (p + 13)) : 0;
        break;
    }
    case 4: case 20: {
        rec.lon = coord24(p + 1);
        rec.lat = coord24(p + 4);
        const qsizetype from = arena.size();
        arena.append("Deleted");
        arenaText(from);
        break;
    }
    case 5: case 21: case 6: case 22: {
        rec.lon = coord24(p + 1);
        rec.lat = coord24(p + 4);
        const quint32 v = (type == 5 || type == 21) ? quint32(p[7] | (p[8] << 8)) : rd24(p + 7);
        const qsizetype from = arena.size();
        appendNumber(arena, v);
        arenaText(from);
        break;
    }
    case 7: case 23: {
        const unsigned n = p[1];
        rec.lon = coord24(p + 2);
        rec.lat = coord24(p + 5);
        rec.textPos = quint32(start + 8);
        rec.textLen = n ? n - 1 : 0;
        break;
    }
    case 8: case 24: case 9: case 25: case 10: case 26: case 12: case 28: {
        const unsigned n = p[1];
        rec.lon = coord24(p + 2);
        rec.lat = coord24(p + 5);
        const QByteArrayView payload(reinterpret_cast<const char *>(p + 8), n);
        const qsizetype from = arena.size();
        switch (type) {
        case 8: case 24: DecodePacked5(payload, arena); break;
        case 9: case 25: DecodeHuffman(payload, arena); break;
        case 10: case 26: DecodeBase40(payload, arena); break;
        default: DecodeLettersDigits(payload, arena); break;
        }
        arenaText(from);
        break;
    }
    case 29: {
        const unsigned n = p[1];
        rec.lon = rd32(p + 2);
        rec.lat = rd32(p + 6);
        const quint32 kind = quint32(rd32(p + 10));
        const unsigned char *payload = p + 14;
        const qsizetype from = arena.size();
        if ((kind & 0xFF) == 2) {
            DecodeHuffman(QByteArrayView(reinterpret_cast<const char *>(payload), n - 3), arena);
        } else {
            for (int shift = 28; shift >= 0; shift -= 4)
                arena.append(kHexDigits[(kind >> shift) & 15]);
            arena.append(' ');
            for (unsigned k = 0; k + 3 < n; ++k) {
                arena.append(kHexDigits[payload[k] >> 4]);
                arena.append(kHexDigits[payload[k] & 15]);
                arena.append(' ');
            }
        }
        arenaText(from);
        break;
    }
    default:
        break;
    }
}

inline bool isPoiType(int type)
{
    return type >= 2 && type <= 99;
}

// The area walk of both passes. Nested areas are a stack of limits: an area stops at
// its limit or the end of the stream, and its parent then goes on from there.
template <typename OnRecord>
bool walk(Ov2Stream &s, int level, qint64 limit, QString *error, ProgressTicker *ticker, int shift,
          OnRecord &&onRecord)
{
    std::vector<qint64> limits;
    limits.push_back(limit);
    const int base = level;
    unsigned tickCount = 0;
    for (;;) {
        while (!limits.empty() && s.pos >= limits.back())
            limits.pop_back();
        if (limits.empty() || s.pos >= s.size)
            return true;
        if (ticker && (++tickCount & 255) == 0)
            ticker->tick(int(s.pos >> shift));
        int type = -1;
        qint64 advance = 0, areaSize = 0;
        if (classify(s, type, advance, areaSize, error) != Ov2Status::Ok)
            return false;
        const qint64 start = s.pos;
        const int depth = base + int(limits.size()) - 1;
        onRecord(start, type, advance, depth);
        s.pos = start + advance;
        if (type == 1)
            limits.push_back(start + areaSize); // len < 21: an empty area, popped at once
    }
}

} // namespace

QString Ov2Data::typeLevel(const Ov2Poi &p)
{
    QString s;
    if (p.flags & Ov2Poi::AfterSkipper)
        s += u'*';
    s += QString::number(p.type) + u'/' + QString::number(p.level);
    return s;
}

void Ov2Data::appendTypeLevel(QString &out, const Ov2Poi &p) const
{
    if (p.flags & Ov2Poi::AfterSkipper)
        out += u'*';
    out += QString::number(p.type);
    out += u'/';
    out += QString::number(p.level);
}

QString ov2UnknownFieldText(const unsigned char *data, qint64 size, qint64 offset)
{
    const int type = data[offset];
    const qint64 first = offset + 1;
    const qint64 count = qMin<qint64>(256, qMax<qint64>(0, size - first));
    auto printable = [&](qint64 from, qint64 to) {
        QString t;
        for (qint64 k = from; k < to; ++k)
            if (data[k] >= 32 && data[k] <= 127)
                t += QChar(data[k]);
        return t;
    };
    QString dump;
    for (qint64 k = 0; k < count; ++k) {
        if (k % 16 == 0)
            dump += u' ' + printable(first + k - qMin<qint64>(k, 16), first + k) + u'\r';
        dump += hex(data[first + k], 2) + u' ';
    }
    const qint64 lastLine = count == 0 ? 0 : ((count - 1) / 16) * 16;
    return QStringLiteral("Unknown Field: ") + hex(offset, 8) + QStringLiteral(" : ") + hex(type, 2) + u'('
        + QString::number(type) + QStringLiteral(") : ") + dump + QStringLiteral(" : ")
        + printable(first + lastLine, first + count);
}

int ov2ProgressShift(qint64 size)
{
    int shift = 0;
    while ((size >> shift) > std::numeric_limits<int>::max())
        ++shift;
    return shift;
}

Ov2Status ChkPoi(Ov2Stream &s, Ov2RecordInfo &info, QString *error)
{
    qint64 advance = 0, areaSize = 0;
    int type = -1;
    const Ov2Status st = classify(s, type, advance, areaSize, error);
    if (st != Ov2Status::Ok)
        return st;
    info.type = type;
    info.start = s.pos;
    info.size = areaSize;
    s.pos += advance;
    return st;
}

Ov2Status ReadPoi(Ov2Stream &s, Ov2Record &rec, QByteArray &arena, QString *error)
{
    qint64 advance = 0, areaSize = 0;
    int type = -1;
    const Ov2Status st = classify(s, type, advance, areaSize, error);
    if (st != Ov2Status::Ok)
        return st;
    if (type == 1) {
        const unsigned char *p = s.data + s.pos;
        rec.type = 1;
        rec.len = areaSize;
        rec.east = rd32(p + 5);
        rec.north = rd32(p + 9);
        rec.west = rd32(p + 13);
        rec.south = rd32(p + 17);
        rec.textInArena = false;
        rec.textPos = rec.textLen = 0;
    } else {
        decode(s.data, s.pos, type, advance, rec, arena);
    }
    s.pos += advance;
    return st;
}

qint64 ChkArea(Ov2Stream &s, int level, qint64 counter, qint64 limit, QString *error, ProgressTicker *ticker)
{
    const int shift = ov2ProgressShift(s.size);
    qint64 count = counter;
    const bool ok = walk(s, level, limit, error, ticker, shift, [&](qint64, int type, qint64, int) {
        if (isPoiType(type))
            ++count;
    });
    return ok ? count : -1;
}

bool ReadArea(Ov2Stream &s, int level, Ov2Data &out, qint64 limit, QString *error, ProgressTicker *ticker,
              Ov2PoiSink *sink)
{
    const int shift = ov2ProgressShift(s.size);
    bool star = false;
    Ov2Record rec;
    return walk(s, level, limit, error, ticker, shift, [&](qint64 start, int type, qint64 size, int depth) {
        if (type == 1) {
            star = true; // goes to the next POI, if one follows
            return;
        }
        if (!isPoiType(type))
            return;
        decode(s.data, start, type, size, rec, out.arena);
        Ov2Poi p;
        p.lon = rec.lon;
        p.lat = rec.lat;
        p.textPos = rec.textPos;
        p.textLen = rec.textLen;
        p.level = quint32(depth);
        p.type = quint8(type);
        p.flags = quint8((star ? Ov2Poi::AfterSkipper : 0) | (rec.textInArena ? Ov2Poi::TextInArena : 0));
        star = false;
        if (sink) {
            sink->poi(p, out.text(p));
            out.arena.resize(0);
        } else {
            out.pois.push_back(p);
        }
    });
}

QString readOv2Range(Ov2Data &data, qint64 start, qint64 limit, IProgress *progress, Ov2PoiSink *sink)
{
    data.pois.clear();
    data.arena.clear();
    const qint64 size = data.bytes.size();
    if (start < 0 || start > size)
        return QCoreApplication::translate("Ov2", "Block starts outside the file");
    const int shift = ov2ProgressShift(qMax(size, limit));
    Ov2Stream s{reinterpret_cast<const unsigned char *>(data.bytes.constData()), size, start};
    ProgressTicker ticker(progress);
    QString error;
    if (progress)
        progress->ShowProgress(Ov2Texts::analizing(), int(start >> shift), int(limit >> shift), int(start >> shift));
    const qint64 count = ChkArea(s, 0, 0, limit, &error, progress ? &ticker : nullptr);
    if (count < 0) {
        if (progress)
            progress->SetStatus(QString());
        return error;
    }
    if (sink) {
        sink->begin(count);
    } else {
        data.pois.reserve(size_t(count));
        adviseLargePages(data.pois.data(), data.pois.capacity() * sizeof(Ov2Poi));
    }
    if (progress)
        progress->ShowProgress(Ov2Texts::reading(), int(start >> shift), int(limit >> shift), int(start >> shift));
    s.pos = start;
    const bool ok = ReadArea(s, 0, data, limit, &error, progress ? &ticker : nullptr, sink);
    if (progress)
        progress->SetStatus(QString());
    if (ok && quint64(data.arena.size()) > std::numeric_limits<quint32>::max()) {
        data.pois.clear();
        return QCoreApplication::translate("Ov2", "Too many decoded texts in one file");
    }
    return ok ? QString() : error;
}

QString loadOv2Bytes(const QString &path, Ov2Data &data)
{
    data = Ov2Data();
    auto file = std::make_shared<QFile>();
    // A FIFO or a device is refused at once instead of blocking or reading endlessly.
    if (const QString why = FileReader::open(*file, path, FileReader::MaxListBytes); !why.isEmpty()) {
        // A folder is a file that cannot be opened, as it always was; FIFOs and devices
        // get the reader's own words.
        const bool special = why == FileReader::notRegular(path) && !QFileInfo(path).isDir();
        return special || why == FileReader::tooLarge(path) ? why : Ov2Texts::cantOpen();
    }
    const qint64 size = file->size();
    if (size == 0)
        return {};
    // A mapping saves copying the file; not every file system offers one.
    if (uchar *m = file->map(0, size)) {
        data.bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(m), qsizetype(size));
        data.mapping = file;
        return {};
    }
    data.bytes = file->readAll();
    if (data.bytes.size() != size)
        return Ov2Texts::cantOpen();
    return {};
}

QString readOv2File(const QString &path, Ov2Data &data, IProgress *progress, Ov2PoiSink *sink)
{
    const QString error = loadOv2Bytes(path, data);
    if (!error.isEmpty())
        return error;
    if (data.bytes.isEmpty()) {
        if (sink)
            sink->begin(0);
        return {};
    }
    return readOv2Range(data, 0, data.bytes.size(), progress, sink);
}

Ov2CheckStats checkOv2(const Ov2Data &data)
{
    Ov2CheckStats st;
    st.fileSize = data.bytes.size();
    Ov2Stream s{reinterpret_cast<const unsigned char *>(data.bytes.constData()), st.fileSize, 0};
    struct Area {
        qint64 end;
        qint32 east, north, west, south;
        qint64 pois = 0;
        bool nested = false;
    };
    std::vector<Area> areas;
    auto closeArea = [&]() {
        const Area a = areas.back();
        areas.pop_back();
        if (!a.nested) {
            ++st.leaves;
            st.leafPoisTotal += a.pois;
            st.leafPoisMax = qMax(st.leafPoisMax, a.pois);
            st.leafPoisMin = st.leafPoisMin < 0 ? a.pois : qMin(st.leafPoisMin, a.pois);
        }
    };
    Ov2Record rec;
    QByteArray arena;
    for (;;) {
        while (!areas.empty() && s.pos >= areas.back().end)
            closeArea();
        if (s.pos >= s.size)
            break;
        const qint64 start = s.pos;
        arena.clear();
        const Ov2Status status = ReadPoi(s, rec, arena, &st.error);
        if (status != Ov2Status::Ok)
            break;
        ++st.typeCounts[rec.type];
        if (rec.type == 1) {
            ++st.skippers;
            if (rec.len < 21)
                ++st.shortSkippers;
            if (start + rec.len > st.fileSize)
                ++st.skippersPastEnd;
            if (!areas.empty()) {
                areas.back().nested = true;
                if (start + rec.len > areas.back().end)
                    ++st.overhangingAreas;
            }
            areas.push_back({start + rec.len, rec.east, rec.north, rec.west, rec.south});
            st.maxDepth = qMax(st.maxDepth, int(areas.size()));
        } else if (isPoiType(rec.type)) {
            ++st.pois;
            if (!areas.empty()) {
                Area &a = areas.back();
                ++a.pois;
                if (rec.lon < a.west || rec.lon > a.east || rec.lat < a.south || rec.lat > a.north)
                    ++st.poisOutsideBounds;
            }
        }
    }
    while (!areas.empty())
        closeArea();
    return st;
}
