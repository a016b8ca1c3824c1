// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsDialog.h"

#include "map/MapPage.h"

#include "app/Autoplay.h"
#include "app/Language.h"
#include "core/Settings.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
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
    m_loading = false;
    m_update->setChecked(Prefs::switches(m_settings).updateCheck());
}

int TSettings::exec()
{
    load();
    return QDialog::exec();
}
