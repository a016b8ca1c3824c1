// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMessageBox>

// A question box whose Escape is Cancel whenever Cancel is offered, never a silent No
// that throws work away. A Yes/No/Cancel question asked by an editor names its document
// (the editor's window title: its file), so with several open the user knows which.
QMessageBox::StandardButton askQuestion(QWidget *parent, const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons);

// The close question of an editor with unsaved changes: Yes, No or Cancel.
inline QMessageBox::StandardButton askToSaveChanges(QWidget *parent, const QString &caption, const QString &text)
{
    return askQuestion(parent, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}
