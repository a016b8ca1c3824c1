// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TreeActions.h"

#include "platform/DeviceFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace TreeActions {

namespace {

int level(const TreeNode *n) { return n ? n->level() : -1; }

QString textAt(const TreeNode *n, int up)
{
    for (int i = 0; i < up && n; ++i)
        n = n->parent();
    return n ? n->text() : QString();
}

QString parentText(const TreeNode *n) { return textAt(n, 1); }
QString grandparentText(const TreeNode *n) { return textAt(n, 2); }

QString withExtension(const QString &path, const QString &ext)
{
    const QFileInfo fi(path);
    const QString name = fi.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return devicePath(fi.path() + QLatin1Char('/'), {base + ext});
}

} // namespace

QString devicePath(const QString &root, const QStringList &parts)
{
    QString path = root.endsWith(QLatin1Char('/')) ? root.chopped(1) : root;
    for (const QString &part : parts) {
        if (part.isEmpty())
            continue;
        const QString found = DeviceFiles::find(path + QLatin1Char('/'), part);
        path = found.isEmpty() ? path + QLatin1Char('/') + part : found;
    }
    return path;
}

OpenAction resolveOpenFile(const QString &path)
{
    static const QHash<QString, OpenKind> kinds = {
        {QStringLiteral("ov2"), OpenKind::Ov2},      {QStringLiteral("itn"), OpenKind::Itinerary},
        {QStringLiteral("chk"), OpenKind::Voice},    {QStringLiteral("vif"), OpenKind::Voice},
        {QStringLiteral("clr"), OpenKind::Scheme},   {QStringLiteral("wav"), OpenKind::Sound},
        {QStringLiteral("ogg"), OpenKind::Sound},    {QStringLiteral("bmp"), OpenKind::Image},
        {QStringLiteral("jpg"), OpenKind::Image},    {QStringLiteral("jpeg"), OpenKind::Image},
        {QStringLiteral("png"), OpenKind::Image},
    };
    OpenAction a;
    a.kind = kinds.value(QFileInfo(path).suffix().toLower(), OpenKind::None);
    if (a.kind != OpenKind::None)
        a.path = QFileInfo(path).absoluteFilePath();
    return a;
}

OpenAction resolveOpen(const TreeNode *node, const QString &root, bool voiceEditorOpen)
{
    OpenAction a;
    if (!node)
        return a;
    const int lv = level(node);
    const QString &text = node->text();
    const QString parent = parentText(node);
    const QString grand = grandparentText(node);

    if (lv == 1 && text == QLatin1String("QuickGPSFix")) {
        a.kind = OpenKind::QuickGPSFix;
        a.path = root;
    } else if (lv == 2 && parent == QLatin1String("Images")) {
        a.kind = OpenKind::Image;
        a.path = devicePath(root, {text});
    } else if (lv == 2 && parent == QLatin1String("Sounds")) {
        a.kind = OpenKind::Sound;
        a.path = devicePath(root, {QStringLiteral("Sounds"), text});
    } else if (lv == 2 && parent == QLatin1String("Schemes")) {
        a.kind = OpenKind::Scheme;
        a.path = devicePath(root, {QStringLiteral("Schemes"), text});
    } else if (lv == 2 && parent == QLatin1String("Voices")) {
        if (!voiceEditorOpen) {
            a.kind = OpenKind::Voice;
            a.path = devicePath(root, {QStringLiteral("Voices"), text});
        }
    } else if (lv == 2 && parent == QLatin1String("Itinerary")) {
        a.kind = OpenKind::Itinerary;
        a.path = devicePath(root, {QStringLiteral("Itn"), text});
    } else if (lv == 2 && parent == QLatin1String("Raster")) {
        a.kind = OpenKind::Raster;
        for (int i = 0; i < node->childCount(); ++i)
            a.rasters.append({devicePath(root, {QStringLiteral("Raster"), node->child(i)->text()}),
                              i + 1 < node->childCount(), i == 0});
        if (a.rasters.isEmpty())
            a.kind = OpenKind::None;
    } else if (lv == 3 && grand == QLatin1String("POI") && text == QLatin1String("GDDKIA")) {
        a.kind = OpenKind::Gddkia;
        a.path = devicePath(root, {parent});
    } else if (lv == 3 && grand == QLatin1String("POI") && text != QLatin1String("POI.DAT")) {
        a.kind = OpenKind::Ov2;
        a.path = devicePath(root, {parent, text});
    } else if (lv == 3 && grand == QLatin1String("Raster")) {
        a.kind = OpenKind::Raster;
        a.rasters.append({devicePath(root, {QStringLiteral("Raster"), text}), false, true});
    } else if (lv == 4 && textAt(node, 3) == QLatin1String("POI") && text.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) {
        // A list's icon is edited in its list, which saves it in the device's form.
        a.kind = OpenKind::PoiIcon;
        a.path = devicePath(root, {grand, parent});
        a.largeIcon = text.endsWith(QLatin1String("_x2.bmp"), Qt::CaseInsensitive);
    } else if (lv == 4 && parent == QLatin1String("POI.DAT")) {
        a.kind = OpenKind::PoiDat;
        a.path = devicePath(root, {grand, QStringLiteral("POI.DAT")});
        a.category = text;
        a.needsConfirmation = true;
    }
    return a;
}

NewAction resolveNew(const TreeNode *node, const QString &root, bool superUser)
{
    NewAction a;
    if (!node)
        return a;
    const int lv = level(node);
    const QString &text = node->text();
    if (lv == 1) {
        if (text == QLatin1String("Itinerary"))
            a = {NewKind::Itinerary, devicePath(root, {QStringLiteral("itn")}) + QLatin1Char('/')};
        else if (text == QLatin1String("Images"))
            a = {NewKind::Image, root};
        else if (text == QLatin1String("Schemes"))
            a = {NewKind::Scheme, QString()};
        else if (text == QLatin1String("Sounds"))
            a = {NewKind::Sound, devicePath(root, {QStringLiteral("Sounds")}) + QLatin1Char('/')};
        else if (text == QLatin1String("Raster") && superUser)
            a = {NewKind::Raster, QString()};
    } else if (lv == 2 && parentText(node) == QLatin1String("POI")) {
        a = {NewKind::Poi, devicePath(root, {text}) + QLatin1Char('/')};
    }
    return a;
}

DeleteAction resolveDelete(const TreeNode *node, const QString &root)
{
    DeleteAction a;
    if (!node)
        return a;
    const int lv = level(node);
    const QString &text = node->text();
    const QString parent = parentText(node);
    if (lv == 2) {
        struct Row { const char *category; const char *folder; };
        for (const Row &r : {Row{"Sounds", "Sounds"}, Row{"Itinerary", "Itn"}, Row{"Schemes", "Schemes"},
                             Row{"Voices", "Voices"}}) {
            if (parent != QLatin1String(r.category))
                continue;
            const QString main = devicePath(root, {QLatin1String(r.folder), text});
            a.files << main;
            if (parent == QLatin1String("Voices"))
                a.files << withExtension(main, QStringLiteral(".chk")) << withExtension(main, QStringLiteral(".bmp"));
            a.categoryFolder = QLatin1String(r.folder);
        }
    } else if (lv == 3 && grandparentText(node) == QLatin1String("POI") && text != QLatin1String("POI.DAT")) {
        const QString main = devicePath(root, {parent, text});
        a.files << main << withExtension(main, QStringLiteral(".bmp")) << withExtension(main, QStringLiteral("_x2.bmp"));
        a.categoryFolder = parent;
    }
    return a;
}

PopupItems popupFor(const TreeNode *node)
{
    PopupItems p;
    const int lv = level(node);
    const QString text = node ? node->text() : QString();
    const QString parent = parentText(node);
    const QString grand = grandparentText(node);
    const bool fileUnderCategory = lv == 2 && parent != QLatin1String("POI");
    const bool poiOrRasterEntry = lv == 3 && (grand == QLatin1String("POI") || grand == QLatin1String("Raster"));
    p.gddkia = lv == 2 && parent == QLatin1String("POI");
    p.open = fileUnderCategory || poiOrRasterEntry || (lv == 1 && text == QLatin1String("QuickGPSFix"))
             || (lv == 4 && parent == QLatin1String("POI.DAT"));
    p.openCurrentItn = lv == 1 && text == QLatin1String("Itinerary");
    p.newItem = (lv == 1 && text != QLatin1String("POI") && text != QLatin1String("QuickGPSFix"))
                || (lv == 2 && parent == QLatin1String("POI"));
    p.del = fileUnderCategory || poiOrRasterEntry;
    p.backUp = lv == 0;
    return p;
}

bool multiSelectFor(const TreeNode *node)
{
    const int lv = level(node);
    const QString parent = parentText(node);
    if (lv == 2)
        return parent != QLatin1String("Voices") && parent != QLatin1String("POI") && parent != QLatin1String("Raster");
    if (lv == 3) {
        const QString grand = grandparentText(node);
        return grand == QLatin1String("POI") || grand == QLatin1String("Raster");
    }
    return false;
}

QString safetyFolder(const QString &userDataFolder, const QString &kind, const QDate &date, const QString &category)
{
    QString base = userDataFolder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base + QStringLiteral("BackUp/") + kind + QLatin1Char('_') + date.toString(QStringLiteral("yyyyMMdd"))
           + QLatin1Char('/') + category + QLatin1Char('/');
}

bool TTBackUp(const QString &file, const QString &folder)
{
    const QFileInfo src(file);
    if (!src.exists())
        return true;
    if (!QDir().mkpath(folder))
        return false;
    const QString dir = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const QString name = src.fileName();
    QString target = dir + name;
    // Never replace an earlier safety copy: that would lose the file deleted before.
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot <= 0 ? name : name.left(dot);
    const QString ext = dot <= 0 ? QString() : name.mid(dot);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = dir + stem + QStringLiteral(" (%1)").arg(n) + ext;
    return QFile::copy(file, target);
}

bool deleteWithSafetyCopies(const DeleteAction &action, const QString &folder)
{
    if (action.isEmpty())
        return false;
    for (const QString &f : action.files)
        if (!TTBackUp(f, folder))
            return false;
    if (!QFile::remove(action.files.first()))
        return false;
    for (int i = 1; i < action.files.size(); ++i)
        QFile::remove(action.files[i]);
    return true;
}

bool hasCompanions(const DeleteAction &action)
{
    for (int i = 1; i < action.files.size(); ++i)
        if (QFileInfo::exists(action.files[i]))
            return true;
    return false;
}

QString deleteQuestion(const DeleteAction &action)
{
    if (action.isEmpty())
        return {};
    const QString name = QFileInfo(action.files.first()).fileName();
    return hasCompanions(action)
               ? QCoreApplication::translate("TMainForm", "Move %1 and its companions to the safety folder?").arg(name)
               : QCoreApplication::translate("TMainForm", "Move %1 to the safety folder?").arg(name);
}

QString deleteOutcome(const DeleteAction &action, const QString &safetyFolder, bool moved)
{
    const QString name = action.isEmpty() ? QString() : QFileInfo(action.files.first()).fileName();
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(safetyFolder));
    return moved ? QCoreApplication::translate("TMainForm", "%1 moved to the safety folder %2").arg(name, folder)
                 : QCoreApplication::translate("TMainForm", "Could not move %1 to the safety folder %2").arg(name, folder);
}

} // namespace TreeActions
