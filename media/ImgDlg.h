// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

// The picture save choice: " StartUp" (100, "splash.bmp") or "ShutDown" (101,
// "antitheft.bmp"). Closing it otherwise chooses nothing.
class TImgDlg : public QDialog {
    Q_OBJECT
public:
    explicit TImgDlg(QWidget *parent = nullptr);
    // Shows the dialog modally, centred on `parent`; returns 100, 101 or 0.
    static int choose(QWidget *parent);
};
