// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli map layer: the script calls each extra map layer sends, one per line.
#include "cli/Commands.h"

#include "core/Settings.h"
#include "map/LayerFeeds.h"
#include "map/LayerRoads.h"
#include "map/MapLists.h"
#include "map/RasterLayer.h"
#include "map/TripMaster.h"
#include "platform/DeviceCodec.h"
#include "platform/Error.h"
#include "platform/FileReader.h"
#include "platform/Settings.h"

#include <cstdio>

namespace {

// Straight to standard output: a million points would not fit a text stream well.
class PrintedLines : public IMapCalls {
public:
    ~PrintedLines() override { flush(); }
    void send(const QString &call) override
    {
        m_text.append(call.toUtf8());
        m_text.append('\n');
        if (m_text.size() >= 1 << 20)
            flush();
    }
    void flush()
    {
        std::fwrite(m_text.constData(), 1, size_t(m_text.size()), stdout);
        std::fflush(stdout);
        m_text.clear();
    }

private:
    QByteArray m_text;
};

constexpr char usage[] = "map layer raster FILE.sat... | tripmaster FILE.csv | svg FILE.svg | "
                         "krakow FILE.xml [--host HOST] | zakopane FILE.xml";

int wrongUse(QTextStream &err)
{
    err << "usage: korvix-cli " << usage << '\n';
    return 2;
}

// A layer's file: regular, never waited on, of at most a document's size.
bool readAll(const QString &path, QByteArray &data, QTextStream &err)
{
    QString error;
    std::optional<QByteArray> read = FileReader::read(path, FileReader::MaxXmlBytes, &error);
    if (!read) {
        fileError(err, path, error);
        return false;
    }
    data = std::move(*read);
    return true;
}

} // namespace

int runMapLayer(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString kind = args.value(0);
    QStringList files = args.mid(1);
    KorvixSettings settings;
    QString host = Prefs::sources(settings).server(Prefs::Source::Krakow);
    if (kind == QLatin1String("krakow") && !takeOption(files, QStringLiteral("--host"), &host))
        return wrongUse(err);
    host = Prefs::Sources::withScheme(host);
    if (files.isEmpty() || (kind != QLatin1String("raster") && files.size() != 1))
        return wrongUse(err);
    out.flush();
    PrintedLines calls;
    QString current = files[0];
    try {
        if (kind == QLatin1String("raster")) {
            const DeviceCodec codec = DeviceCodec::fromSettings(settings);
            RasterShow rasters;
            for (int i = 0; i < files.size(); ++i) {
                current = files[i];
                rasters.show(RasterLayer::readSat(current, codec), i + 1 < files.size(), i == 0, calls);
            }
            return 0;
        }
        QByteArray data;
        if (!readAll(current, data, err))
            return 1;
        if (kind == QLatin1String("tripmaster"))
            TripMaster::send(data, DeviceCodec::fromSettings(settings), calls);
        else if (kind == QLatin1String("svg"))
            LayerRoads::send(data, calls);
        else if (kind == QLatin1String("krakow") || kind == QLatin1String("zakopane")) {
            const int skipped = kind == QLatin1String("krakow") ? LayerFeeds::sendKrakow(data, host, calls)
                                                                : LayerFeeds::sendZakopane(data, calls);
            if (skipped > 0) {
                calls.flush();
                err << current << ": " << LayerFeeds::skippedText(skipped) << '\n';
            }
        } else
            return wrongUse(err);
    } catch (const KorvixError &e) {
        calls.flush();
        return fileError(err, current, e.message());
    }
    return 0;
}
