// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menus, toolbars and the menu merging of the editor on top.
#include "app/MainForm.h"

#include "app/AboutBox.h"
#include "app/BaseIcons.h"
#include "app/SettingsDialog.h"
#include "grid/RBActions.h"
#include "map/GMaps.h"
#include "platform/Folders.h"
#include "services/HexExportMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QUrl>

QAction *TMainForm::command(SharedCommand c, const QString &caption, const QKeySequence &key, const QString &hint)
{
    auto *a = new QAction(caption, this);
    if (!key.isEmpty())
        a->setShortcut(key);
    if (!hint.isEmpty()) {
        a->setToolTip(hint);
        a->setStatusTip(hint);
    }
    a->setIcon(commandIcon(c));
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, [this, c] { guarded([&] { CommandRules::route(c, editorContext()); }); });
    m_commands.insert(c, a);
    return a;
}

void TMainForm::addFileNew(const QString &caption, const std::function<void()> &create)
{
    m_newMenu->menuAction()->setVisible(true);
    m_newMenu->addAction(caption, this, [this, create] { guarded(create); });
}

void TMainForm::addFileOpen(const QString &caption, const QString &filter, const std::function<void(const QString &)> &open)
{
    // The editors' entries come before the map's, which is always last.
    auto *a = new QAction(caption, m_openMenu);
    connect(a, &QAction::triggered, this, [this, filter, open] {
        const QString file = QFileDialog::getOpenFileName(this, QString(), Folders::UserDataFolder(), filter);
        if (!file.isEmpty())
            guarded([&] { open(file); });
    });
    m_openMenu->insertAction(m_commands.value(SharedCommand::GoogleAPI), a);
}

// --- menus and toolbars ---------------------------------------------------------

namespace {
// The tile commands of the window menu: side by side or one above the other.
void tile(QMdiArea *mdi, bool horizontally)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : mdi->subWindowList())
        if (!w->isMinimized())
            windows << w;
    if (windows.isEmpty())
        return;
    const QRect area = mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (horizontally) {
            const int h = area.height() / n;
            windows[i]->setGeometry(0, i * h, area.width(), h);
        } else {
            const int w = area.width() / n;
            windows[i]->setGeometry(i * w, 0, w, area.height());
        }
    }
}

void arrangeIcons(QMdiArea *mdi)
{
    int x = 0;
    const int bottom = mdi->viewport()->height();
    for (QMdiSubWindow *w : mdi->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}
} // namespace

void TMainForm::buildMenus()
{
    m_saveAction = command(SharedCommand::Save, tr("Save"), QKeySequence(), QString());
    command(SharedCommand::SaveAs, tr("RBSaveAs"), QKeySequence::SaveAs, QString());
    QAction *googleApi = command(SharedCommand::GoogleAPI, QStringLiteral("GoogleAPI"), QKeySequence(), QString());
    connect(googleApi, &QAction::triggered, this, &TMainForm::GoogleAPIAction);
    command(SharedCommand::Search, tr("Search"), QKeySequence(Qt::CTRL | Qt::Key_F), tr("Search for text in Poi's"));
    command(SharedCommand::Duplicates, tr("Duplicates"), QKeySequence(Qt::CTRL | Qt::Key_B), tr("Select duplicated Poi's"));
    command(SharedCommand::Select, tr("Select"), QKeySequence(Qt::CTRL | Qt::Key_S), tr("Select Poi's containing text"));
    // Ctrl+R belongs to the "Reverse" menu item.
    command(SharedCommand::SelRegion, tr("SelectRegion"), QKeySequence(), tr("Select Poi's located in saved region"));
    command(SharedCommand::PlaySound, tr("PlaySound"), QKeySequence(), tr("Play"));
    command(SharedCommand::RecSound, tr("RecSound"), QKeySequence(), tr("Record"));
    command(SharedCommand::StopSound, tr("StopSound"), QKeySequence(), tr("Stop"));
    command(SharedCommand::DelSound, tr("DelSound"), QKeySequence(), tr("Redo"));
    command(SharedCommand::ImportSound, tr("ImportSound"), QKeySequence(), tr("Import Sound"));
    command(SharedCommand::SaveSound, tr("SaveSound"), QKeySequence(), tr("Save Sound"));
    command(SharedCommand::DeleteSound, tr("Delete"), QKeySequence(), QString());
    command(SharedCommand::TrimSound, tr("Trim"), QKeySequence(), QString());
    command(SharedCommand::NormalizeSound, tr("Normalize"), QKeySequence(), QString());

    QMenuBar *bar = menuBar();
    m_fileMenu = bar->addMenu(tr("&File"));
    m_newMenu = m_fileMenu->addMenu(tr("New"));
    m_newMenu->menuAction()->setVisible(false); // shown once an editor adds its entry
    m_openMenu = m_fileMenu->addMenu(tr("Open"));
    m_openMenu->addAction(googleApi);
    m_fileMenu->addAction(tr("Open device folder…"), this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, tr("Open device folder…"));
        if (!dir.isEmpty())
            openDeviceFolder(dir);
    });
    QAction *refresh = m_fileMenu->addAction(tr("Refresh"), this, [this] { guarded([&] { refreshDevices(deviceRoots()); }); });
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    refresh->setShortcutContext(Qt::WindowShortcut);
    m_fileMenu->addAction(m_saveAction);
    m_fileMenu->addAction(m_commands[SharedCommand::SaveAs]);
    m_exportMenu = m_fileMenu->addMenu(tr("Export"));
    m_exportMenu->menuAction()->setVisible(false); // shown while an editor offers exports
    // The window on top only, even while the focus is inside the map page and the area
    // has no active window: never the program, never another editor.
    QAction *close = m_fileMenu->addAction(tr("C&lose"), this, [this] {
        if (QMdiSubWindow *w = m_mdi->currentSubWindow())
            w->close();
    });
    m_windowCommands << close;
    m_fileMenu->addSeparator();
    QAction *exit = m_fileMenu->addAction(tr("E&xit"), this, &QWidget::close);
    exit->setShortcut(QKeySequence::Quit);

    m_editMenu = bar->addMenu(tr("&Edit"));
    m_editActions = new RBActions(this);
    m_editMenu->addActions(m_editActions->actions());
    m_editMenu->addSeparator();
    m_editMenu->addAction(tr("Settings"), this, [this] { m_settingsDialog->exec(); });

    m_windowMenu = bar->addMenu(tr("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TMainForm::updateWindowMenu);

    bar->addAction(tr("About..."), this, [this] { m_about->exec(); });

    QMenu *extra = bar->addMenu(tr("Extra"));
    m_serviceMenu = extra->addMenu(QStringLiteral("SERWIS"));
    HexExportMenu::addTo(m_serviceMenu, this);
    QMenu *web = extra->addMenu(tr("WebPages"));
    struct Site { const char *host; const char *path; const char *hint; };
    const Site sites[] = {
        {"www.gddkia.gov.pl", "/article/serwis_dla_kierowcow//index.php", "Generalna Dyrekcja Dróg Krajowych i Autostrad"},
        {"www.meteo.pl", "/", ""},
        {"www.poi-factory.com", "/", ""},
        {"espeak.sourceforge.net", "/", ""},
        {"www.targeo.pl", "/", ""},
        {"maps.google.com", "/", ""},
    };
    for (const Site &s : sites) {
        QAction *a = web->addAction(QLatin1String(s.host));
        a->setToolTip(QString::fromUtf8(s.hint));
        a->setStatusTip(QString::fromUtf8(s.hint));
        const QUrl url(QStringLiteral("http://") + QLatin1String(s.host) + QLatin1String(s.path));
        // Shown in the map window, which scrolls for them.
        connect(a, &QAction::triggered, this, [this, url] { guarded([&] { GetGoogleAPI()->showWebPage(url); }); });
    }

    // The tree's popup menu.
    m_popup = new QMenu(this);
    m_popupGddkia = m_popup->addAction(QStringLiteral("GDDKIA"), this, &TMainForm::GDKIA1Click);
    m_popupOpen = m_popup->addAction(tr("Open"), this, [this] { TTOpen(selectedNode()); });
    m_popupCurrentItn = m_popup->addAction(tr("Open Curent Itn"), this, &TMainForm::OpenCurentItn1Click);
    m_popupNew = m_popup->addAction(tr("New"), this, &TMainForm::New1Click);
    m_popupDelete = m_popup->addAction(tr("Delete"), this, &TMainForm::Delete1Click);
    m_popupBackUp = m_popup->addAction(tr("BackUp"));
    m_popupBackUp->setProperty("korvixAvailable", false); // the backup service attaches itself
}

void TMainForm::mergeEditorMenu()
{
    if (m_mergedMenu) {
        menuBar()->removeAction(m_mergedMenu);
        m_mergedMenu = nullptr;
    }
    IEditor *e = activeEditor();
    m_exportMenu->clear(); // the entries stay the editor's
    if (QMenu *exports = e ? e->exportMenu() : nullptr)
        m_exportMenu->addActions(exports->actions());
    m_exportMenu->menuAction()->setVisible(!m_exportMenu->isEmpty());
    QMenu *menu = e ? e->editorMenu() : nullptr;
    if (!menu)
        return;
    e->hideOwnMenuBar();
    m_mergedMenu = menu->menuAction();
    menuBar()->insertAction(m_windowMenu->menuAction(), m_mergedMenu);
}

void TMainForm::updateTitle()
{
    QMdiSubWindow *active = m_mdi->activeSubWindow();
    const QString name = active && active->widget() ? active->widget()->windowTitle() : QString();
    const QString title = name.isEmpty() ? QStringLiteral("Korvix") : QStringLiteral("Korvix - [%1]").arg(name);
    if (windowTitle() == title)
        return;
    // A maximised window appends its own name to any new title of ours; it is kept
    // away from this one change, so the title names the window the user works in.
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    for (QMdiSubWindow *w : windows)
        if (w->isMaximized())
            removeEventFilter(w);
    setWindowTitle(title);
    for (QMdiSubWindow *w : windows)
        if (w->isMaximized())
            installEventFilter(w);
}

void TMainForm::updateWindowMenu()
{
    m_windowMenu->clear();
    const bool any = !m_mdi->subWindowList().isEmpty();
    QAction *actions[] = {
        m_windowMenu->addAction(tr("&Cascade"), m_mdi, &QMdiArea::cascadeSubWindows),
        m_windowMenu->addAction(tr("Tile &Horizontally"), this, [this] { tile(m_mdi, true); }),
        m_windowMenu->addAction(tr("Tile &Vertically"), this, [this] { tile(m_mdi, false); }),
        m_windowMenu->addAction(tr("&Minimize All"), this, [this] {
            for (QMdiSubWindow *w : m_mdi->subWindowList())
                w->showMinimized();
        }),
        m_windowMenu->addAction(tr("&Arrange All"), this, [this] { arrangeIcons(m_mdi); }),
    };
    for (QAction *a : actions)
        a->setEnabled(any);
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    if (!windows.isEmpty())
        m_windowMenu->addSeparator();
    auto *group = new QActionGroup(m_windowMenu);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *w = windows[i];
        QAction *a = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, w] { m_mdi->setActiveSubWindow(w); });
    }
}

void TMainForm::buildToolBars()
{
    m_mainBar = addToolBar(tr("Main"));
    m_mainBar->setObjectName(QStringLiteral("mainToolBar"));
    m_mainBar->addAction(m_saveAction);
    m_mainBar->addSeparator();
    m_mainBar->addAction(m_editActions->RBCutAction1);
    m_mainBar->addAction(m_editActions->RBCopyAction1);
    m_mainBar->addAction(m_editActions->RBPasteAction1);
    m_mainBar->addSeparator();
    QAction *cascade = m_mainBar->addAction(windowCommandIcon(QStringLiteral("cascade")), tr("&Cascade"), m_mdi,
                                            &QMdiArea::cascadeSubWindows);
    QAction *tileH = m_mainBar->addAction(windowCommandIcon(QStringLiteral("tileH")), tr("Tile &Horizontally"), this,
                                          [this] { tile(m_mdi, true); });
    QAction *tileV = m_mainBar->addAction(windowCommandIcon(QStringLiteral("tileV")), tr("Tile &Vertically"), this,
                                          [this] { tile(m_mdi, false); });
    m_windowCommands << cascade << tileH << tileV;
    m_mainBar->addSeparator();
    m_mainBar->addAction(m_commands[SharedCommand::GoogleAPI]);

    m_soundBar = addToolBar(tr("Sound"));
    m_soundBar->setObjectName(QStringLiteral("soundToolBar"));
    for (SharedCommand c : {SharedCommand::PlaySound, SharedCommand::RecSound, SharedCommand::StopSound,
                            SharedCommand::DelSound, SharedCommand::ImportSound, SharedCommand::SaveSound})
        m_soundBar->addAction(m_commands[c]);
    m_soundBar->addSeparator();
    for (SharedCommand c : {SharedCommand::DeleteSound, SharedCommand::TrimSound, SharedCommand::NormalizeSound})
        m_soundBar->addAction(m_commands[c]);

    m_searchBar = addToolBar(tr("Search"));
    m_searchBar->setObjectName(QStringLiteral("searchToolBar"));
    m_searchBar->addAction(m_commands[SharedCommand::Search]);
    m_searchBar->addSeparator();
    for (SharedCommand c : {SharedCommand::Duplicates, SharedCommand::Select, SharedCommand::SelRegion})
        m_searchBar->addAction(m_commands[c]);
}
