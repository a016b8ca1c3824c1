// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandRules.h"

namespace {

bool is(const IEditor *e, EditorKind k) { return e && e->editorKind() == k; }

bool isDocumentEditor(const IEditor *e)
{
    return e && e->editorKind() != EditorKind::Map;
}

bool isListEditor(const IEditor *e) { return is(e, EditorKind::Poi) || is(e, EditorKind::Itinerary); }

bool isSoundEditor(const IEditor *e)
{
    return is(e, EditorKind::Poi) || is(e, EditorKind::Sound) || is(e, EditorKind::Voice);
}

bool idle(const IEditor *e) { return !e->isRecording() && !e->isPlaying(); }
bool notLoading(const IEditor *e) { return !is(e, EditorKind::Voice) || !e->isSampleLoading(); }

} // namespace

IEditor *CommandRules::target(SharedCommand c, const EditorContext &ctx)
{
    return (c == SharedCommand::Save || c == SharedCommand::SaveAs) ? ctx.active : ctx.top;
}

bool CommandRules::enabled(SharedCommand c, const EditorContext &ctx, bool current)
{
    const IEditor *e = target(c, ctx);
    switch (c) {
    case SharedCommand::Save:
        return isDocumentEditor(e) && e->isModified();
    case SharedCommand::SaveAs:
        return isDocumentEditor(e);
    case SharedCommand::GoogleAPI:
        return !ctx.anyEditor || !is(e, EditorKind::Map);
    case SharedCommand::Search:
        return isListEditor(e);
    case SharedCommand::Duplicates:
        return isListEditor(e) && e->gridRowCount() > 2;
    case SharedCommand::Select:
    case SharedCommand::SelRegion:
        if (is(e, EditorKind::Poi))
            return true;
        return is(e, EditorKind::Itinerary) ? current : false;
    default:
        break;
    }
    if (!isSoundEditor(e))
        return false;
    switch (c) {
    case SharedCommand::PlaySound:
    case SharedCommand::NormalizeSound:
        return idle(e) && !e->isWaveEmpty() && notLoading(e);
    case SharedCommand::RecSound:
    case SharedCommand::ImportSound:
        return idle(e) && notLoading(e);
    case SharedCommand::StopSound:
        return e->isRecording() || e->isPlaying();
    case SharedCommand::DelSound:
        if (is(e, EditorKind::Poi))
            return idle(e) && !e->isWaveEmpty();
        if (is(e, EditorKind::Voice))
            return e->isSampleEdited() && idle(e) && !e->isWaveEmpty();
        return false;
    case SharedCommand::SaveSound:
        return is(e, EditorKind::Voice) && e->isSampleEdited() && idle(e);
    case SharedCommand::DeleteSound:
    case SharedCommand::TrimSound:
        return idle(e) && !e->isWaveEmpty() && e->hasWaveSelection() && notLoading(e);
    default:
        return false;
    }
}

void CommandRules::route(SharedCommand c, const EditorContext &ctx)
{
    IEditor *e = target(c, ctx);
    if (!e)
        return;
    const bool doc = isDocumentEditor(e), list = isListEditor(e), sound = isSoundEditor(e);
    switch (c) {
    case SharedCommand::Save: if (doc) e->Save(); break;
    case SharedCommand::SaveAs: if (doc) e->SaveAs(); break;
    case SharedCommand::Search: if (list) e->ShowFind(); break;
    case SharedCommand::Duplicates: if (list) e->Duplicates(); break;
    case SharedCommand::Select: if (is(e, EditorKind::Poi)) e->SelectText(); break;
    case SharedCommand::SelRegion: if (is(e, EditorKind::Poi)) e->SelectRegion(); break;
    case SharedCommand::PlaySound: if (sound) e->PlaySound(); break;
    case SharedCommand::RecSound: if (sound) e->RecSound(); break;
    case SharedCommand::StopSound: if (sound) e->StopSound(); break;
    case SharedCommand::DelSound:
        if (is(e, EditorKind::Poi) || is(e, EditorKind::Voice))
            e->DelSound();
        break;
    case SharedCommand::ImportSound: if (sound) e->ImportSound(); break;
    case SharedCommand::SaveSound: if (is(e, EditorKind::Voice)) e->SaveSound(); break;
    case SharedCommand::DeleteSound: if (sound) e->DeleteSound(); break;
    case SharedCommand::TrimSound: if (sound) e->CropSound(); break;
    case SharedCommand::NormalizeSound: if (sound) e->NormalizeSound(); break;
    case SharedCommand::GoogleAPI: break; // the main window carries it out itself
    }
}
