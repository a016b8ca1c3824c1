// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QMap>

#include <functional>

class KorvixSettings;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

// "Korvix Settings": every change is stored at once; there is no OK or Cancel.
class TSettings : public QDialog {
    Q_OBJECT
public:
    TSettings(KorvixSettings &settings, const QString &executablePath, QWidget *parent = nullptr);

    // Switching "Check for updates" on runs the check again about a second later.
    std::function<void()> onUpdateSwitchedOn;

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

private:
    KorvixSettings &m_settings;
    QString m_executable;
    QTabWidget *m_pages;
    QComboBox *m_language;
    QCheckBox *m_update;
    QLineEdit *m_initialView, *m_home, *m_maxDistance;
    QMap<QString, QLineEdit *> m_services;
    bool m_loading = false;
};
