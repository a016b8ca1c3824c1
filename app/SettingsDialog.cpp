// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsDialog.h"

#include "map/MapPage.h"
#include "map/TileArchive.h"
#include "map/TileScheme.h"
#include "map/TileSources.h"

#include "app/Autoplay.h"
#include "app/Language.h"
#include "core/Settings.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QLocale>
#include <QVBoxLayout>

namespace {
const struct {
    Prefs::MapService which;
    const char *label;
} mapServices[] = {
    {Prefs::MapService::TileMap, QT_TRANSLATE_NOOP("TSettings", "Map tiles")},
    {Prefs::MapService::TileMapAttribution, QT_TRANSLATE_NOOP("TSettings", "Map tiles attribution")},
    {Prefs::MapService::TileTerrain, QT_TRANSLATE_NOOP("TSettings", "Terrain tiles")},
    {Prefs::MapService::TileSatellite, QT_TRANSLATE_NOOP("TSettings", "Satellite tiles")},
    {Prefs::MapService::TileLabels, QT_TRANSLATE_NOOP("TSettings", "Labels over satellite tiles")},
    {Prefs::MapService::Driving, QT_TRANSLATE_NOOP("TSettings", "Driving directions")},
    {Prefs::MapService::Walking, QT_TRANSLATE_NOOP("TSettings", "Walking directions")},
    {Prefs::MapService::AvoidHighways, QT_TRANSLATE_NOOP("TSettings", "Avoid highways")},
    {Prefs::MapService::Search, QT_TRANSLATE_NOOP("TSettings", "Search")},
    {Prefs::MapService::Reverse, QT_TRANSLATE_NOOP("TSettings", "Address of a position")},
    {Prefs::MapService::Wikipedia, QT_TRANSLATE_NOOP("TSettings", "Wikipedia")},
    {Prefs::MapService::Panoramio, QT_TRANSLATE_NOOP("TSettings", "Panoramio")},
    {Prefs::MapService::Traffic, QT_TRANSLATE_NOOP("TSettings", "Traffic")},
    {Prefs::MapService::YouTube, QT_TRANSLATE_NOOP("TSettings", "YouTube")},
    {Prefs::MapService::WebCam, QT_TRANSLATE_NOOP("TSettings", "WebCam")},
};
} // namespace

TSettings::TSettings(KorvixSettings &settings, const QString &executablePath, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_executable(executablePath)
{
    setWindowTitle(tr("Korvix Settings"));
    setModal(true);
    m_pages = new QTabWidget;
    auto *top = new QVBoxLayout(this);
    top->addWidget(m_pages);

    auto *basic = new QWidget;
    auto *basicLayout = new QVBoxLayout(basic);
    basicLayout->addWidget(new QLabel(tr("Select language (Needs restart of application to take efect)")));
    m_language = new QComboBox;
    for (const QString &entry : Language::languageList())
        m_language->addItem(entry.section(QLatin1Char('='), 1), entry.section(QLatin1Char('='), 0, 0));
    basicLayout->addWidget(m_language);
    m_update = new QCheckBox(tr("Check for updates"));
    basicLayout->addWidget(m_update);
    auto *autoplay = new QPushButton(tr("Register autoplay handler"));
    basicLayout->addWidget(autoplay, 0, Qt::AlignLeft);
    basicLayout->addStretch();
    m_pages->addTab(basic, tr("Basic"));

    auto *maps = new QWidget;
    auto *mapsLayout = new QFormLayout(maps);
    m_initialView = new QLineEdit;
    m_home = new QLineEdit;
    mapsLayout->addRow(tr("Initial view bounds"), m_initialView);
    mapsLayout->addRow(tr("Home position"), m_home);
    // Every host of the map is configuration; empty means the built-in default, shown
    // greyed.
    for (const auto &s : mapServices) {
        auto *edit = new QLineEdit;
        edit->setPlaceholderText(Prefs::Map::serviceDefault(s.which));
        mapsLayout->addRow(tr(s.label), edit);
        m_services.insert(Prefs::Map::serviceKey(s.which), edit);
        connect(edit, &QLineEdit::textChanged, this, [this, which = s.which](const QString &t) {
            if (!m_loading)
                Prefs::map(m_settings).setService(which, t);
        });
    }
    m_pages->addTab(maps, QStringLiteral("GoogleAPI"));
    buildOfflinePage();

    auto *tools = new QWidget;
    auto *toolsLayout = new QFormLayout(tools);
    m_maxDistance = new QLineEdit;
    toolsLayout->addRow(tr("MaxDistance [m]"), m_maxDistance);
    m_pages->addTab(tools, tr("Tools"));

    connect(m_language, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_loading && i >= 0)
            Language::storeCode(m_executable, m_language->itemData(i).toString());
    });
    // Unlike the other controls this one reacts while loading too: the first opening
    // with the check on counts as switching it on.
    connect(m_update, &QCheckBox::toggled, this, [this](bool on) {
        Prefs::switches(m_settings).setUpdateCheck(on);
        if (on && onUpdateSwitchedOn)
            onUpdateSwitchedOn();
    });
    connect(autoplay, &QPushButton::clicked, this, [this] { Autoplay::registerHandler(m_executable); });
    connect(m_initialView, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (!m_loading)
            Prefs::map(m_settings).setInitialView(t);
    });
    connect(m_home, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (!m_loading)
            Prefs::map(m_settings).setHome(t);
    });
    connect(m_maxDistance, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (m_loading)
            return;
        bool ok = false;
        const int metres = t.trimmed().toInt(&ok);
        Prefs::lists(m_settings).setMaxDistance(ok ? metres : 0);
    });
}

void TSettings::load()
{
    m_loading = true;
    m_pages->setCurrentIndex(0);
    // Without a (known) stored choice the built-in English texts are the ones in use.
    const int stored = m_language->findData(Language::storedCode(m_executable));
    m_language->setCurrentIndex(stored >= 0 ? stored : m_language->findData(Language::builtInCode()));
    const Prefs::Map map = Prefs::map(m_settings);
    m_initialView->setText(map.initialView());
    m_home->setText(map.home());
    for (const auto &s : mapServices)
        m_services.value(Prefs::Map::serviceKey(s.which))->setText(map.storedService(s.which));
    m_maxDistance->setText(QString::number(Prefs::lists(m_settings).maxDistance()));
    m_archives->clear();
    m_archives->addItems(TileSources::archivePaths(m_settings));
    m_cacheLimit->setValue(int(TileSources::cacheLimit(m_settings) >> 20));
    showCacheSize();
    m_loading = false;
    m_update->setChecked(Prefs::switches(m_settings).updateCheck());
}

int TSettings::exec()
{
    load();
    return QDialog::exec();
}

// The map without a network: the user's tile archives as base layers of both maps,
// and the disk cache of online tiles.
void TSettings::buildOfflinePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(tr("Tile archives (MBTiles, PMTiles) shown as base layers of the map")));
    m_archives = new QListWidget;
    layout->addWidget(m_archives);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(tr("Add tile archive..."));
    auto *remove = new QPushButton(tr("Remove"));
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    layout->addLayout(buttons);
    auto *cache = new QFormLayout;
    m_cacheLimit = new QSpinBox;
    m_cacheLimit->setRange(10, 100000);
    m_cacheLimit->setSuffix(QStringLiteral(" MB"));
    cache->addRow(tr("Tile cache limit"), m_cacheLimit);
    m_cacheSize = new QLabel;
    cache->addRow(tr("Tile cache"), m_cacheSize);
    layout->addLayout(cache);
    auto *empty = new QPushButton(tr("Empty the tile cache"));
    layout->addWidget(empty, 0, Qt::AlignLeft);
    layout->addStretch();
    m_pages->addTab(page, tr("Offline map"));

    chooseArchive = [this] {
        return QFileDialog::getOpenFileName(this, tr("Add tile archive"), QString(),
                                            tr("Tile archives (*.mbtiles *.pmtiles);;All files (*)"));
    };
    connect(add, &QPushButton::clicked, this, &TSettings::addArchive);
    connect(remove, &QPushButton::clicked, this, &TSettings::removeArchive);
    connect(empty, &QPushButton::clicked, this, &TSettings::emptyTileCache);
    connect(m_cacheLimit, &QSpinBox::valueChanged, this, [this](int mb) {
        if (m_loading)
            return;
        Prefs::tiles(m_settings).setCacheMegabytes(mb);
        TileSchemeHandler::instance()->cache().setLimit(qint64(mb) << 20);
    });
}

void TSettings::addArchive()
{
    const QString path = chooseArchive ? chooseArchive() : QString();
    if (path.isEmpty())
        return;
    // Checked now, so a file that is no archive says why here rather than on the map.
    QString error;
    if (!TileArchive::open(path, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
        return;
    }
    if (m_archives->findItems(path, Qt::MatchExactly).isEmpty())
        m_archives->addItem(path);
    storeArchives();
}

void TSettings::removeArchive()
{
    delete m_archives->currentItem();
    storeArchives();
}

void TSettings::storeArchives()
{
    QStringList paths;
    for (int i = 0; i < m_archives->count(); ++i)
        paths << m_archives->item(i)->text();
    TileSources::setArchivePaths(m_settings, paths);
    TileSchemeHandler::instance()->forget();
}

void TSettings::emptyTileCache()
{
    if (const QString e = TileSchemeHandler::instance()->cache().clear(); !e.isEmpty())
        QMessageBox::warning(this, windowTitle(), e);
    showCacheSize();
}

void TSettings::showCacheSize()
{
    const qint64 bytes = TileSchemeHandler::instance()->cache().size();
    m_cacheSize->setText(tr("%1 MB in %2").arg(QLocale::c().toString(double(bytes) / (1 << 20), 'f', 1),
                                               TileSources::cacheFolder()));
}
