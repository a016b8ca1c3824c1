// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainForm.h"

#include "app/AboutBox.h"
#include "core/Settings.h"
#include "app/DeviceInfo.h"
#include "app/SettingsDialog.h"
#include "app/TreeWatcher.h"
#include "app/UpdateCheck.h"
#include "grid/RBGrids.h"
#include "map/GMaps.h"
#include "app/TreeText.h"
#include "platform/DeviceFiles.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/HttpClient.h"
#include "platform/Mounts.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>

#include <memory>

namespace {
constexpr int treePanelWidth = 235;
constexpr int splitterPosition = 237;

// The name an editor kind's remembered size is kept under.
QString kindName(EditorKind kind)
{
    switch (kind) {
    case EditorKind::Poi: return QStringLiteral("POI");
    case EditorKind::Itinerary: return QStringLiteral("Itn");
    case EditorKind::Sound: return QStringLiteral("Sound");
    case EditorKind::Voice: return QStringLiteral("Voice");
    case EditorKind::Image: return QStringLiteral("Image");
    case EditorKind::Scheme: return QStringLiteral("Scheme");
    case EditorKind::Map: return QStringLiteral("Map");
    }
    return QStringLiteral("Editor");
}

// Enough for a list's five columns or an itinerary's points without scrolling sideways.
QSize usefulSize(EditorKind kind, const QSize &hint)
{
    switch (kind) {
    case EditorKind::Poi: return hint.expandedTo(QSize(760, 480));
    case EditorKind::Itinerary: return hint.expandedTo(QSize(560, 420));
    default: return hint.expandedTo(QSize(400, 300));
    }
}
} // namespace

TMainForm::TMainForm(const Options &options, QWidget *parent) : QMainWindow(parent), m_options(options)
{
    setWindowTitle(QStringLiteral("Korvix"));
    setMinimumSize(640, 480);
    m_treeWatcher = new TreeWatcher(this);

    m_http = new HttpClient(this);
    m_model = new ContentTreeModel(this);
    m_devices = new DeviceTree(m_model->tree(), *m_model, [this] { return treeOptionsFrom(m_settings); });
    m_devices->onDeviceAdded = [this] {
        showTreePanel();
        ContentTree &t = m_model->tree();
        m_treeView->expand(m_model->indexOf(t.device(t.deviceCount() - 1)));
    };

    m_treeView = new QTreeView;
    m_treeView->setModel(m_model);
    m_treeView->setHeaderHidden(true);
    m_treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treeView->setIconSize(QSize(22, 22));
    m_treeView->setUniformRowHeights(true);
    m_treeView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_treeView->installEventFilter(this);
    m_treeView->viewport()->installEventFilter(this); // double-clicks open like Enter
    connect(m_treeView, &QWidget::customContextMenuRequested, this, &TMainForm::PopupMenu1Popup);
    connect(m_treeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { TTChanging(current); });
    connect(m_treeView, &QTreeView::clicked, this, [this](const QModelIndex &i) { TTClick(m_model->node(i)); });
    confirmDelete = [this](const QString &question) {
        return QMessageBox::question(this, QStringLiteral("Korvix"), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
               == QMessageBox::Yes;
    };

    m_mdi = new QMdiArea;
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Only the first editor fills the area; later ones open at their own size.
    m_mdi->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->addWidget(m_treeView);
    m_splitter->addWidget(m_mdi);
    m_splitter->setCollapsible(0, true);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({0, 1000});
    setCentralWidget(m_splitter);

    m_progressBar = new QProgressBar;
    m_progressBar->setFixedWidth(140);
    m_progressBar->setTextVisible(true);
    m_progressBar->setRange(0, 100);
    m_status = new QLabel;
    m_status->setMinimumWidth(300);
    statusBar()->addWidget(m_progressBar);
    statusBar()->addWidget(m_status, 1);
    refreshProgressBar();
    showProgressBar(false);

    // A transfer of known size shows the bar until its last byte; one of unknown
    // size has nothing to show.
    auto transferSize = std::make_shared<qint64>(0);
    connect(m_http, &HttpClient::workBegin, this, [this, transferSize](qint64 expected) {
        *transferSize = expected;
        m_progress.setMin(0);
        m_progress.setMax(int(qMin<qint64>(expected, INT_MAX)));
        refreshProgressBar();
        showProgressBar(expected > 0);
    });
    connect(m_http, &HttpClient::work, this, [this, transferSize](qint64 got) {
        m_progress.setPosition(int(qMin<qint64>(got, INT_MAX)));
        refreshProgressBar();
        if (got >= *transferSize)
            showProgressBar(false);
    });
    connect(m_http, &HttpClient::cancelled, this, [this] { showProgressBar(false); });

    buildMenus();
    buildToolBars();
    FormCreate();

    auto *idle = new QTimer(this);
    idle->setInterval(150);
    connect(idle, &QTimer::timeout, this, &TMainForm::updateCommands);
    idle->start();
    auto *vanish = new QTimer(this);
    vanish->setInterval(2000);
    connect(vanish, &QTimer::timeout, this, &TMainForm::dropVanishedFolders);
    vanish->start();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &TMainForm::updateCommands);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &TMainForm::mergeEditorMenu);
    // After the area's own title merging, which only knows the maximised window.
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &TMainForm::updateTitle, Qt::QueuedConnection);
    connect(m_treeWatcher, &TreeWatcher::changed, this, [this](const QStringList &roots) {
        guarded([&] { refreshDevices(roots); });
    });
}

TMainForm::~TMainForm()
{
    // The window area deletes its editors after this destructor; their activation
    // signals must not reach the menus and commands of a half-destroyed window.
    disconnect(m_mdi, nullptr, this, nullptr);
    if (m_mounts)
        m_mounts->stop();
    delete m_devices;
}

void TMainForm::FormCreate()
{
    if (m_options.superUserSwitch)
        Prefs::switches(m_settings).setSuperUser();
    m_serviceMenu->menuAction()->setVisible(Prefs::switches(m_settings).superUser());
    Prefs::storeProgramFolder(m_settings, Folders::ProgramFolder());

    // The long-lived dialogs.
    m_about = new TAboutBox(this);
    m_settingsDialog = new TSettings(m_settings, QApplication::applicationFilePath(), this);
    m_update = new UpdateCheck(*m_http, m_settings, Folders::UserDataFolder(),
                               m_options.updateHost.isEmpty() ? QLatin1String(UpdateCheck::DefaultHost) : m_options.updateHost,
                               this);
    connect(m_update, &UpdateCheck::newVersion, this, [this](const QString &host) {
        QMessageBox::information(this, tr("Korvix update!"), tr("New wersion is available.") + QLatin1Char('\n') + host);
    });
    m_settingsDialog->onUpdateSwitchedOn = [this] { m_update->start(); };
    if (m_options.updateCheck)
        m_update->start();

    if (m_options.scanMounts) {
        m_mounts = new MountWatcher(m_options.mountTable, this);
        connect(m_mounts, &MountWatcher::driveAdded, this, [this](const QString &mp) {
            guarded([&] { UpdateTreeView(mp, DeviceTree::AddOrRefreshFirst); });
        });
        connect(m_mounts, &MountWatcher::driveRemoved, this, [this](const QString &mp) {
            guarded([&] { UpdateTreeView(mp, DeviceTree::Remove); });
        });
        m_mounts->start();
    }
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    InitTreeView();
}

void TMainForm::InitTreeView()
{
    QStringList roots = m_mounts ? m_mounts->mountPoints() : QStringList();
    m_devices->InitTreeView(roots, this);
    m_treeWatcher->watch(deviceRoots());
    for (const QString &dir : m_options.deviceFolders)
        openDeviceFolder(dir);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Each editor asks about its own changes; Cancel in any keeps the program open
    // and spares the user the questions of the rest.
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->close()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

// --- status and progress -----------------------------------------------------

void TMainForm::refreshProgressBar()
{
    m_progressBar->setValue(m_progress.percent());
}

// The bar shows only while work runs: a progress report starts it, the status text
// every loop ends with stops it (a loop that names its step goes on reporting).
void TMainForm::showProgressBar(bool running)
{
    m_progressBar->setVisible(running);
}

void TMainForm::ShowProgress(const QString &text, int min, int max, int position)
{
    m_progress.setMin(min);
    m_progress.setMax(max);
    m_progress.setPosition(position);
    refreshProgressBar();
    showProgressBar(true);
    m_status->setText(text);
}

void TMainForm::SetStatus(const QString &text)
{
    m_status->setText(text);
    showProgressBar(false);
    if (text.isEmpty()) {
        m_progress.setPosition(0);
        refreshProgressBar();
    }
}

void TMainForm::SetProgress(int position)
{
    m_progress.setPosition(position);
    refreshProgressBar();
    showProgressBar(true);
}

void TMainForm::StepProgress()
{
    m_progress.step();
    refreshProgressBar();
    showProgressBar(true);
}

QString TMainForm::statusText() const
{
    return m_status->text();
}

// --- devices ------------------------------------------------------------------

void TMainForm::UpdateTreeView(const QString &path, int action)
{
    // A refresh (after a save) rebuilds the device's nodes: what was open and the
    // current node are kept across it.
    const QString key = action == DeviceTree::Remove ? QString() : DeviceTree::deviceKeyFor(path);
    const TreeNode *old = key.isEmpty() ? nullptr : FindNodeByKey(m_model->tree().firstDevice(), key, true);
    const TreeViewState kept = old ? captureViewState(*m_treeView, *m_model, old) : TreeViewState();
    m_devices->UpdateTreeView(path, action);
    m_treeWatcher->watch(deviceRoots());
    if (!old)
        return;
    if (TreeNode *fresh = FindNodeByKey(m_model->tree().firstDevice(), key, true))
        if (TreeNode *current = restoreViewState(*m_treeView, *m_model, fresh, kept))
            selectNode(current);
}

QStringList TMainForm::deviceRoots() const
{
    QStringList roots;
    for (int i = 0; i < m_model->tree().deviceCount(); ++i)
        roots << deviceKeyOfText(m_model->tree().device(i)->text());
    return roots;
}

void TMainForm::refreshDevices(const QStringList &roots)
{
    // Each device is rebuilt in place; what was open and the current node stay.
    for (const QString &root : roots)
        if (deviceRoots().contains(root))
            UpdateTreeView(root, DeviceInfo::isDeviceRoot(root) ? DeviceTree::AddOrRefreshFirst : DeviceTree::Remove);
}

QString TMainForm::GetTTPath()
{
    return m_devices->GetTTPath(nullptr);
}

QString TMainForm::GetSelTTPath()
{
    return m_devices->GetTTPath(selectedNode());
}

void TMainForm::showTreePanel()
{
    if (m_splitter->sizes().value(0) == 0)
        m_splitter->setSizes({treePanelWidth, qMax(1, m_splitter->width() - splitterPosition)});
}

bool TMainForm::treePanelVisible() const
{
    return m_splitter->sizes().value(0) > 0;
}

void TMainForm::openDeviceFolder(const QString &dir)
{
    const QString key = DeviceTree::deviceKeyFor(dir);
    if (key.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Korvix"),
                             tr("%1 is not a device folder: it needs the files TTGO.BIF and ttsystem.").arg(dir));
        return;
    }
    if (!m_options.deviceFolders.contains(key))
        m_options.deviceFolders.append(key);
    UpdateTreeView(key, DeviceTree::AddOrRefreshFirst);
}

// A device folder that was deleted or unplugged leaves the tree like a volume.
void TMainForm::dropVanishedFolders()
{
    for (int i = m_model->tree().deviceCount() - 1; i >= 0; --i) {
        const QString key = deviceKeyOfText(m_model->tree().device(i)->text());
        if (m_mounts && m_mounts->mountPoints().contains(key))
            continue; // volumes leave through the mount table
        if (!DeviceInfo::isDeviceRoot(key))
            UpdateTreeView(key, DeviceTree::Remove);
    }
}

// --- tree commands ------------------------------------------------------------

TreeNode *TMainForm::selectedNode() const
{
    return m_model->node(m_treeView->currentIndex());
}

void TMainForm::selectNode(const TreeNode *node)
{
    const QModelIndex i = m_model->indexOf(node);
    TTChanging(i);
    m_treeView->setCurrentIndex(i);
}

void TMainForm::TTChanging(const QModelIndex &current)
{
    m_treeView->setSelectionMode(TreeActions::multiSelectFor(m_model->node(current))
                                     ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
}

void TMainForm::TTClick(TreeNode *node)
{
    if (node && node->level() == 0)
        m_status->setText(DeviceInfo::ReadDeviceInfo(deviceKeyOfText(node->text()), QString()));
}

void TMainForm::registerOpener(TreeActions::OpenKind kind, Opener opener)
{
    m_openers.insert(kind, std::move(opener));
}

void TMainForm::registerCreator(TreeActions::NewKind kind, Creator creator)
{
    m_creators.insert(kind, std::move(creator));
}

bool TMainForm::opensInEditor(const TreeNode *node) const
{
    const TreeActions::OpenKind kind = TreeActions::resolveOpen(node, QStringLiteral("/"), hasVoiceEditor()).kind;
    return kind != TreeActions::OpenKind::None && m_openers.contains(kind);
}

bool TMainForm::hasVoiceEditor() const
{
    for (QMdiSubWindow *w : m_mdi->subWindowList())
        if (auto *e = dynamic_cast<IEditor *>(w->widget()); e && e->editorKind() == EditorKind::Voice)
            return true;
    return false;
}

void TMainForm::TTOpen(TreeNode *node)
{
    if (!node)
        return;
    guarded([&] {
        const TreeActions::OpenAction a = TreeActions::resolveOpen(node, m_devices->GetTTPath(node), hasVoiceEditor());
        const auto opener = m_openers.constFind(a.kind);
        if (a.kind == TreeActions::OpenKind::None || opener == m_openers.constEnd())
            return;
        if (a.needsConfirmation
            && QMessageBox::warning(this, tr("WARNING"),
                                    tr("This will open copyrighted content of TomTom\nPlease read copyright notice of "
                                       "TT device first\nDo you want to continue ?"),
                                    QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
                   != QMessageBox::Ok)
            return;
        (*opener)(a, node);
    });
}

void TMainForm::openFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        guarded([&] {
            const TreeActions::OpenAction a = TreeActions::resolveOpenFile(path);
            const auto opener = m_openers.constFind(a.kind);
            if (a.kind == TreeActions::OpenKind::None || opener == m_openers.constEnd())
                throw KorvixError(tr("Korvix cannot open %1: no editor takes this kind of file.").arg(path));
            if (!QFileInfo(a.path).isFile())
                throw KorvixError(tr("Korvix cannot open %1: there is no such file.").arg(path));
            (*opener)(a, nullptr);
        });
    }
}

void TMainForm::New1Click()
{
    guarded([&] {
        TreeNode *node = selectedNode();
        const QString root = GetSelTTPath();
        const TreeActions::NewAction a = TreeActions::resolveNew(node, root, treeOptionsFrom(m_settings).superUser);
        const auto creator = m_creators.constFind(a.kind);
        if (a.kind != TreeActions::NewKind::None && creator != m_creators.constEnd())
            (*creator)(a, node);
    });
}

void TMainForm::Delete1Click()
{
    guarded([&] {
        TreeNode *node = selectedNode();
        const QString root = GetSelTTPath();
        const TreeActions::DeleteAction a = TreeActions::resolveDelete(node, root);
        if (a.isEmpty() || !confirmDelete(TreeActions::deleteQuestion(a)))
            return;
        const QString folder = TreeActions::safetyFolder(Folders::UserDataFolder(), QStringLiteral("Delete"),
                                                         QDate::currentDate(), a.categoryFolder);
        const bool moved = TreeActions::deleteWithSafetyCopies(a, folder);
        if (moved)
            m_model->tree().remove(node);
        m_status->setText(TreeActions::deleteOutcome(a, folder, moved));
    });
}

void TMainForm::OpenCurentItn1Click()
{
    guarded([&] {
        const auto opener = m_openers.constFind(TreeActions::OpenKind::Itinerary);
        if (opener == m_openers.constEnd())
            return;
        TreeActions::OpenAction a;
        a.kind = TreeActions::OpenKind::Itinerary;
        a.path = TreeActions::devicePath(GetTTPath(), {QStringLiteral("itn"), QStringLiteral("temporary.iti")});
        (*opener)(a, nullptr);
    });
}

void TMainForm::GDKIA1Click()
{
    guarded([&] {
        TreeNode *map = selectedNode();
        if (!map || map->level() != 2)
            return;
        const QString root = GetSelTTPath();
        TreeNode *gddkia = FindNodeByKey(map->childCount() ? map->child(0) : nullptr, QStringLiteral("GDDKIA"), true);
        if (!gddkia)
            gddkia = m_model->tree().append(map, std::make_unique<TreeNode>(QStringLiteral("GDDKIA"), TreeIcon::GddkiaStale));
        const auto opener = m_openers.constFind(TreeActions::OpenKind::Gddkia);
        if (opener == m_openers.constEnd())
            return;
        TreeActions::OpenAction a;
        a.kind = TreeActions::OpenKind::Gddkia;
        a.path = TreeActions::devicePath(root, {map->text()});
        (*opener)(a, gddkia);
    });
}

TreeActions::PopupItems TMainForm::popupItems() const
{
    TreeNode *node = selectedNode();
    TreeActions::PopupItems p = TreeActions::popupFor(node);
    // Commands whose editor is not built into this program are not offered.
    if (p.open && node) {
        const TreeActions::OpenAction a = TreeActions::resolveOpen(node, QStringLiteral("/"), false);
        if (a.kind != TreeActions::OpenKind::None && !m_openers.contains(a.kind))
            p.open = false;
        if (a.kind == TreeActions::OpenKind::None && node->level() == 2 && node->parent()->text() == QLatin1String("Voices")
            && !m_openers.contains(TreeActions::OpenKind::Voice))
            p.open = false;
    }
    if (p.newItem && node) {
        const TreeActions::NewAction a = TreeActions::resolveNew(node, QStringLiteral("/"), true);
        if (a.kind != TreeActions::NewKind::None && !m_creators.contains(a.kind))
            p.newItem = false;
    }
    p.gddkia = p.gddkia && m_openers.contains(TreeActions::OpenKind::Gddkia);
    p.openCurrentItn = p.openCurrentItn && m_openers.contains(TreeActions::OpenKind::Itinerary);
    p.backUp = p.backUp && m_popupBackUp->property("korvixAvailable").toBool();
    return p;
}

void TMainForm::PopupMenu1Popup(const QPoint &pos)
{
    const QModelIndex at = m_treeView->indexAt(pos);
    if (at.isValid())
        selectNode(m_model->node(at));
    if (selectedNode()) { // with nothing selected the items keep their visibility
        const TreeActions::PopupItems p = popupItems();
        m_popupGddkia->setVisible(p.gddkia);
        m_popupOpen->setVisible(p.open);
        m_popupCurrentItn->setVisible(p.openCurrentItn);
        m_popupNew->setVisible(p.newItem);
        m_popupDelete->setVisible(p.del);
        m_popupBackUp->setVisible(p.backUp);
        for (QAction *a : m_popup->actions())
            if (a->property("korvixDeviceNode").toBool())
                a->setVisible(selectedNode()->level() == 0);
    }
    bool any = false;
    for (QAction *a : m_popup->actions())
        any = any || a->isVisible();
    if (any)
        m_popup->popup(m_treeView->viewport()->mapToGlobal(pos));
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close)
        if (auto *sub = qobject_cast<QMdiSubWindow *>(watched))
            rememberEditorLayout(sub);
    if (watched == m_treeView) {
        if (event->type() == QEvent::KeyPress) {
            auto *k = static_cast<QKeyEvent *>(event);
            // Character keys are swallowed: no jump-to-letter search in the tree.
            if (!k->text().isEmpty() && k->text().at(0).isPrint() && !(k->modifiers() & Qt::ControlModifier))
                return true;
        } else if (event->type() == QEvent::KeyRelease) {
            auto *k = static_cast<QKeyEvent *>(event);
            if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && !k->isAutoRepeat()) {
                TTOpen(selectedNode());
                return true;
            }
        }
    } else if (watched == m_treeView->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // A node that opens opens, as with Enter; the others keep the view's own
        // double-click, which opens and closes them.
        auto *m = static_cast<QMouseEvent *>(event);
        TreeNode *node = m_model->node(m_treeView->indexAt(m->position().toPoint()));
        if (m->button() == Qt::LeftButton && node && opensInEditor(node)) {
            selectNode(node);
            TTOpen(node);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- editor windows and shared commands ----------------------------------------

void TMainForm::addEditorWindow(QWidget *editor)
{
    editor->setAttribute(Qt::WA_DeleteOnClose);
    const bool first = m_mdi->subWindowList().isEmpty();
    QMdiSubWindow *sub = m_mdi->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &QWidget::windowTitleChanged, this, &TMainForm::updateTitle, Qt::QueuedConnection);
    connect(sub, &QMdiSubWindow::windowStateChanged, this, &TMainForm::updateTitle, Qt::QueuedConnection);
    sub->installEventFilter(this); // its size and column widths are remembered when it closes
    if (const auto *e = dynamic_cast<IEditor *>(editor))
        if (auto *grid = editor->findChild<TRBGrid *>())
            grid->SetChosenColWidths(Prefs::windows(m_settings).editorColumns(kindName(e->editorKind())));
    if (first) {
        sub->showMaximized();
    } else {
        const auto *e = dynamic_cast<IEditor *>(editor);
        QSize size = e ? Prefs::windows(m_settings).editorSize(kindName(e->editorKind())) : QSize();
        if (!size.isValid())
            size = usefulSize(e ? e->editorKind() : EditorKind::Map, sub->sizeHint());
        sub->resize(size.boundedTo(m_mdi->viewport()->size()).expandedTo(sub->minimumSizeHint()));
        sub->show();
        // The area's placement may put a large window partly outside; the whole of it is
        // moved inside, so no edge or scroll bar is out of reach.
        const QSize room = m_mdi->viewport()->size() - sub->size();
        sub->move(qBound(0, sub->x(), qMax(0, room.width())), qBound(0, sub->y(), qMax(0, room.height())));
    }
    m_mdi->setActiveSubWindow(sub);
}

void TMainForm::rememberEditorLayout(QMdiSubWindow *sub)
{
    // A maximised or minimised window says nothing about the size the user wants.
    const auto *e = dynamic_cast<IEditor *>(sub->widget());
    if (e && !sub->isMaximized() && !sub->isMinimized())
        Prefs::windows(m_settings).setEditorSize(kindName(e->editorKind()), sub->size());
    if (e)
        if (const auto *grid = sub->widget()->findChild<TRBGrid *>())
            Prefs::windows(m_settings).setEditorColumns(kindName(e->editorKind()), grid->ChosenColWidths());
}

IEditor *TMainForm::activeEditor() const
{
    QMdiSubWindow *w = m_mdi->currentSubWindow();
    return w ? dynamic_cast<IEditor *>(w->widget()) : nullptr;
}

IEditor *TMainForm::topEditor() const
{
    const QList<QMdiSubWindow *> stack = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (int i = int(stack.size()) - 1; i >= 0; --i)
        if (stack[i]->isVisible() || stack[i]->isMinimized())
            return dynamic_cast<IEditor *>(stack[i]->widget());
    return nullptr;
}

EditorContext TMainForm::editorContext() const
{
    return {activeEditor(), topEditor(), !m_mdi->subWindowList().isEmpty()};
}

void TMainForm::updateCommands()
{
    const EditorContext ctx = editorContext();
    for (auto it = m_commands.cbegin(); it != m_commands.cend(); ++it)
        it.value()->setEnabled(CommandRules::enabled(it.key(), ctx, it.value()->isEnabled()));
    const bool any = !m_mdi->subWindowList().isEmpty();
    for (QAction *a : m_windowCommands)
        a->setEnabled(any);
}

TGMaps *TMainForm::GetGoogleAPI()
{
    if (!m_map) {
        m_mdi->setUpdatesEnabled(false);
        m_map = new TGMaps(*this);
        addEditorWindow(m_map);
        if (QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(m_map->parentWidget()))
            sub->showMaximized();
        m_mdi->setUpdatesEnabled(true);
    }
    if (QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(m_map->parentWidget()))
        m_mdi->setActiveSubWindow(sub);
    return m_map;
}

void TMainForm::GoogleAPIAction()
{
    try {
        IEditor *top = topEditor();
        const bool mapOnTop = top && top->editorKind() == EditorKind::Map;
        TGMaps *map = GetGoogleAPI();
        if (!mapOnTop)
            map->GoogleAPI();
        if (IMapSource *source = top ? top->as<IMapSource>() : nullptr)
            map->showList(*source);
        else
            map->showStoredView();
    } catch (...) {
        // The map shows what it can; nothing to tell the user.
    }
}

void TMainForm::guarded(const std::function<void()> &command)
{
    ErrorGuard::run(this, command);
}
