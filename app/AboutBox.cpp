// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutBox.h"

#include "app/Version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("About Korvix"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *name = new QLabel(QStringLiteral("<h2>Korvix</h2>"));
    m_version = new QLabel(tr("Version: ") + Version::GetVersionText(QStringLiteral(".")));
    auto *notice = new QLabel(tr("Korvix is free to use and to pass on. It comes without any warranty: "
                                 "keep a backup of your device before you change it."));
    notice->setWordWrap(true);
    auto *links = new QLabel(QStringLiteral("<a href=\"http://www.korvix.org/\">www.korvix.org</a><br>"
                                            "<a href=\"https://www.openstreetmap.org/\">www.openstreetmap.org</a>"));
    links->setOpenExternalLinks(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    for (QWidget *w : {static_cast<QWidget *>(name), static_cast<QWidget *>(m_version), static_cast<QWidget *>(notice),
                       static_cast<QWidget *>(links), static_cast<QWidget *>(buttons)})
        layout->addWidget(w);
}

QString TAboutBox::versionText() const
{
    return m_version->text();
}
