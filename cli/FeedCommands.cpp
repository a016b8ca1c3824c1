// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli feed ...: what the POI editor's feed imports would add, from a saved body.
#include "cli/Commands.h"

#include "platform/DeviceCodec.h"
#include "platform/FileReader.h"
#include "poi/Feeds.h"
#include "poi/MapSettings.h"
#include "core/Ov2Units.h"
#include "poi/PoiDump.h"

#include <QFile>

#include <cstdio>

namespace {

class Lines {
public:
    Lines() : m_codec(DeviceCodec::fromSettings()) {}
    // One POI as AddPoi would store it.
    void add(const QString &lon, const QString &lat, const QString &name)
    {
        m_out += ToOV2Units(lon).toUtf8() + '\t' + ToOV2Units(lat).toUtf8() + '\t';
        appendDumpEscaped(m_out, m_codec.fromUnicode(Feeds::poiDescription(name)), m_codec);
        m_out += '\n';
        if (m_out.size() > 1 << 20)
            flush();
    }
    void flush()
    {
        std::fwrite(m_out.constData(), 1, size_t(m_out.size()), stdout);
        std::fflush(stdout);
        m_out.clear();
    }
    const DeviceCodec &codec() const { return m_codec; }

private:
    DeviceCodec m_codec;
    QByteArray m_out;
};

// A body of more than the feeds' limit is read only as far as the parsers need to
// refuse it; a FIFO or a device is refused before it is read.
bool readBody(const QString &path, QByteArray &body, QTextStream &err)
{
    QFile f;
    if (const QString error = FileReader::open(f, path, FileReader::MaxXmlBytes); !error.isEmpty()) {
        fileError(err, path, error);
        return false;
    }
    body = f.read(Feeds::MaxBytes + 1);
    return true;
}

// The rows, then the error that ended the import, after the file's name.
int print(const Feeds::Result &result, const QString &path, QTextStream &out, QTextStream &err)
{
    out.flush();
    Lines lines;
    for (const Feeds::Point &p : result.points)
        lines.add(p.lon, p.lat, p.name);
    lines.flush();
    if (result.error.isEmpty())
        return 0;
    return fileError(err, path, result.error);
}

int gddkia(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList args = arguments;
    QString day = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const bool fine = takeOption(args, QStringLiteral("--today"), &day);
    const QDate today = QDate::fromString(day, QStringLiteral("yyyy-MM-dd"));
    if (!fine || args.size() != 1 || !today.isValid()) {
        err << "usage: korvix-cli feed gddkia FILE.xml [--today YYYY-MM-DD]\n";
        return 2;
    }
    QByteArray body;
    if (!readBody(args[0], body, err))
        return 1;
    return print(Feeds::GDDKiA(body, today), args[0], out, err);
}

// The feeds that need only their file.
template <Feeds::Result (*parse)(const QByteArray &)>
int oneFile(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli feed gddkia-mobi|krakow|zakopane FILE.xml\n";
        return 2;
    }
    QByteArray body;
    if (!readBody(args[0], body, err))
        return 1;
    return print(parse(body), args[0], out, err);
}

int web(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "usage: korvix-cli feed web FILE.html URL\n";
        return 2;
    }
    QByteArray body;
    if (!readBody(args[0], body, err))
        return 1;
    return print(Feeds::webPage(body, args[1]), args[0], out, err);
}

int mapSettings(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1) {
        err << "usage: korvix-cli feed mapsettings FILE.cfg\n";
        return 2;
    }
    // Scanned in blocks: any regular file, but never a FIFO or an endless device.
    QFile f;
    if (const QString error = FileReader::open(f, args[0], FileReader::MaxListBytes); !error.isEmpty())
        return fileError(err, args[0], error);
    out.flush();
    Lines lines;
    const bool read = MapSettings::scan(f, lines.codec(), [&](const MapSettings::Record &r) {
        lines.add(MapSettings::degreesText(r.lon), MapSettings::degreesText(r.lat), r.name);
    });
    lines.flush();
    return read ? 0 : fileError(err, args[0], f.errorString());
}

int run(const QStringList &args, QTextStream &out, QTextStream &err)
{
    return runSubCommand(args, out, err,
                         {{"gddkia", gddkia},
                          {"gddkia-mobi", oneFile<Feeds::GDDKiAMobi>},
                          {"krakow", oneFile<Feeds::krakow>},
                          {"zakopane", oneFile<Feeds::zakopane>},
                          {"web", web},
                          {"mapsettings", mapSettings}},
                         "feed gddkia|gddkia-mobi|krakow|zakopane|web|mapsettings ...");
}

const CliRegistrar registrar({QStringLiteral("feed"),
                              QStringLiteral("gddkia FILE.xml [--today YYYY-MM-DD] | gddkia-mobi|krakow|zakopane FILE.xml"
                                             " | web FILE.html URL | mapsettings FILE.cfg"),
                              &run});

} // namespace
