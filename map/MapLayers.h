// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map's extra layers as commands of the main window: raster overlays of the
// device and their capture, TripMaster tracks, the two city feeds and the road
// network. Each gets the map window and its page first.

#include "core/Settings.h"
#include "map/RasterLayer.h"

#include <QObject>
#include <QPointer>

#include <functional>

class IMapCalls;
class IShell;
class QMenu;
class TGMaps;

class TMapLayers : public QObject {
    Q_OBJECT
public:
    TMapLayers(IShell &shell, std::function<TGMaps *()> mapWindow, QObject *parent = nullptr);

    // A ".sat" of the device; the box of all shown since the last reset is fitted
    // when no more follow. Throws KorvixError for an unreadable description.
    void OpenRasterInGoogleAPI(const QString &file, bool more, bool reset);
    // The capture page in the map window.
    void GetImageFromGoogleAPI();
    void ShowTripMasterCSV(const QString &file);
    void OpenKrakow();
    void OpenZakopane();
    void OpenGDDKIA_1(const QString &file);

    // The capture's answer (callback 5): the picture cut from a grab of `map`, saved
    // under the name asked for. Failures go to the error box.
    void captured(TGMaps &map, const QString &dat);
    // Asks for the capture's file name; empty cancels. A save dialog by default.
    std::function<QString(QWidget *parent, const QString &proposed)> askName;

    // "GoogleAPI" ▸ TripMaster, Kraków, Zakopane under `extra`; "GDDKIA_1" in `service`.
    void addMenus(QMenu *extra, QMenu *service);

private:
    TGMaps *mapPage();
    void feed(Prefs::Source source, const char *path,
              const std::function<int(const QByteArray &, const QString &, IMapCalls &)> &send);
    IShell &m_shell;
    std::function<TGMaps *()> m_mapWindow;
    RasterShow m_rasters;
    QPointer<TGMaps> m_heard;
};
