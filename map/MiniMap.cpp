// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/MiniMap.h"

#include "grid/RBGrids.h"
#include "core/RBParams.h"
#include "map/MapHost.h"
#include "map/MapIcon.h"
#include "map/MapPage.h"
#include "map/TileScheme.h"
#include "platform/Shell.h"
#include "poi/Ov2Editor.h"
#include "core/Ov2Units.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {
constexpr int PanelWidth = 300;

// The small map asks nothing: the page's alerts, questions and prompts go unseen.
class QuietPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl &, const QString &) override {}
    bool javaScriptConfirm(const QUrl &, const QString &) override { return false; }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override { return false; }
};

// latitude, longitude, description as ParseFields cuts the label's text.
TRBParams labelFields(const QString &text)
{
    TRBParams f;
    f.ParseFields(text, 0, TRBCharSet{','}, RBConventions::doubleQuote(), RBConventions::blankSet());
    return f;
}
} // namespace

TMiniMap::TMiniMap(TOV2 &editor, IShell &shell)
    : QWidget(editor.listSplitter()), m_editor(editor), m_shell(shell), m_host(new TMapHost(this))
{
    setObjectName(QStringLiteral("MiniMap"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    m_label = new QLabel(QStringLiteral("?"), this);
    QFont bold = m_label->font();
    bold.setBold(true);
    m_label->setFont(bold);
    m_label->setTextFormat(Qt::PlainText);
    m_update = new QPushButton(tr("Update"), this);
    m_addNew = new QPushButton(tr("AddNew"), this);
    bar->addWidget(m_label, 1);
    bar->addWidget(m_update);
    bar->addWidget(m_addNew);
    layout->addLayout(bar);
    m_view = new QWebEngineView(this);
    m_view->setPage(new QuietPage(m_view));
    TileSchemeHandler::install(m_view->page()->profile()); // archives, the tile cache
    m_view->page()->setAudioMuted(true);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    QWebEngineSettings *s = m_view->page()->settings();
    s->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    auto *channel = new QWebChannel(m_view->page());
    channel->registerObject(QStringLiteral("host"), m_host);
    m_view->page()->setWebChannel(channel);
    layout->addWidget(m_view, 1);

    connect(m_host, &TMapHost::written, this, &TMiniMap::Write);
    connect(m_update, &QPushButton::clicked, this, &TMiniMap::Update);
    connect(m_addNew, &QPushButton::clicked, this, &TMiniMap::AddNew);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_loading = false;
        m_pageLoaded = ok;
    });

    QSplitter *split = editor.listSplitter();
    split->addWidget(this);
    split->setStretchFactor(1, 0);
    setPanelWidth(PanelWidth);

    // The map follows the row the user lands on, not every row passed on the way.
    TRBGrid *grid = editor.grid();
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &now, const QModelIndex &before) {
                if (now.row() != before.row())
                    MapDelay = 4;
            });

    isOnline = [] { return true; };
    m_timer = new QTimer(this);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &TMiniMap::tick);
    m_timer->start();
}

QString TMiniMap::LastMapPoint() const
{
    return m_label->text();
}

void TMiniMap::setLastMapPoint(const QString &text)
{
    m_label->setText(text);
}

void TMiniMap::setPanelWidth(int width)
{
    m_width = width;
    m_shrunk = width <= 1;
    setMaximumWidth(m_shrunk ? 1 : QWIDGETSIZE_MAX);
    applyWidth();
}

void TMiniMap::applyWidth()
{
    QSplitter *split = m_editor.listSplitter();
    QList<int> sizes = split->sizes();
    const int total = split->width() - split->handleWidth();
    if (sizes.size() < 2 || total <= m_width)
        return;
    sizes[1] = m_width;
    sizes[0] = total - m_width;
    split->setSizes(sizes);
}

void TMiniMap::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The splitter has its width only once the window is laid out.
    QTimer::singleShot(0, this, &TMiniMap::applyWidth);
}

void TMiniMap::loadPage()
{
    const QString folder = MapFiles::folder();
    const MapPage::Config config = MapPage::readConfig(m_shell.settings());
    if (!MapPage::writeFiles(folder, config).isEmpty())
        return;
    TMapHost::writeChannelScript(folder);
    m_loading = true;
    m_view->setHtml(MapPage::miniPageHtml(config), QUrl::fromLocalFile(folder));
}

void TMiniMap::tick()
{
    if (MapDelay > 0)
        --MapDelay;
    if (!m_pageLoaded && !m_loading) {
        loadPage();
        MapDelay = 10;
    }
    if (!isOnline() || !m_pageLoaded) {
        if (!m_shrunk)
            setPanelWidth(1);
        m_shrunk = true;
        setLastMapPoint(QStringLiteral("OffLine"));
        return;
    }
    if (m_shrunk)
        setPanelWidth(PanelWidth);
    if (MapDelay != 0)
        return;
    MapDelay = -1;
    TRBGrid *grid = m_editor.grid();
    const int row = grid->Row();
    const QString lon = grid->GetCell(1, row), lat = grid->GetCell(2, row);
    if (lon.isEmpty() || lat.isEmpty()) {
        setLastMapPoint(QString());
        return;
    }
    const QString la = FromOV2Units(lat), lo = FromOV2Units(lon);
    setLastMapPoint(la + u',' + lo + QStringLiteral(",\"") + grid->GetCell(3, row) + u'"');
    WB_SetMarker(la, lo);
}

bool TMiniMap::WB_SetMarker(const QString &lat, const QString &lng)
{
    if (!isOnline())
        return false;
    QPointer<TMiniMap> self(this);
    while (m_loading && isOnline()) {
        QEventLoop wait;
        QTimer::singleShot(20, &wait, &QEventLoop::quit);
        wait.exec();
        if (!self)
            return false;
    }
    if (!m_pageLoaded)
        return false;
    // The texts are the list's own degree numbers, never text from outside.
    m_view->page()->runJavaScript(QStringLiteral("WB_SetMarker(%1,%2);").arg(lat, lng));
    return true;
}

void TMiniMap::Write(int type, const QString &text)
{
    if (type == 1)
        setLastMapPoint(text);
}

void TMiniMap::AddNew()
{
    const QString text = LastMapPoint();
    if (text.isEmpty())
        return;
    const TRBParams f = labelFields(text);
    m_editor.AddPoi(f.GetField(1), f.GetField(0), f.GetField(2));
    m_editor.NeedSave(TOV2::ListBit);
}

void TMiniMap::Update()
{
    const TRBParams f = labelFields(LastMapPoint());
    TRBGrid *grid = m_editor.grid();
    const int row = grid->Row();
    if (row < 1)
        return;
    grid->SetCell(1, row, ToOV2Units(f.FieldView(1)));
    grid->SetCell(2, row, ToOV2Units(f.FieldView(0)));
    grid->SetCell(3, row, f.GetField(2));
    grid->MarkRow(row, RBFlags::RowAdded);
    m_editor.NeedSave(TOV2::AllBits);
}

bool TMiniMap::eventFilter(QObject *watched, QEvent *event)
{
    TRBGrid *grid = m_editor.grid();
    if (watched == grid && event->type() == QEvent::KeyRelease) {
        if (grid->Col() == 1 || grid->Col() == 2)
            MapDelay = 4;
    } else if (watched == grid->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *me = static_cast<QMouseEvent *>(event);
        if (grid->rowAt(me->position().toPoint().y()) >= 1)
            MapDelay = 0;
    }
    return QWidget::eventFilter(watched, event);
}
