// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/TripMaster.h"

#include "core/RBParams.h"
#include "map/LayerScript.h"
#include "map/MapScript.h"
#include "platform/DeviceCodec.h"
#include "platform/Progress.h"
#include "core/Ov2Units.h"

#include <QCoreApplication>
#include <QHash>

#include <vector>

namespace TripMaster {

namespace {

std::optional<int> digits(QStringView t, int minLen, int maxLen)
{
    if (t.size() < minLen || t.size() > maxLen)
        return std::nullopt;
    int v = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

// The log's lines, without their line ends, as views into `bytes`.
std::vector<QByteArrayView> lines(const QByteArray &bytes)
{
    std::vector<QByteArrayView> out;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView l(bytes.constData() + start, end - start);
        if (l.endsWith('\r'))
            l.chop(1);
        out.push_back(l);
        start = end + 1;
    }
    return out;
}

struct Row {
    TRBParams f;
    int speed = 0;
};

// The fields of a line that counts: field 7 an integer above 0, field 6 an integer.
bool readRow(const QString &text, Row &row)
{
    row.f.ParseFields(text, 0, TRBCharSet{','}, RBConventions::doubleQuote(), RBConventions::blankSet());
    const auto valid = parseOv2Integer(row.f.FieldView(7));
    const auto speed = parseOv2Integer(row.f.FieldView(6));
    if (!valid || *valid <= 0 || !speed)
        return false;
    row.speed = *speed;
    return true;
}

QString withoutEquals(QStringView text)
{
    QString s = text.toString();
    s.remove(u'=');
    return s;
}

QString keyOf(const QString &plain)
{
    const qsizetype blank = plain.indexOf(u' ');
    return blank < 0 ? plain : plain.left(blank);
}

} // namespace

std::optional<int> timeOfDay(QStringView text)
{
    const qsizetype c1 = text.indexOf(u':');
    if (c1 < 0)
        return std::nullopt;
    const qsizetype c2 = text.indexOf(u':', c1 + 1);
    const auto h = digits(text.left(c1), 1, 2);
    const auto m = digits(c2 < 0 ? text.mid(c1 + 1) : text.mid(c1 + 1, c2 - c1 - 1), 2, 2);
    const auto s = c2 < 0 ? std::optional<int>(0) : digits(text.mid(c2 + 1), 2, 2);
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59)
        return std::nullopt;
    return *h * 3600 + *m * 60 + *s;
}

QString duration(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int stopLength(int start, int end)
{
    return end < start ? end + 24 * 3600 - start : end - start;
}

void send(const QByteArray &log, const DeviceCodec &codec, IMapCalls &out, IProgress *progress)
{
    const std::vector<QByteArrayView> all = lines(log);
    if (progress)
        progress->ShowProgress(QCoreApplication::translate("TripMaster", "Reading track"), 0, int(all.size()), 0);
    ProgressTicker ticker(progress);

    TRBParams header;
    if (!all.empty())
        header.ParseFields(codec.toUnicode(all[0]), 0, TRBCharSet{','}, RBConventions::doubleQuote(),
                           RBConventions::blankSet());
    const QString c4 = header.GetField(4), c5 = header.GetField(5), c6 = header.GetField(6);

    // First pass: which grouping keys occur more than once.
    QHash<QString, int> keys;
    Row row;
    for (size_t i = 1; i < all.size(); ++i) {
        if (readRow(codec.toUnicode(all[i]), row))
            ++keys[keyOf(withoutEquals(row.f.FieldView(3)))];
        ticker.tick(int(i / 2));
    }

    const QString stopText = QCoreApplication::translate("TripMaster", "Postój: ");
    const QString until = QCoreApplication::translate("TripMaster", " do ");
    out.send(LayerScript::polylineClear());
    int previousSpeed = 0;
    bool stopped = false;
    QString stopTime, stopLat, stopLng;
    for (size_t i = 1; i < all.size(); ++i) {
        ticker.tick(int(all.size() / 2 + i / 2));
        if (!readRow(codec.toUnicode(all[i]), row))
            continue;
        const TRBParams &f = row.f;
        const QStringView lat = f.FieldView(1), lng = f.FieldView(0);
        const bool placed = MapScript::isPlainDecimal(lat) && MapScript::isPlainDecimal(lng);
        if (placed)
            out.send(LayerScript::polylineAdd(lat, lng));

        const QString tail = f.GetField(2) + u' ' + f.GetField(3) + u' ' + c4 + u':' + f.GetField(4) + u' ' + c5
                             + u':' + f.GetField(5);
        if (row.speed == 0 && previousSpeed > 0) {
            stopped = true;
            stopTime = f.GetField(2);
            stopLat = lat.toString();
            stopLng = lng.toString();
        } else if (row.speed > 0 && stopped) {
            const auto from = timeOfDay(stopTime), to = timeOfDay(f.FieldView(2));
            if (from && to && MapScript::isPlainDecimal(stopLat) && MapScript::isPlainDecimal(stopLng)) {
                const int length = stopLength(*from, *to);
                if (length / 60 > 59)
                    out.send(MapScript::poi(stopLat, stopLng, stopText + duration(length) + until + tail));
            }
            stopped = false;
        }
        previousSpeed = row.speed;

        const QString plain = withoutEquals(f.FieldView(3));
        const QString key = keyOf(plain);
        if (placed && !(keys.value(key) > 1 && plain != key))
            out.send(MapScript::poi(lat, lng, tail + u' ' + c6 + u':' + f.GetField(6)));
    }
    out.send(LayerScript::polyline(u"#00ff00", 6));
    if (progress)
        progress->SetStatus(QString());
}

} // namespace TripMaster
