// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Editor.h"

// The main window's shared commands: which editor each goes to and when it is
// enabled, as one table over the editor interface.
enum class SharedCommand {
    Save, SaveAs, GoogleAPI, Search, Duplicates, Select, SelRegion,
    PlaySound, RecSound, StopSound, DelSound, ImportSound, SaveSound,
    DeleteSound, TrimSound, NormalizeSound,
};

struct EditorContext {
    IEditor *active = nullptr;  // the active editor window (Save, Save As)
    IEditor *top = nullptr;     // the most recently activated one (everything else)
    bool anyEditor = false;     // any editor window open, the map view included
};

namespace CommandRules {
// The new enabled state; `current` is kept where the rule says "unchanged".
bool enabled(SharedCommand command, const EditorContext &ctx, bool current);
// Calls the editor operation of the command on its target, if the target takes it.
void route(SharedCommand command, const EditorContext &ctx);
// The window a command goes to.
IEditor *target(SharedCommand command, const EditorContext &ctx);
} // namespace CommandRules
