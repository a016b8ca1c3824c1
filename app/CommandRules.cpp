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

// The capabilities the commands use; null when the editor has none.
const ISoundCommands *sound(const IEditor *e) { return e ? e->as<ISoundCommands>() : nullptr; }
const IListCommands *list(const IEditor *e) { return e ? e->as<IListCommands>() : nullptr; }

bool idle(const ISoundCommands *s) { return !s->isRecording() && !s->isPlaying(); }
bool notLoading(const IEditor *e, const ISoundCommands *s) { return !is(e, EditorKind::Voice) || !s->isSampleLoading(); }

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
        return isDocumentEditor(e) && e->as<ISaveAs>();
    case SharedCommand::GoogleAPI:
        return !ctx.anyEditor || !is(e, EditorKind::Map);
    case SharedCommand::Search:
        return isListEditor(e) && list(e);
    case SharedCommand::Duplicates:
        return isListEditor(e) && list(e) && list(e)->gridRowCount() > 2;
    case SharedCommand::Select:
    case SharedCommand::SelRegion:
        if (!list(e))
            return false;
        if (is(e, EditorKind::Poi))
            return true;
        return is(e, EditorKind::Itinerary) ? current : false;
    default:
        break;
    }
    const ISoundCommands *s = sound(e);
    if (!isSoundEditor(e) || !s)
        return false;
    switch (c) {
    case SharedCommand::PlaySound:
    case SharedCommand::NormalizeSound:
        return idle(s) && !s->isWaveEmpty() && notLoading(e, s);
    case SharedCommand::RecSound:
    case SharedCommand::ImportSound:
        return idle(s) && notLoading(e, s);
    case SharedCommand::StopSound:
        return s->isRecording() || s->isPlaying();
    case SharedCommand::DelSound:
        if (is(e, EditorKind::Poi))
            return idle(s) && !s->isWaveEmpty();
        if (is(e, EditorKind::Voice))
            return s->isSampleEdited() && idle(s) && !s->isWaveEmpty();
        return false;
    case SharedCommand::SaveSound:
        return is(e, EditorKind::Voice) && s->isSampleEdited() && idle(s);
    case SharedCommand::DeleteSound:
    case SharedCommand::TrimSound:
        return idle(s) && !s->isWaveEmpty() && s->hasWaveSelection() && notLoading(e, s);
    default:
        return false;
    }
}

void CommandRules::route(SharedCommand c, const EditorContext &ctx)
{
    IEditor *e = target(c, ctx);
    if (!e)
        return;
    const bool doc = isDocumentEditor(e);
    ISaveAs *saveAs = doc ? e->as<ISaveAs>() : nullptr;
    IListCommands *l = isListEditor(e) ? e->as<IListCommands>() : nullptr;
    ISoundCommands *s = isSoundEditor(e) ? e->as<ISoundCommands>() : nullptr;
    IListCommands *poi = is(e, EditorKind::Poi) ? l : nullptr;
    ISoundCommands *redo = is(e, EditorKind::Poi) || is(e, EditorKind::Voice) ? s : nullptr;
    ISoundCommands *voice = is(e, EditorKind::Voice) ? s : nullptr;
    switch (c) {
    case SharedCommand::Save: if (doc) e->Save(); break;
    case SharedCommand::SaveAs: if (saveAs) saveAs->SaveAs(); break;
    case SharedCommand::Search: if (l) l->ShowFind(); break;
    case SharedCommand::Duplicates: if (l) l->Duplicates(); break;
    case SharedCommand::Select: if (poi) poi->SelectText(); break;
    case SharedCommand::SelRegion: if (poi) poi->SelectRegion(); break;
    case SharedCommand::PlaySound: if (s) s->PlaySound(); break;
    case SharedCommand::RecSound: if (s) s->RecSound(); break;
    case SharedCommand::StopSound: if (s) s->StopSound(); break;
    case SharedCommand::DelSound: if (redo) redo->DelSound(); break;
    case SharedCommand::ImportSound: if (s) s->ImportSound(); break;
    case SharedCommand::SaveSound: if (voice) voice->SaveSound(); break;
    case SharedCommand::DeleteSound: if (s) s->DeleteSound(); break;
    case SharedCommand::TrimSound: if (s) s->CropSound(); break;
    case SharedCommand::NormalizeSound: if (s) s->NormalizeSound(); break;
    case SharedCommand::GoogleAPI: break; // the main window carries it out itself
    }
}
