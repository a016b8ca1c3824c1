// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ImgDlg.h"

#include "media/ImgFile.h"

#include <QHBoxLayout>
#include <QPushButton>

TImgDlg::TImgDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Save as..."));
    setModal(true);
    auto *layout = new QHBoxLayout(this);
    auto *startUp = new QPushButton(tr(" StartUp"), this);
    auto *shutDown = new QPushButton(tr("ShutDown"), this);
    startUp->setObjectName(QStringLiteral("StartUp"));
    shutDown->setObjectName(QStringLiteral("ShutDown"));
    startUp->setAutoDefault(false);
    shutDown->setAutoDefault(false);
    layout->addWidget(startUp);
    layout->addWidget(shutDown);
    connect(startUp, &QPushButton::clicked, this, [this] { done(ImgFile::StartUpResult); });
    connect(shutDown, &QPushButton::clicked, this, [this] { done(ImgFile::ShutDownResult); });
}

int TImgDlg::choose(QWidget *parent)
{
    TImgDlg dialog(parent);
    const int result = dialog.exec();
    return result == ImgFile::StartUpResult || result == ImgFile::ShutDownResult ? result : 0;
}
