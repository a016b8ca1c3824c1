// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EditorRegistry.h"

#include "app/BaseIcons.h"
#include "app/MainForm.h"
#include "itn/Itn.h"
#include "map/MapLayers.h"
#include "map/MiniMap.h"
#include "media/IconEdit.h"
#include "media/Img.h"
#include "media/SchemEdit.h"
#include "media/Sound.h"
#include "media/Voice.h"
#include "platform/Error.h"
#include "poi/LatLng.h"
#include "poi/Ov2Editor.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

// A POI list gets its small map; other editors have none.
void attachMiniMap(QWidget *, TMainForm &) {}
void attachMiniMap(TOV2 *poi, TMainForm &form)
{
    new TMiniMap(*poi, form);
}

// Opens an editor window of type E, or throws (and leaves nothing behind) when the
// document cannot be read.
template <typename E, typename Open>
void openEditor(TMainForm &form, Open &&open)
{
    auto *editor = new E(form);
    attachMiniMap(editor, form);
    try {
        open(*editor);
    } catch (...) {
        delete editor;
        throw;
    }
    form.addEditorWindow(editor);
}

void registerImages(TMainForm &form)
{
    using namespace TreeActions;
    // A picture opened from outside the tree is named by its file.
    form.registerOpener(OpenKind::Image, [&form](const OpenAction &a, TreeNode *node) {
        openEditor<TImg>(form, [&](TImg &w) { w.OpenBMP(node ? node->text() : QFileInfo(a.path).fileName(), a.path); });
    });
    form.registerCreator(NewKind::Image, [&form](const NewAction &a, TreeNode *node) {
        openEditor<TImg>(form, [&](TImg &w) { w.OpenBMP(node->text(), a.path); });
    });
}

// A list that fails half way keeps the rows read so far, so the window stays
// open after the reader's own message.
TOV2 *openOv2(TMainForm &form, const QString &path)
{
    auto *editor = new TOV2(form);
    attachMiniMap(editor, form);
    form.addEditorWindow(editor);
    editor->OpenOV2(path);
    return editor;
}

void registerPois(TMainForm &form)
{
    using namespace TreeActions;
    form.registerOpener(OpenKind::Ov2, [&form](const OpenAction &a, TreeNode *) { openOv2(form, a.path); });
    // An icon opens its list (the one already open, or a new window) and its drawing.
    form.registerOpener(OpenKind::PoiIcon, [&form](const OpenAction &a, TreeNode *) {
        TOV2 *list = nullptr;
        for (QMdiSubWindow *w : form.mdiArea()->subWindowList())
            if (auto *e = qobject_cast<TOV2 *>(w->widget()); e && QFileInfo(e->FileName) == QFileInfo(a.path))
                list = e;
        if (list)
            form.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(list->parentWidget()));
        else
            list = openOv2(form, a.path);
        list->editIcon(a.largeIcon);
    });
    // The road-authority feeds into the map folder's "GDDKIA.ov2", marked with the
    // base list's picture 6; a failed download opens the stored list.
    form.registerOpener(OpenKind::Gddkia, [&form](const OpenAction &a, TreeNode *) {
        auto *editor = new TOV2(form);
        attachMiniMap(editor, form);
        form.addEditorWindow(editor);
        editor->GDKIA(a.path, baseTreeIcons().value(6).pixmap(22, 22).toImage());
    });
    form.registerOpener(OpenKind::PoiDat, [&form](const OpenAction &a, TreeNode *) {
        openEditor<TOV2>(form, [&](TOV2 &w) { w.OpenTTPoi(a.path, a.category); });
    });
    form.registerCreator(NewKind::Poi, [&form](const NewAction &a, TreeNode *) {
        openEditor<TOV2>(form, [&](TOV2 &w) { w.New(a.path); });
    });
    form.addFileNew(QStringLiteral("POI"), [&form] { openEditor<TOV2>(form, [](TOV2 &) {}); });
    form.addFileOpen(QStringLiteral("POI"), QObject::tr("TT Overlay (*.ov2)"),
                     [&form](const QString &file) { openOv2(form, file); });
}

void registerItineraries(TMainForm &form)
{
    using namespace TreeActions;
    // "Open Curent Itn" comes through here too, with the first device's temporary.iti.
    form.registerOpener(OpenKind::Itinerary, [&form](const OpenAction &a, TreeNode *) {
        openEditor<TItnEdit>(form, [&](TItnEdit &w) { w.Open(a.path); });
    });
    form.registerCreator(NewKind::Itinerary, [&form](const NewAction &a, TreeNode *) {
        openEditor<TItnEdit>(form, [&](TItnEdit &w) { w.New(a.path); });
    });
    form.addFileNew(QStringLiteral("Itn"), [&form] { openEditor<TItnEdit>(form, [](TItnEdit &w) { w.New(QString()); }); });
    form.addFileOpen(QStringLiteral("Itn"), QObject::tr("TT Itinerary (*.itn)"), [&form](const QString &file) {
        openEditor<TItnEdit>(form, [&](TItnEdit &w) { w.Open(file); });
    });
}

// The phrase files have fixed names: a second voice editor would overwrite the
// phrases of the first.
void openVoice(TMainForm &form, const QString &path)
{
    if (TVoice *open = TVoice::openEditor())
        throw KorvixError(QObject::tr("Only one voice can be edited at a time: close %1 first.").arg(open->voicePath()));
    openEditor<TVoice>(form, [&](TVoice &w) { w.OpenVoice(path); });
}

void registerVoices(TMainForm &form)
{
    using namespace TreeActions;
    form.registerOpener(OpenKind::Voice, [&form](const OpenAction &a, TreeNode *) { openVoice(form, a.path); });
    form.addFileOpen(QStringLiteral("Voices"), QObject::tr("TT Voices (*.chk)"),
                     [&form](const QString &file) { openVoice(form, file); });
}

void registerSchemes(TMainForm &form)
{
    using namespace TreeActions;
    form.registerOpener(OpenKind::Scheme, [&form](const OpenAction &a, TreeNode *) {
        openEditor<TSchemEdit>(form, [&](TSchemEdit &w) { w.Open(a.path); });
    });
    form.registerCreator(NewKind::Scheme, [&form](const NewAction &, TreeNode *) {
        openEditor<TSchemEdit>(form, [](TSchemEdit &) {});
    });
    form.addFileNew(QStringLiteral("Schem"), [&form] { openEditor<TSchemEdit>(form, [](TSchemEdit &) {}); });
    form.addFileOpen(QStringLiteral("Schem"), QObject::tr("TT Scheme (*.clr)"), [&form](const QString &file) {
        openEditor<TSchemEdit>(form, [&](TSchemEdit &w) { w.Open(file); });
    });
}

void registerSounds(TMainForm &form)
{
    using namespace TreeActions;
    // A file of the "Sounds" folder, or New there with the folder itself.
    const auto open = [&form](const QString &path) {
        openEditor<TSound>(form, [&](TSound &w) { w.OpenSound(path); });
    };
    form.registerOpener(OpenKind::Sound, [open](const OpenAction &a, TreeNode *) { open(a.path); });
    form.registerCreator(NewKind::Sound, [open](const NewAction &a, TreeNode *) { open(a.path); });
    form.addFileNew(QStringLiteral("Sound"), [&form] { openEditor<TSound>(form, [](TSound &) {}); });
    form.addFileOpen(QStringLiteral("Sound"), QObject::tr("OGG (*.ogg);;Wave (*.wav)"), open);
}

void registerServiceTools(TMainForm &form)
{
    form.serviceMenu()->addAction(QStringLiteral("TEST"), &form, [&form] { TIconEdit::instance(&form)->show(); });
    TLatLng::instance(&form); // a long-lived dialog, created with the main window
}

// Rasters of the device and their capture, the track, feed and road-network layers.
void registerMapLayers(TMainForm &form)
{
    using namespace TreeActions;
    auto *layers = new TMapLayers(form, [&form] { return form.GetGoogleAPI(); }, &form);
    form.registerOpener(OpenKind::Raster, [layers](const OpenAction &a, TreeNode *) {
        for (const RasterItem &r : a.rasters)
            layers->OpenRasterInGoogleAPI(r.path, r.moreFollow, r.first);
    });
    form.registerCreator(NewKind::Raster, [layers](const NewAction &, TreeNode *) { layers->GetImageFromGoogleAPI(); });
    // The service menu sits in "Extra", which gets the "GoogleAPI" layers too.
    layers->addMenus(qobject_cast<QMenu *>(form.serviceMenu()->parentWidget()), form.serviceMenu());
}

} // namespace

void registerEditors(TMainForm &form)
{
    registerPois(form);
    registerItineraries(form);
    registerImages(form);
    registerVoices(form);
    registerSchemes(form);
    registerSounds(form);
    registerServiceTools(form);
    registerMapLayers(form);
}
