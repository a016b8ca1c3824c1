// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "app/CommandRules.h"
#include "app/ContentTreeModel.h"
#include "app/DeviceTree.h"
#include "app/ProgressState.h"
#include "app/TreeActions.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <functional>

class HttpClient;
class RBActions;
class TAboutBox;
class TGMaps;
class TSettings;
class UpdateCheck;
class MountWatcher;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QSplitter;
class QToolBar;
class QTreeView;

// The frame of the program: the content tree, the editor windows, the shared
// commands and the status bar's progress services.
class TMainForm : public QMainWindow, public IShell {
    Q_OBJECT
public:
    struct Options {
        QString mountTable = QStringLiteral("/proc/self/mounts");
        bool scanMounts = true;       // the start-up scan of mounted volumes
        QStringList deviceFolders;    // added with --device
        bool superUserSwitch = false; // the command line held the switch
        bool updateCheck = true;      // the once-per-start look for a newer version
        QString updateHost;           // empty: the program's own update site
    };

    explicit TMainForm(const Options &options, QWidget *parent = nullptr);
    ~TMainForm() override;

    // IShell
    void ShowProgress(const QString &text, int min, int max, int position) override;
    void SetStatus(const QString &text) override;
    void SetProgress(int position) override;
    void StepProgress() override;
    void UpdateTreeView(const QString &path, int action) override;
    QString GetTTPath() override;
    QString GetSelTTPath() override;
    KorvixSettings &settings() override { return m_settings; }
    HttpClient &http() override { return *m_http; }
    QWidget *window() override { return this; }
    void addEditorWindow(QWidget *editor) override;

    // Editors attach themselves here; a tree command without an editor is not offered.
    using Opener = std::function<void(const TreeActions::OpenAction &, TreeNode *node)>;
    using Creator = std::function<void(const TreeActions::NewAction &, TreeNode *node)>;
    void registerOpener(TreeActions::OpenKind kind, Opener opener);
    void registerCreator(TreeActions::NewKind kind, Creator creator);
    // File menu entries of an editor kind: "New" ▸ caption and "Open" ▸ caption.
    void addFileNew(const QString &caption, const std::function<void()> &create);
    void addFileOpen(const QString &caption, const QString &filter, const std::function<void(const QString &)> &open);
    QMenu *serviceMenu() const { return m_serviceMenu; }
    // The tree's popup menu: services attach their items here; an item whose property
    // "korvixDeviceNode" is true shows on device nodes only.
    QMenu *treePopup() const { return m_popup; }
    QAction *backUpPopupAction() const { return m_popupBackUp; }
    // The one map window: the existing one, else a new maximised one; brought to the
    // front either way.
    TGMaps *GetGoogleAPI();
    // The "GoogleAPI" command: the top editor's points on the map, or without one the
    // stored view and home. Failures are swallowed.
    void GoogleAPIAction();
    TSettings *settingsDialog() const { return m_settingsDialog; }
    TAboutBox *aboutBox() const { return m_about; }
    UpdateCheck *updateCheck() const { return m_update; }
    QMenu *editMenu() const { return m_editMenu; }
    QToolBar *mainToolBar() const { return m_mainBar; }

    // What the tests and the command line look at.
    ContentTreeModel &treeModel() { return *m_model; }
    QTreeView *treeView() const { return m_treeView; }
    QMdiArea *mdiArea() const { return m_mdi; }
    QString statusText() const;
    const ProgressState &progress() const { return m_progress; }
    bool treePanelVisible() const;
    void selectNode(const TreeNode *node);
    TreeNode *selectedNode() const;
    TreeActions::PopupItems popupItems() const; // as the popup would show them
    IEditor *activeEditor() const;
    IEditor *topEditor() const;
    QAction *commandAction(SharedCommand c) const { return m_commands.value(c); }
    void updateCommands(); // the enabling rules, run when idle

    // The question Delete asks first; true = go on. Tests answer it instead of a user.
    std::function<bool(const QString &question)> confirmDelete;

    // Tree commands.
    void TTOpen(TreeNode *node);
    // Rebuilds the given devices' nodes (Refresh, F5, or changes seen on disk).
    void refreshDevices(const QStringList &roots);
    QStringList deviceRoots() const;
    // Files given on the command line or by a later start, each in its editor; one that
    // cannot be opened says why and the rest still open.
    void openFiles(const QStringList &paths);
    void New1Click();
    void Delete1Click();
    void TTClick(TreeNode *node);
    void OpenCurentItn1Click();
    void GDKIA1Click();
    void openDeviceFolder(const QString &dir);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void InitTreeView();
    void buildMenus();
    void buildToolBars();
    QAction *command(SharedCommand c, const QString &caption, const QKeySequence &key, const QString &hint);
    void PopupMenu1Popup(const QPoint &pos);
    void TTChanging(const QModelIndex &current);
    void showTreePanel();
    void refreshProgressBar();
    void showProgressBar(bool running);
    void rememberEditorLayout(QMdiSubWindow *sub);
    void updateWindowMenu();
    void mergeEditorMenu();
    void updateTitle();
    void dropVanishedFolders();
    void guarded(const std::function<void()> &command);
    EditorContext editorContext() const;
    bool hasVoiceEditor() const;
    bool opensInEditor(const TreeNode *node) const;

    Options m_options;
    KorvixSettings m_settings;
    HttpClient *m_http = nullptr;
    MountWatcher *m_mounts = nullptr;
    class TreeWatcher *m_treeWatcher = nullptr;
    ContentTreeModel *m_model = nullptr;
    DeviceTree *m_devices = nullptr;
    QSplitter *m_splitter = nullptr;
    QTreeView *m_treeView = nullptr;
    QMdiArea *m_mdi = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_status = nullptr;
    ProgressState m_progress;
    QMenu *m_fileMenu = nullptr, *m_newMenu = nullptr, *m_openMenu = nullptr, *m_editMenu = nullptr;
    QMenu *m_windowMenu = nullptr, *m_serviceMenu = nullptr, *m_popup = nullptr;
    QMenu *m_exportMenu = nullptr; // the active editor's export entries
    QToolBar *m_mainBar = nullptr, *m_soundBar = nullptr, *m_searchBar = nullptr;
    QAction *m_saveAction = nullptr;
    QPointer<QAction> m_mergedMenu; // the active editor's own menu in the menu bar
    QMap<SharedCommand, QAction *> m_commands;
    QPointer<TGMaps> m_map;
    QAction *m_popupOpen = nullptr, *m_popupNew = nullptr, *m_popupDelete = nullptr, *m_popupGddkia = nullptr;
    QAction *m_popupCurrentItn = nullptr, *m_popupBackUp = nullptr;
    QList<QAction *> m_windowCommands;
    QMap<TreeActions::OpenKind, Opener> m_openers;
    QMap<TreeActions::NewKind, Creator> m_creators;
    bool m_shown = false;
    TAboutBox *m_about = nullptr;
    RBActions *m_editActions = nullptr;
    TSettings *m_settingsDialog = nullptr;
    UpdateCheck *m_update = nullptr;
};
