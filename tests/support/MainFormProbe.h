// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What tests of editors inside the real main window look up.
#include "app/MainForm.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

// A main window that sees only the device folder `dir`.
inline TMainForm::Options folderOnly(const QString &dir)
{
    TMainForm::Options o;
    o.scanMounts = false;
    o.updateCheck = false; // no look for a newer version from the tests
    o.deviceFolders = {dir};
    return o;
}

// The open editor windows of one kind, in window order.
template <class Editor>
QList<Editor *> editorsOf(TMainForm &form)
{
    QList<Editor *> out;
    for (QMdiSubWindow *w : form.mdiArea()->subWindowList())
        if (auto *e = qobject_cast<Editor *>(w->widget()))
            out << e;
    return out;
}

// The entry `text` of the menu titled `menu` (without its & marks), anywhere in the window.
inline QAction *menuEntry(TMainForm &form, const QString &menu, const QString &text)
{
    for (QMenu *m : form.findChildren<QMenu *>())
        if (m->menuAction()->text().remove('&') == menu)
            for (QAction *a : m->actions())
                if (a->text() == text)
                    return a;
    return nullptr;
}
