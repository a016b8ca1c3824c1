// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/GMaps.h"

#include "core/Settings.h"
#include "itn/Itn.h"
#include "map/MapIcon.h"
#include "map/MapPage.h"
#include "map/MiniMap.h"
#include "map/SavePoiDlg.h"
#include "map/TileScheme.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "poi/Ov2Editor.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QNetworkInformation>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "platform/Folders.h"

namespace {

bool systemOnline()
{
    // Where no backend tells, we count as online.
    if (!QNetworkInformation::instance())
        QNetworkInformation::load(QNetworkInformation::Feature::Reachability);
    const QNetworkInformation *info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

// The services of the Extra entries, in the menu's order.
constexpr Prefs::MapService extraServices[] = {Prefs::MapService::Panoramio, Prefs::MapService::Wikipedia,
                                               Prefs::MapService::Traffic, Prefs::MapService::YouTube,
                                               Prefs::MapService::WebCam};

} // namespace

QWebEngineProfile *TGMaps::profile()
{
    // One profile for every map window: a stable agent and a disk cache for tiles.
    static QWebEngineProfile *p = [] {
        auto *prof = new QWebEngineProfile(QStringLiteral("KorvixMap"), QCoreApplication::instance());
        prof->setHttpUserAgent(QStringLiteral("Korvix/" KORVIX_VERSION));
        prof->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        prof->setCachePath(Folders::CommonDataFolder() + QStringLiteral("MapCache"));
        prof->setPersistentStoragePath(Folders::CommonDataFolder() + QStringLiteral("MapStorage"));
        TileSchemeHandler::install(prof); // archives, the tile cache
        return prof;
    }();
    return p;
}

TGMaps::TGMaps(IShell &shell, QWidget *parent)
    : QWebEngineView(parent), m_shell(shell), m_host(new TMapHost(this)),
      m_pagePath(MapFiles::folder() + QStringLiteral("TmpPOI.htm")), isOnline(systemOnline)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("GoogleAPI"));
    auto *page = new QWebEnginePage(profile(), this);
    setPage(page);
    QWebEngineSettings *s = page->settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    auto *channel = new QWebChannel(page);
    channel->registerObject(QStringLiteral("host"), m_host);
    page->setWebChannel(channel);
    connect(m_host, &TMapHost::written, this, [this](int fun, const QString &dat) {
        if (this->page()->url() == QUrl::fromLocalFile(m_pagePath))
            WBWrite(fun, dat);
    });
    // Away from our page (a web page, a link of the page followed) there is no map
    // page any more: the next display writes and loads it again.
    connect(this, &QWebEngineView::urlChanged, this, [this](const QUrl &url) {
        if (!url.isEmpty() && url != QUrl::fromLocalFile(m_pagePath))
            m_kind = 0;
    });
    connect(this, &TGMaps::extraChecked, this, [this](int i, bool on) { m_extra[i]->setChecked(on); });
    openEditors = [this] {
        QList<QWidget *> out;
        for (QWidget *p = parentWidget(); p; p = p->parentWidget())
            if (auto *mdi = qobject_cast<QMdiArea *>(p)) {
                for (QMdiSubWindow *s : mdi->subWindowList())
                    out << s->widget();
                break;
            }
        return out;
    };
    buildMenu();
    connect(this, &QWebEngineView::loadStarted, this, [this] { m_loading = true; });
    connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_loading = false;
        m_loadOk = ok;
        if (m_wait)
            m_wait->quit();
        setFocus();
        emit pageLoaded(ok);
    });
}

TGMaps::~TGMaps()
{
    if (m_wait)
        m_wait->quit();
    // The page goes before the profile it uses.
    delete page();
}

void TGMaps::buildMenu()
{
    m_tools = new QMenu(tr("Tools"), this);
    m_tools->addAction(tr("Save View"), this, [this] { runScript(QStringLiteral("savePosition();")); });
    QMenu *route = m_tools->addMenu(tr("Route"));
    route->setObjectName(QStringLiteral("route"));
    auto plain = [&](const QString &name, const QString &caption, const char *script) {
        QAction *a = route->addAction(caption, this, [this, script] { runScript(QLatin1String(script)); });
        a->setObjectName(name);
    };
    auto toggle = [&](const QString &name, const QString &caption, const char *function) {
        QAction *a = route->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(true);
        connect(a, &QAction::toggled, this, [this, function](bool on) {
            runScript(QStringLiteral("%1(%2);").arg(QLatin1String(function), on ? QStringLiteral("true") : QStringLiteral("false")));
        });
    };
    plain(QStringLiteral("Show"), tr("Show"), "showRoute();");
    plain(QStringLiteral("Save"), tr("Save"), "saveRoute();");
    toggle(QStringLiteral("StartAtHome"), tr("StartAtHome"), "WB_startHome");
    toggle(QStringLiteral("Walking"), tr("Walking"), "WB_TravelMode");
    toggle(QStringLiteral("AvoidHigways"), tr("AvoidHigways"), "WB_AvoidHighways");
    plain(QStringLiteral("Remove"), tr("Remove"), "removeRoute();");

    QMenu *extra = m_tools->addMenu(tr("Extra"));
    extra->setToolTipsVisible(true);
    static const char *const functions[] = {"doPano", "doWiki", "doTraf", "doYouTube", "doWebCam"};
    const QString captions[] = {tr("Panoramio"), tr("Wikipedia"), tr("Traffic"), tr("YouTube"), tr("WebCam")};
    for (int i = 0; i < 5; ++i) {
        QAction *a = extra->addAction(captions[i]);
        a->setCheckable(true);
        m_extra[i] = a;
        // Without a source the page's layer would do nothing; the entry says what to fill.
        const Prefs::MapService service = extraServices[i];
        auto update = [this, a, service] {
            const bool has = !Prefs::map(m_shell.settings()).service(service).isEmpty();
            a->setEnabled(has);
            a->setToolTip(has ? QString()
                              : tr("No source is set for this layer: fill in the setting %1")
                                    .arg(Prefs::Map::serviceSetting(service)));
        };
        update();
        connect(extra, &QMenu::aboutToShow, a, update);
        connect(m_tools, &QMenu::aboutToShow, a, update);
        // The check mark follows the page's report, not the click.
        connect(a, &QAction::triggered, this, [this, a, i](bool checked) {
            a->setChecked(!checked);
            runScript(QStringLiteral("%1(%2);").arg(QLatin1String(functions[i]), checked ? QStringLiteral("true") : QStringLiteral("false")));
        });
    }
}

QAction *TGMaps::routeAction(const QString &name) const
{
    return m_tools->findChild<QMenu *>(QStringLiteral("route"))->findChild<QAction *>(name);
}

IMapSource *TGMaps::targetEditor(EditorKind kind)
{
    auto sourceOf = [](QWidget *w) {
        auto *e = dynamic_cast<IEditor *>(w);
        return e ? e->as<IMapSource>() : nullptr;
    };
    QList<QWidget *> windows;
    for (QWidget *w : openEditors())
        if (auto *e = dynamic_cast<IEditor *>(w); e && e->editorKind() == kind && sourceOf(w))
            windows << w;
    bool cancelled = false;
    if (QWidget *chosen = TSavePOIDlg::choose(this, windows, cancelled))
        return sourceOf(chosen);
    if (cancelled)
        return nullptr;
    if (kind == EditorKind::Poi) {
        auto *poi = new TOV2(m_shell);
        new TMiniMap(*poi, m_shell);
        poi->New(Folders::UserDataFolder());
        m_shell.addEditorWindow(poi);
        return poi;
    }
    auto *itn = new TItnEdit(m_shell);
    itn->New(QString());
    m_shell.addEditorWindow(itn);
    return itn;
}

void TGMaps::GoogleAPI()
{
    if (m_kind == 1)
        return;
    const QString folder = MapFiles::folder();
    if (!MapPage::writeFiles(folder, MapPage::readConfig(m_shell.settings())).isEmpty())
        return;
    TMapHost::writeChannelScript(folder);
    m_kind = 1;
    Navig(QUrl::fromLocalFile(m_pagePath), false);
}

void TGMaps::Navig(const QUrl &url, bool scrollBars)
{
    if (isOnline && !isOnline()) {
        QMessageBox::information(this, QStringLiteral("GMap"), tr("You are offline"));
        return;
    }
    if (url != QUrl::fromLocalFile(m_pagePath))
        m_kind = 0;
    page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, scrollBars);
    setContextMenuPolicy(scrollBars ? Qt::DefaultContextMenu : Qt::NoContextMenu);
    m_loading = true;
    m_loadOk = false;
    load(url);
}

bool TGMaps::WBWait()
{
    if (!m_loading)
        return m_loadOk;
    QPointer<TGMaps> self(this);
    QEventLoop loop;
    m_wait = &loop;
    loop.exec();
    if (!self)
        return false;
    m_wait = nullptr;
    return !m_loading && m_loadOk;
}

void TGMaps::cancelWait()
{
    if (m_wait)
        m_wait->quit();
}

bool TGMaps::runScript(const QString &script)
{
    // A web page shown here has no map: our calls are not for it.
    if (m_kind == 0)
        return false;
    QPointer<TGMaps> self(this);
    if (!WBWait() || !self || m_kind == 0)
        return false;
    page()->runJavaScript(script);
    return true;
}

void TGMaps::Calls::send(const QString &call)
{
    m_script.append(call);
    m_script.append(u'\n');
    // One message per 30 ms of work at most, and never a script much larger than the
    // browser's script engine takes in well: a million POIs in ~130K-character
    // scripts take half the time they take in 30 ms (~1.5M-character) ones.
    if (m_script.size() >= 128 * 1024 || m_clock.elapsed() >= 30)
        flush();
}

void TGMaps::Calls::flush()
{
    if (!m_script.isEmpty() && m_map)
        m_map->runScript(m_script);
    m_script.clear();
    m_clock.restart();
}

MapFraming TGMaps::framing() const
{
    const Prefs::Map map = Prefs::map(m_shell.settings());
    return MapFraming{map.initialView(), map.home()};
}

void TGMaps::showList(IMapSource &source)
{
    const MapPayload payload = source.mapPayload();
    if (!payload.rows)
        return;
    GoogleAPI();
    Calls calls(*this);
    if (payload.kind == MapPayload::Kind::Itinerary) {
        sendItinerary(*payload.rows, framing(), calls);
        return;
    }
    m_shell.SetStatus(QCoreApplication::translate("TOV2", "Producing images"));
    const QString icon = MapFiles::writeIcon(payload.icon, takeIconNumber());
    sendPoiList(*payload.rows, icon, framing(), calls, &m_shell);
}

void TGMaps::showStoredView()
{
    const MapFraming f = framing();
    Calls calls(*this);
    if (auto view = MapScript::initialView(f.initialView))
        calls.send(*view);
    if (auto home = MapScript::home(f.home))
        calls.send(*home);
}

void TGMaps::WBWrite(int fun, const QString &dat)
{
    switch (fun) {
    case 1:
        Prefs::map(m_shell.settings()).setHome(dat);
        break;
    case 2:
        Prefs::map(m_shell.settings()).setInitialView(dat);
        break;
    case 3:
        if (const auto p = MapScript::parsePoint(dat)) {
            emit poiFromPage(*p);
            if (IMapSource *poi = targetEditor(EditorKind::Poi))
                poi->addMapPoint(p->longitude, p->latitude, p->name);
        }
        break;
    case 4:
        if (const auto r = MapScript::parseRoute(dat)) {
            emit routeFromPage(*r);
            if (IMapSource *itn = targetEditor(EditorKind::Itinerary))
                for (const MapScript::PagePoint &p : *r)
                    itn->addMapPoint(p.longitude, p.latitude, p.name);
        }
        break;
    case 5:
        emit rasterFromPage(dat);
        break;
    case 100: case 101: case 102: case 103: case 104:
        emit extraChecked(fun - 100, dat == QLatin1String("True"));
        break;
    default:
        break;
    }
}

QString TGMaps::WBRead(int) const
{
    return QString();
}
