// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MapLayers.h"

#include "core/Settings.h"
#include "map/GMaps.h"
#include "map/LayerFeeds.h"
#include "map/LayerRoads.h"
#include "map/MapIcon.h"
#include "map/MapPage.h"
#include "map/RasterCapture.h"
#include "map/RasterPage.h"
#include "map/TripMaster.h"
#include "platform/DeviceCodec.h"
#include "platform/DeviceFiles.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/FileReader.h"
#include "platform/Folders.h"
#include "platform/HttpClient.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace {

// No feed nor SVG map comes near this; more would only fill the memory.
constexpr qint64 maxDocumentBytes = FileReader::MaxXmlBytes;

// A layer's file: regular, never waited on, of at most a document's size.
QByteArray readFile(const QString &path)
{
    QString error;
    std::optional<QByteArray> bytes = FileReader::read(path, maxDocumentBytes, &error);
    if (!bytes)
        throw KorvixError(error);
    return std::move(*bytes);
}

QString saveDialog(QWidget *parent, const QString &proposed)
{
    QFileDialog dialog(parent, TMapLayers::tr("Save As"), Folders::UserDataFolder(),
                       TMapLayers::tr("TTMap overlays (*.sat);;All (*.*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QStringLiteral("sat"));
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

TMapLayers::TMapLayers(IShell &shell, std::function<TGMaps *()> mapWindow, QObject *parent)
    : QObject(parent), askName(saveDialog), m_shell(shell), m_mapWindow(std::move(mapWindow))
{
}

TGMaps *TMapLayers::mapPage()
{
    TGMaps *map = m_mapWindow();
    map->GoogleAPI();
    return map;
}

void TMapLayers::OpenRasterInGoogleAPI(const QString &file, bool more, bool reset)
{
    // The file first: one that cannot be read opens no map.
    const SatFile sat = RasterLayer::readSat(file, DeviceCodec::fromSettings(m_shell.settings()));
    TGMaps *map = mapPage();
    // A picture that cannot be copied is just missing on the page.
    RasterLayer::copyPicture(sat, MapFiles::folder());
    TGMaps::Calls calls(*map);
    m_rasters.show(sat, more, reset, calls);
}

void TMapLayers::GetImageFromGoogleAPI()
{
    TGMaps *map = m_mapWindow();
    if (m_heard != map) {
        connect(map, &TGMaps::rasterFromPage, this, [this, map](const QString &dat) {
            ErrorGuard::run(map, [&] { captured(*map, dat); });
        });
        m_heard = map;
    }
    map->NewRaster();
}

void TMapLayers::captured(TGMaps &map, const QString &dat)
{
    const auto report = RasterCapture::parseReport(dat);
    if (!report)
        return;
    // The browser as the user sees it, in its own pixels.
    QImage shot = map.grab().toImage();
    if (shot.size() != map.size())
        shot = shot.scaled(map.size());
    const QString chosen = askName(&map, RasterCapture::proposedName(*report));
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    const QString base = info.dir().filePath(info.completeBaseName());
    const QImage picture = RasterCapture::findMap(shot, report->width, report->height);
    if (picture.isNull())
        throw KorvixError(tr("The map's picture was not found in the window"));
    const QString error = RasterCapture::save(base, picture, *report, shot.width(), shot.height(),
                                              DeviceCodec::fromSettings(m_shell.settings()));
    if (!error.isEmpty())
        throw KorvixError(error);
}

void TMapLayers::ShowTripMasterCSV(const QString &file)
{
    const QByteArray log = readFile(file);
    TGMaps *map = mapPage();
    TGMaps::Calls calls(*map);
    TripMaster::send(log, DeviceCodec::fromSettings(m_shell.settings()), calls, &m_shell);
}

void TMapLayers::feed(Prefs::Source source, const char *path,
                      const std::function<int(const QByteArray &, const QString &, IMapCalls &)> &send)
{
    // The POI feeds' server of the same source, with its default.
    const QString host = Prefs::sources(m_shell.settings()).server(source);
    TGMaps *map = mapPage();
    const HttpClient::Result answer = m_shell.http().get(QUrl(host + QLatin1String(path)), 30000, maxDocumentBytes);
    if (!answer.ok)
        throw KorvixError(answer.error.isEmpty() ? tr("The server answered %1").arg(answer.status) : answer.error);
    TGMaps::Calls calls(*map);
    if (const int skipped = send(answer.body, host, calls))
        m_shell.SetStatus(LayerFeeds::skippedText(skipped));
}

void TMapLayers::OpenKrakow()
{
    feed(Prefs::Source::Krakow, LayerFeeds::krakowPath, LayerFeeds::sendKrakow);
}

void TMapLayers::OpenZakopane()
{
    feed(Prefs::Source::Zakopane, LayerFeeds::zakopanePath,
         [](const QByteArray &body, const QString &, IMapCalls &out) { return LayerFeeds::sendZakopane(body, out); });
}

void TMapLayers::OpenGDDKIA_1(const QString &file)
{
    const QByteArray svg = readFile(file);
    TGMaps *map = mapPage();
    TGMaps::Calls calls(*map);
    try {
        LayerRoads::send(svg, calls, &m_shell);
    } catch (const KorvixError &e) {
        // The box names the file as the command line does.
        throw KorvixError(file + QStringLiteral(": ") + e.message());
    }
}

void TMapLayers::addMenus(QMenu *extra, QMenu *service)
{
    QWidget *parent = m_shell.window();
    auto guarded = [parent](std::function<void()> command) {
        return [parent, command] { ErrorGuard::run(parent, command); };
    };
    QMenu *google = extra->addMenu(QStringLiteral("GoogleAPI"));
    google->addAction(tr("TripMaster (*.csv)"), this, guarded([this, parent] {
        QString folder = Folders::UserDataFolder();
        try {
            const QString root = m_shell.GetSelTTPath();
            if (const QString itn = DeviceFiles::find(root, QStringLiteral("itn")); !itn.isEmpty())
                folder = itn;
        } catch (const KorvixError &) {
            // No device selected: the user's own folder.
        }
        const QString file = QFileDialog::getOpenFileName(parent, QString(), folder, tr("TripMaster csv (*.csv)"));
        if (!file.isEmpty())
            ShowTripMasterCSV(file);
    }));
    google->addAction(QString::fromUtf8("Kraków utrudniania"), this, guarded([this] { OpenKrakow(); }));
    google->addAction(QStringLiteral("Zakopane Kwatery"), this, guarded([this] { OpenZakopane(); }));
    service->addAction(QStringLiteral("GDDKIA_1"), this, guarded([this, parent] {
        const QString file = QFileDialog::getOpenFileName(parent, QString(), Folders::UserDataFolder(), tr("GDDIKA SVG (*.svg)"));
        if (!file.isEmpty())
            OpenGDDKIA_1(file);
    }));
}

// The capture page replaces the map page until GoogleAPI writes that again.
void TGMaps::NewRaster()
{
    if (m_kind == 2)
        return;
    const QString folder = MapFiles::folder();
    const MapPage::Config config = MapPage::readConfig(m_shell.settings());
    if (!MapPage::writeFiles(folder, config).isEmpty())
        return;
    TMapHost::writeChannelScript(folder);
    if (!RasterPage::writeFiles(folder, config).isEmpty())
        return;
    m_kind = 2;
    Navig(QUrl::fromLocalFile(m_pagePath), false);
}
