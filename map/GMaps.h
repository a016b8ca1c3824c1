// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TGMaps: the map window. A browser view showing the page we write ourselves; the
// host drives it with WB_ script calls and the page answers through external.Write,
// which the web channel delivers to WBWrite.

#include "map/MapHost.h"
#include "map/MapLists.h"
#include "map/MapScript.h"
#include "platform/Editor.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWebEngineView>

#include <functional>
#include <vector>

class IShell;
class QAction;
class QEventLoop;
class QMenu;
class QWebEngineProfile;

class TGMaps : public QWebEngineView, public IEditor {
    Q_OBJECT
public:
    explicit TGMaps(IShell &shell, QWidget *parent = nullptr);
    ~TGMaps() override;
    EditorKind editorKind() const override { return EditorKind::Map; }

    // 0 none, 1 the map page, 2 the raster capture page.
    int pageKind() const { return m_kind; }
    QString pagePath() const { return m_pagePath; }
    // Writes and loads the map page unless it is already loaded.
    void GoogleAPI();
    // Writes and loads the raster capture page unless it is already loaded (kind 2).
    void NewRaster();
    // Loads `url`; offline it says so instead.
    void Navig(const QUrl &url, bool scrollBars);
    // An outside web page in this window, with scroll bars; the map page is written
    // and loaded afresh by the next GoogleAPI.
    void showWebPage(const QUrl &url) { Navig(url, true); }
    // Runs the event loop until the page has loaded; false when it failed, was
    // cancelled or the window went away meanwhile.
    bool WBWait();
    void cancelWait();

    // Calls joined into one script per ~30 ms of work; the rest goes at flush().
    class Calls : public IMapCalls {
    public:
        explicit Calls(TGMaps &map) : m_map(&map) { m_clock.start(); }
        ~Calls() override { flush(); }
        void send(const QString &call) override;
        bool takesBlocks() const override { return true; }
        void flush();

    private:
        QPointer<TGMaps> m_map;
        QString m_script;
        QElapsedTimer m_clock;
    };
    // One script for the page, after WBWait; ignored when there is no page.
    bool runScript(const QString &script);

    // The icon number for the next "image%3.3d.bmp".
    int takeIconNumber() { return m_iconCounter++; }

    // What a list editor hands over: a POI list with its icon, an itinerary's
    // points. Without an editor: the stored view and home.
    void showList(IMapSource &source);
    void showStoredView();
    MapFraming framing() const;

    // The page's callbacks; only our own page is heard, not a web page shown here.
    void WBWrite(int fun, const QString &dat);
    QString WBRead(int fun) const;

    // The "Tools" menu: Save View, Route and Extra with the five layers.
    QMenu *editorMenu() override { return m_tools; }
    QAction *extraAction(int index) const { return m_extra[index]; }
    QAction *routeAction(const QString &name) const;

    // The editor windows open now (the main window's children by default); points and
    // routes from the page go to one of them.
    std::function<QList<QWidget *>()> openEditors;

    // The switches the online test reads: the system's network state unless a test
    // sets its own.
    std::function<bool()> isOnline;

signals:
    void poiFromPage(const MapScript::PagePoint &point);
    void routeFromPage(const std::vector<MapScript::PagePoint> &points);
    // The capture page's "Get Image" (callback 5).
    void rasterFromPage(const QString &dat);
    void extraChecked(int index, bool checked);
    void pageLoaded(bool ok);

private:
    static QWebEngineProfile *profile();
    void buildMenu();
    // The open editor of `kind` the user picks, or a new one; null when cancelled.
    IMapSource *targetEditor(EditorKind kind);
    QMenu *m_tools = nullptr;
    QAction *m_extra[5] = {};
    IShell &m_shell;
    TMapHost *m_host;
    QString m_pagePath;
    int m_kind = 0;
    int m_iconCounter = 0;
    bool m_loading = false;
    bool m_loadOk = false;
    QEventLoop *m_wait = nullptr;
};
