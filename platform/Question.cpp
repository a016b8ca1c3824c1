// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Question.h"

QMessageBox::StandardButton askQuestion(QWidget *parent, const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    if (buttons == (QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) && parent) {
        QString document = parent->windowTitle();
        if (document.endsWith(QLatin1Char('*')))
            document.chop(1); // the mark of unsaved changes
        box.setInformativeText(document);
    }
    return QMessageBox::StandardButton(box.exec());
}
