// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "app/ContentTree.h"

#include <QDate>
#include <QList>
#include <QStringList>

// What a tree command does with a node, decided without any window, so every row
// of the tables can be tested. The windows carry the actions out.
namespace TreeActions {

enum class OpenKind { None, QuickGPSFix, Image, Sound, Scheme, Voice, Itinerary, Raster, Gddkia, Ov2, PoiDat, PoiIcon };

struct RasterItem {
    QString path;
    bool moreFollow = false;
    bool first = false;
};

struct OpenAction {
    OpenKind kind = OpenKind::None;
    QString path;                 // the file or folder the editor gets
    QString category;             // PoiDat: the category text
    QList<RasterItem> rasters;    // Raster: the overlays in order
    bool needsConfirmation = false; // PoiDat: the "WARNING" question comes first
    bool largeIcon = false;       // PoiIcon: the list's 44-pixel icon ("_x2.bmp"); `path` is the list
};

// TTOpen: `root` is the node's device root with trailing "/".
OpenAction resolveOpen(const TreeNode *node, const QString &root, bool voiceEditorOpen);
// A file given outside the tree ("korvix FILE", a file manager): its editor by its
// ending, OpenKind::None for a kind no editor takes.
OpenAction resolveOpenFile(const QString &path);

enum class NewKind { None, Itinerary, Image, Scheme, Sound, Raster, Poi };

struct NewAction {
    NewKind kind = NewKind::None;
    QString path;
};

// New1Click: `root` is the selected node's device root.
NewAction resolveNew(const TreeNode *node, const QString &root, bool superUser);

struct DeleteAction {
    QStringList files;       // the main file first, then its companions
    QString categoryFolder;  // sub-folder of the safety copy
    bool isEmpty() const { return files.isEmpty(); }
};

// Delete1Click.
DeleteAction resolveDelete(const TreeNode *node, const QString &root);

struct PopupItems {
    bool gddkia = false, open = false, openCurrentItn = false, newItem = false, del = false, backUp = false;
};

// PopupMenu1Popup: which items the tree's popup menu shows for the node.
PopupItems popupFor(const TreeNode *node);

// TTChanging: whether selecting this node switches multiple selection on.
bool multiSelectFor(const TreeNode *node);

// A path below the device root, each part spelt as on disk when it exists there.
QString devicePath(const QString &root, const QStringList &parts);

// The safety folder: UserDataFolder + "BackUp/" + kind + "_" + yyyyMMdd + "/" + category.
QString safetyFolder(const QString &userDataFolder, const QString &kind, const QDate &date, const QString &category);

// TTBackUp: copies `file` into `folder`. A missing file needs no copy and succeeds.
// An older copy of the same name is kept: the new one gets " (2)", " (3)", ...
bool TTBackUp(const QString &file, const QString &folder);

// Carries out a DeleteAction: safety copies first, then the main file, then the
// companions. Returns true when the main file is gone (the node is removed then).
bool deleteWithSafetyCopies(const DeleteAction &action, const QString &safetyFolder);

// True when any companion of the main file is there to be moved with it.
bool hasCompanions(const DeleteAction &action);
// The question asked before a delete, worded for what is there to move:
// "Move Fuel.ov2 and its companions to the safety folder?" or "Move horn.ogg to ...".
QString deleteQuestion(const DeleteAction &action);
// The status text after a delete: where the safety copies went, or that nothing moved.
QString deleteOutcome(const DeleteAction &action, const QString &safetyFolder, bool moved);

} // namespace TreeActions
