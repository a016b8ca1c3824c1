// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SettingsDialog.h"

#include "map/MapPage.h"

#include "app/Autoplay.h"
#include "app/Config.h"
#include "app/Language.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

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
    const struct {
        const char *key;
        const char *label;
    } services[] = {
        {"TileMap", QT_TR_NOOP("Map tiles")}, {"TileMapAttribution", QT_TR_NOOP("Map tiles attribution")},
        {"TileTerrain", QT_TR_NOOP("Terrain tiles")}, {"TileSatellite", QT_TR_NOOP("Satellite tiles")},
        {"TileLabels", QT_TR_NOOP("Labels over satellite tiles")},
        {"Driving", QT_TR_NOOP("Driving directions")}, {"Walking", QT_TR_NOOP("Walking directions")},
        {"AvoidHighways", QT_TR_NOOP("Avoid highways")}, {"Search", QT_TR_NOOP("Search")},
        {"Reverse", QT_TR_NOOP("Address of a position")}, {"Wikipedia", QT_TR_NOOP("Wikipedia")},
        {"Panoramio", QT_TR_NOOP("Panoramio")}, {"Traffic", QT_TR_NOOP("Traffic")},
        {"YouTube", QT_TR_NOOP("YouTube")}, {"WebCam", QT_TR_NOOP("WebCam")},
    };
    const MapPage::Config defaults = MapPage::readConfig(KorvixSettings(QString()));
    const QMap<QString, QString> placeholders{
        {"TileMap", defaults.tiles[0].url}, {"TileMapAttribution", defaults.tiles[0].attribution},
        {"TileTerrain", defaults.tiles[1].url}, {"TileSatellite", defaults.tiles[2].url},
        {"TileLabels", defaults.tiles[3].url},
        {"Driving", defaults.services.driving}, {"Walking", defaults.services.walking},
        {"AvoidHighways", defaults.services.avoidHighways}, {"Search", defaults.services.search},
        {"Reverse", defaults.services.reverse}, {"Wikipedia", defaults.extras.wikipedia}};
    for (const auto &s : services) {
        const QString key = QLatin1String(s.key);
        auto *edit = new QLineEdit;
        edit->setPlaceholderText(placeholders.value(key));
        mapsLayout->addRow(tr(s.label), edit);
        m_services.insert(key, edit);
        connect(edit, &QLineEdit::textChanged, this, [this, key](const QString &t) {
            if (!m_loading)
                m_settings.WriteString(QStringLiteral("GoogleAPI"), key, t);
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
        Config::setUpdateCheck(m_settings, on);
        if (on && onUpdateSwitchedOn)
            onUpdateSwitchedOn();
    });
    connect(autoplay, &QPushButton::clicked, this, [this] { Autoplay::registerHandler(m_executable); });
    connect(m_initialView, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (!m_loading)
            Config::setInitialView(m_settings, t);
    });
    connect(m_home, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (!m_loading)
            Config::setHome(m_settings, t);
    });
    connect(m_maxDistance, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (m_loading)
            return;
        bool ok = false;
        const int metres = t.trimmed().toInt(&ok);
        Config::setMaxDistance(m_settings, ok ? metres : 0);
    });
}

void TSettings::load()
{
    m_loading = true;
    m_pages->setCurrentIndex(0);
    // Without a (known) stored choice the built-in English texts are the ones in use.
    const int stored = m_language->findData(Language::storedCode(m_executable));
    m_language->setCurrentIndex(stored >= 0 ? stored : m_language->findData(Language::builtInCode()));
    m_initialView->setText(Config::initialView(m_settings));
    m_home->setText(Config::home(m_settings));
    for (auto it = m_services.cbegin(); it != m_services.cend(); ++it)
        it.value()->setText(m_settings.ReadString(QStringLiteral("GoogleAPI"), it.key()));
    m_maxDistance->setText(QString::number(Config::maxDistance(m_settings)));
    m_loading = false;
    m_update->setChecked(Config::updateCheck(m_settings));
}

int TSettings::exec()
{
    load();
    return QDialog::exec();
}
