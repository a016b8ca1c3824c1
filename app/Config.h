// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QSize>
#include <QString>

class KorvixSettings;

// Every key of the settings store with its default, so readers never spell a key or
// a default twice.
namespace Config {

bool superUser(const KorvixSettings &s);          // the service-menu switch, false
void setSuperUser(KorvixSettings &s);
bool updateCheck(const KorvixSettings &s);        // "Check for updates", true
void setUpdateCheck(KorvixSettings &s, bool on);
QString initialView(const KorvixSettings &s);     // "GoogleAPI"/"InitialView", empty
void setInitialView(KorvixSettings &s, const QString &bounds);
QString home(const KorvixSettings &s);            // "GoogleAPI"/"Home", empty
void setHome(KorvixSettings &s, const QString &position);
int maxDistance(const KorvixSettings &s);         // "Settings"/"MaxDistance", 0 metres
void setMaxDistance(KorvixSettings &s, int metres);
QString quickGpsFixHost(const KorvixSettings &s); // "QuickGPSFix"/"HOST"
QString globalLocatePath(const KorvixSettings &s);
QString sirfStarPath(const KorvixSettings &s);

// "Windows"/kind + "Size": an editor window kind's size when it was last closed,
// "width,height"; invalid when none was kept.
QSize editorSize(const KorvixSettings &s, const QString &kind);
void setEditorSize(KorvixSettings &s, const QString &kind, const QSize &size);
// "Windows"/kind + "Columns": the column widths the user chose in that kind's grid,
// "w0,w1,..." with 0 where none was chosen.
QList<int> editorColumns(const KorvixSettings &s, const QString &kind);
void setEditorColumns(KorvixSettings &s, const QString &kind, const QList<int> &widths);

// "Path": the program folder, written only when the store already exists.
void storeProgramFolder(KorvixSettings &s, const QString &folder);

} // namespace Config
