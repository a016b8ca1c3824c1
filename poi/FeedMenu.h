// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The POI editor's Tools > Import entries for the feeds, the web page scan and
// "MapSettings.cfg"; TOV2::GDKIA lives beside them.

class IShell;
class TOV2;

namespace FeedMenu {
// Adds the entries to the editor's Import menu and the default answers of its
// address and file questions.
void install(TOV2 &editor, IShell &shell);

// The menu handlers; errors go out as KorvixError, to the application's error box.
void KrakwUtrudnienia1Click(TOV2 &editor, IShell &shell);
void ZakopaneKwatery1Click(TOV2 &editor, IShell &shell);
void WEB1Click(TOV2 &editor, IShell &shell);
void MapSettingscfg1Click(TOV2 &editor, IShell &shell);
} // namespace FeedMenu
