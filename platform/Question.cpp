#include "platform/Question.h"

QMessageBox::StandardButton askQuestion(QWidget *parent, const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return QMessageBox::StandardButton(box.exec());
}
