// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/Progress.h"

#include <QString>

class KorvixSettings;
class HttpClient;
class QWidget;

// The one narrow way an editor reaches the main window, so no subsystem includes
// the application and each editor can be tested with a fake shell.
class IShell : public IProgress {
public:
    // Rebuilds the subtree of the device holding `path` (codes 0-7), or removes it (8).
    virtual void UpdateTreeView(const QString &path, int action) = 0;
    // Root (with trailing "/") of the first device; throws KorvixError("No TT Path").
    virtual QString GetTTPath() = 0;
    // Root of the device of the selected tree node.
    virtual QString GetSelTTPath() = 0;
    virtual KorvixSettings &settings() = 0;
    virtual HttpClient &http() = 0;
    // Parent for dialogs and message boxes.
    virtual QWidget *window() = 0;
    // Shows a new editor window inside the main window; the main window owns it then.
    virtual void addEditorWindow(QWidget *editor) = 0;
};
