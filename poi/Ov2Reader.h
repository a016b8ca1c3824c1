// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <memory>
#include <vector>

class IProgress;
class ProgressTicker;
class QFile;

// One POI as read: the list's columns in compact form. The description is a range of
// device bytes, either inside the file itself (plain kinds) or in the decoded-text
// arena (compact kinds and numbers).
struct Ov2Poi {
    qint32 lon = 0;
    qint32 lat = 0;
    quint32 textPos = 0;
    quint32 textLen = 0;
    quint32 level = 0;
    quint8 type = 0;
    quint8 flags = 0;
    enum : quint8 { AfterSkipper = 1, TextInArena = 2 };
};

// The POIs of one file or one block, in file order, with the bytes their texts point
// into. Holds the file mapping while alive.
class Ov2Data {
public:
    std::vector<Ov2Poi> pois;
    QByteArray bytes; // the whole file (may be a raw view of a mapping)
    QByteArray arena; // decoded texts

    QByteArrayView text(const Ov2Poi &p) const
    {
        const QByteArray &src = (p.flags & Ov2Poi::TextInArena) ? arena : bytes;
        return QByteArrayView(src.constData() + p.textPos, p.textLen);
    }
    // Column 4: optional "*", type, "/", level.
    static QString typeLevel(const Ov2Poi &p);
    void appendTypeLevel(QString &out, const Ov2Poi &p) const;

    std::shared_ptr<QFile> mapping;
};

// The stream the record functions work on: file bytes and a position.
struct Ov2Stream {
    const unsigned char *data = nullptr;
    qint64 size = 0;
    qint64 pos = 0;
};

// What ChkPoi learnt about one record.
struct Ov2RecordInfo {
    int type = -1;
    qint64 start = 0;
    qint64 size = 0;    // whole record size; for a skipper its len (the area's size)
};

// One decoded record (ReadPoi).
struct Ov2Record {
    int type = -1;
    qint32 lon = 0, lat = 0;
    qint64 len = 0;
    qint32 east = 0, north = 0, west = 0, south = 0; // skipper bounds
    quint32 textPos = 0, textLen = 0;
    bool textInArena = false;
};

enum class Ov2Status { Ok, End, Error };

// Reads one record's type and moves the stream to its end without decoding (after
// the 21 bytes of a skipper). A type the format does not know, a length smaller than
// the record's fixed part, or a record that runs past the end of the file is an
// error with its text in `error`; the stream then stays at the record's start.
Ov2Status ChkPoi(Ov2Stream &s, Ov2RecordInfo &info, QString *error);
// Reads and decodes one record, leaving the stream at its end. Decoded texts go to
// `arena`; plain texts stay in the file bytes.
Ov2Status ReadPoi(Ov2Stream &s, Ov2Record &rec, QByteArray &arena, QString *error);

// Takes the POIs of the reading pass one by one instead of Ov2Data::pois (a list
// filled straight from the file needs no copy in between). The text is valid during
// the call only.
class Ov2PoiSink {
public:
    virtual ~Ov2PoiSink() = default;
    // Called once the counting pass has succeeded, before the first POI.
    virtual void begin(qint64 count) = 0;
    virtual void poi(const Ov2Poi &p, QByteArrayView text) = 0;
};

// The counting pass: the number of POI records from the stream's position up to
// `limit`, added to `counter`. Nested areas are walked without recursion, so a file
// of deeply nested skippers cannot exhaust the stack.
qint64 ChkArea(Ov2Stream &s, int level, qint64 counter, qint64 limit, QString *error,
               ProgressTicker *ticker = nullptr);
// The reading pass over the same records: appends the POIs to `out.pois` (the row
// index is their count). Returns false with `error` on a format error.
bool ReadArea(Ov2Stream &s, int level, Ov2Data &out, qint64 limit, QString *error,
              ProgressTicker *ticker = nullptr, Ov2PoiSink *sink = nullptr);

// Both passes over [start, limit) of bytes already in `data.bytes`: counts, sizes the
// POI vector once, fills it (or hands the POIs to `sink`). Progress range:
// start..limit. Empty error = success.
QString readOv2Range(Ov2Data &data, qint64 start, qint64 limit, IProgress *progress,
                     Ov2PoiSink *sink = nullptr);
// Maps (or reads) the file into `data.bytes` and reads it whole. An empty file gives
// no POI. The error of a file that cannot be opened is "Can't open OV2 file".
QString readOv2File(const QString &path, Ov2Data &data, IProgress *progress = nullptr,
                    Ov2PoiSink *sink = nullptr);
// Opens `path` into data.bytes/data.mapping without reading records.
QString loadOv2Bytes(const QString &path, Ov2Data &data);

// The texts of the format errors.
QString ov2UnknownFieldText(const unsigned char *data, qint64 size, qint64 offset);

// Progress positions are ints: file offsets scaled down when a file exceeds them.
int ov2ProgressShift(qint64 size);

// What `korvix-cli ov2 check` reports.
struct Ov2CheckStats {
    qint64 fileSize = 0;
    qint64 typeCounts[256] = {};
    qint64 pois = 0;
    qint64 skippers = 0;
    int maxDepth = 0;
    qint64 leaves = 0;        // skipper areas without a nested skipper
    qint64 leafPoisMin = -1, leafPoisMax = 0, leafPoisTotal = 0;
    qint64 shortSkippers = 0;   // len below 21: empty areas
    qint64 overhangingAreas = 0; // nested area ending past its parent's end
    qint64 poisOutsideBounds = 0; // POI outside its skipper's rectangle
    qint64 skippersPastEnd = 0;   // area claiming more bytes than the file holds
    QString error;
};
Ov2CheckStats checkOv2(const Ov2Data &data);

namespace Ov2Texts {
inline QString cantOpen() { return QCoreApplication::translate("Ov2", "Can't open OV2 file"); }
inline QString analizing() { return QCoreApplication::translate("Ov2", "Analizing..."); }
inline QString reading() { return QCoreApplication::translate("Ov2", "Reading..."); }
} // namespace Ov2Texts
