// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/QuickGpsFixDialog.h"

#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/HttpClient.h"
#include "services/QuickGpsFix.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TQFixDownload::TQFixDownload(QWidget *parent) : QDialog(parent), m_http(new HttpClient(this))
{
    setWindowTitle(QStringLiteral("usb"));
    const QuickGpsFix::Addresses defaults; // the built-in ones, not the settings
    Host = new QLineEdit(defaults.host);
    Path1 = new QLineEdit(defaults.globalLocate);
    Path2 = new QLineEdit(defaults.sirfStar);
    GlobalLocate = new QCheckBox(QStringLiteral("globalLocate"));
    GlobalLocate->setChecked(true);
    SirfStar = new QCheckBox(QStringLiteral("SiRFStarIII"));
    SirfStar->setChecked(true);
    Button1 = new QPushButton(tr("Get QuickGPSFix Files"));
    Status = new QLabel;
    auto *form = new QFormLayout;
    form->addRow(tr("Host"), Host);
    form->addRow(GlobalLocate, Path1);
    form->addRow(SirfStar, Path2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Button1);
    layout->addWidget(Status);
    connect(Button1, &QPushButton::clicked, this, &TQFixDownload::Button1Click);
    resize(640, sizeHint().height());
}

void TQFixDownload::setStatus(const QString &text)
{
    Status->setText(text);
    Status->repaint();
}

void TQFixDownload::Button1Click()
{
    using namespace QuickGpsFix;
    if (!GlobalLocate->isChecked() && !SirfStar->isChecked())
        return;
    // The archives unpack beside the downloads rather than into whatever the current folder is.
    const QString folder = Folder.isEmpty() ? Folders::UserDataFolder() : Folder;
    ErrorGuard::run(this, [&] {
        QDir().mkpath(folder);
        setStatus(tr("Connecting..."));
        if (GlobalLocate->isChecked()) {
            setStatus(tr("globalLocate Downloading..."));
            const QString cab = QDir(folder).filePath(QStringLiteral("Ephemeris1.cab"));
            download(*m_http, requestUrl(Host->text(), Path1->text()), cab, StallMs);
            setStatus(tr("globalLocate Decompressing..."));
            unpack(cab, folder);
        }
        if (SirfStar->isChecked()) {
            setStatus(tr("SiRFStarIII Downloading..."));
            const QString cab = QDir(folder).filePath(QStringLiteral("Ephemeris2.cab"));
            download(*m_http, requestUrl(Host->text(), Path2->text()), cab, StallMs);
            setStatus(tr("SiRFStarIII Decompressing..."));
            unpack(cab, folder);
            touchFiles(folder, QDateTime::currentDateTime());
        }
    });
    setStatus(QString());
}
