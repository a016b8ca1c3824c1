// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modal questions and file dialogs of the list editors, as replaceable functions:
// they default to the platform's boxes, file dialogs and clipboard, and tests answer
// them instead of a user. Both list editors hold one set.

#include <QImage>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

struct EditorDialogs {
    // A question; Escape is Cancel whenever Cancel is offered.
    std::function<QMessageBox::StandardButton(QWidget *parent, const QString &caption, const QString &text,
                                              QMessageBox::StandardButtons buttons)>
        ask;
    // A warning; `detail` (the system's reason) goes under the box's details when it
    // adds something to the text.
    std::function<void(QWidget *parent, const QString &caption, const QString &text, const QString &detail)> message;
    // File dialogs; empty when cancelled. `start` is a folder or a file name to propose;
    // `filters` are Qt's "Name (*.ext)". The save dialog's `filter` is the chosen
    // filter's index (in: the one preselected); the first filter's extension is added
    // to a name typed without one.
    std::function<QString(QWidget *parent, const QString &start, const QStringList &filters, int &filter)> saveFile;
    std::function<QString(QWidget *parent, const QString &start, const QStringList &filters)> openFile;
    // An input box with `def` proposed; `ok` false when cancelled.
    std::function<QString(QWidget *parent, const QString &caption, const QString &label, const QString &def,
                          bool &ok)>
        inputText;
    // The duplicates' distance in metres, `def` proposed; `ok` false when cancelled.
    std::function<int(QWidget *parent, int def, bool &ok)> askDistance;
    std::function<QString()> clipboardText;
    // The POI list's own windows, set by its editor: the coordinate dialog (true on
    // OK) and the icon editor (true with the edited icon on OK).
    std::function<bool(QWidget *parent, const QString &input)> editCoordinates;
    std::function<bool(QWidget *parent, QImage &icon)> editIcon;

    // Every entry but the POI list's own windows set to the platform's dialogs.
    static EditorDialogs platform();
};
