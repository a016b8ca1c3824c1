// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QMap>

#include <functional>

class KorvixSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTabWidget;

// "Korvix Settings": every change is stored at once; there is no OK or Cancel.
class TSettings : public QDialog {
    Q_OBJECT
public:
    TSettings(KorvixSettings &settings, const QString &executablePath, QWidget *parent = nullptr);

    // Switching "Check for updates" on runs the check again about a second later.
    std::function<void()> onUpdateSwitchedOn;
    // Asks for a tile archive to add (a file dialog); empty: none chosen.
    std::function<QString()> chooseArchive;

    // Loads the stored values into the controls and shows the first page.
    void load();
    int exec() override;

    QComboBox *languageBox() const { return m_language; }
    QCheckBox *updateBox() const { return m_update; }
    QLineEdit *initialViewEdit() const { return m_initialView; }
    QLineEdit *homeEdit() const { return m_home; }
    QLineEdit *maxDistanceEdit() const { return m_maxDistance; }
    // The map's web services on the "GoogleAPI" page, by settings key ("TileMap", ...).
    QLineEdit *serviceEdit(const QString &key) const { return m_services.value(key); }
    QTabWidget *pages() const { return m_pages; }
    // The "Offline map" page: the tile archives, the cache's size, limit and emptying.
    QListWidget *archiveList() const { return m_archives; }
    QLabel *cacheSizeLabel() const { return m_cacheSize; }
    QSpinBox *cacheLimitBox() const { return m_cacheLimit; }
    void addArchive();
    void removeArchive();
    void emptyTileCache();

private:
    KorvixSettings &m_settings;
    QString m_executable;
    QTabWidget *m_pages;
    QComboBox *m_language;
    QCheckBox *m_update;
    QLineEdit *m_initialView, *m_home, *m_maxDistance;
    QMap<QString, QLineEdit *> m_services;
    QListWidget *m_archives;
    QLabel *m_cacheSize;
    QSpinBox *m_cacheLimit;
    bool m_loading = false;

    void buildOfflinePage();
    void showCacheSize();
    void storeArchives();
};
