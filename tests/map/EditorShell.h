// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A quiet shell that keeps the editors the map opens for points and routes, and
// closes them before the shell they use goes.
#include "itn/Itn.h"
#include "poi/Ov2Editor.h"
#include "tests/support/QuietShell.h"

#include <QList>
#include <QWidget>

class EditorShell : public QuietShell {
public:
    using QuietShell::QuietShell;
    void addEditorWindow(QWidget *editor) override { windows.append(editor); }
    ~EditorShell() override
    {
        for (QWidget *w : windows) {
            if (auto *poi = qobject_cast<TOV2 *>(w))
                poi->Saved(TOV2::AllBits);
            if (auto *itn = qobject_cast<TItnEdit *>(w))
                itn->Cap(false);
            delete w;
        }
    }
    QList<QWidget *> windows;
};
