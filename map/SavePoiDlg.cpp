// SPDX-License-Identifier: GPL-3.0-or-later
#include "map/SavePoiDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TSavePOIDlg::TSavePOIDlg(const QStringList &captions, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Save As..."));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Select file"), this));
    m_list = new QListWidget(this);
    m_list->addItems(captions);
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto *save = new QPushButton(tr("Zapisz"), this);
    save->setDefault(true);
    layout->addWidget(save);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QWidget *TSavePOIDlg::choose(QWidget *parent, const QList<QWidget *> &windows, bool &cancelled)
{
    cancelled = false;
    if (windows.isEmpty())
        return nullptr;
    if (windows.size() == 1)
        return windows.front();
    QStringList captions;
    for (QWidget *w : windows)
        captions << w->windowTitle();
    TSavePOIDlg dlg(captions, parent);
    if (dlg.exec() != QDialog::Accepted || !dlg.list()->currentItem()) {
        cancelled = true;
        return nullptr;
    }
    const QString chosen = dlg.list()->currentItem()->text();
    for (QWidget *w : windows)
        if (w->windowTitle() == chosen)
            return w;
    return nullptr;
}
