// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/RestoreDialog.h"

#include "platform/Error.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString timeText(const QDateTime &t)
{
    return t.isValid() ? QLocale::c().toString(t, QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString();
}
} // namespace

TRestoreDialog::TRestoreDialog(const QString &backupFile, const QString &root, QWidget *parent)
    : QDialog(parent), m_restore(backupFile, root)
{
    setWindowTitle(tr("Restore"));
    m_restore.Load();
    auto *layout = new QVBoxLayout(this);
    m_info = new QLabel(tr("Backup %1 against %2").arg(QFileInfo(backupFile).fileName(),
                                                        QDir::toNativeSeparators(QDir::cleanPath(root))));
    layout->addWidget(m_info);
    m_list = new QTreeWidget;
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({tr("File"), tr("State"), tr("Size"), tr("Time"), tr("Size on device"), tr("Time on device")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list, 1);
    m_outcome = new QLabel;
    m_outcome->setWordWrap(true);
    layout->addWidget(m_outcome);
    m_bar = new QProgressBar;
    m_bar->setRange(0, 1000);
    m_bar->setValue(0);
    layout->addWidget(m_bar);
    auto *buttons = new QDialogButtonBox;
    m_all = buttons->addButton(tr("Restore all"), QDialogButtonBox::ActionRole);
    m_chosen = buttons->addButton(tr("Restore chosen"), QDialogButtonBox::ActionRole);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(m_all, &QPushButton::clicked, this, [this] { run({}); });
    connect(m_chosen, &QPushButton::clicked, this, [this] {
        QStringList names;
        for (int i = 0; i < m_list->topLevelItemCount(); ++i)
            if (m_list->topLevelItem(i)->checkState(0) == Qt::Checked)
                names << m_list->topLevelItem(i)->text(0);
        if (!names.isEmpty())
            run(names);
    });
    connect(m_cancel, &QPushButton::clicked, this, &TRestoreDialog::reject);
    if (!m_restore.Refused().isEmpty())
        m_outcome->setText(tr("Not restored, these names lead outside the device folder: %1")
                               .arg(m_restore.Refused().join(QStringLiteral(", "))));
    fill();
    resize(760, 480);
}

void TRestoreDialog::fill()
{
    m_list->clear();
    for (const TRestoreItem &i : m_restore.Items()) {
        auto *row = new QTreeWidgetItem(m_list, {i.name, TRestoreItem::stateText(i.state), QString::number(i.size),
                                                 timeText(i.time),
                                                 i.deviceSize >= 0 ? QString::number(i.deviceSize) : QString(),
                                                 timeText(i.deviceTime)});
        // What differs is proposed; the same files are left alone unless chosen.
        row->setCheckState(0, i.state == TRestoreItem::Same ? Qt::Unchecked : Qt::Checked);
    }
}

QString TRestoreDialog::outcome() const
{
    return m_outcome->text();
}

void TRestoreDialog::run(const QStringList &names)
{
    m_running = true;
    m_stop = false;
    m_all->setEnabled(false);
    m_chosen->setEnabled(false);
    m_list->setEnabled(false);
    m_restore.Cancelled = [this] { return m_stop; };
    m_restore.OnProgress = [this](qint64 position, qint64 total) {
        m_bar->setValue(total > 0 ? int(position * 1000 / total) : 1000);
        QCoreApplication::processEvents();
    };
    try {
        const int n = m_restore.Restore(names);
        m_restored += n;
        m_outcome->setText(tr("%1 files restored").arg(n));
    } catch (const KorvixError &e) {
        m_outcome->setText(e.message());
        m_restored += 1; // some files may have been written before the stop
    }
    m_running = false;
    try {
        m_restore.Load();
    } catch (const KorvixError &e) {
        m_outcome->setText(e.message());
    }
    fill();
    m_all->setEnabled(true);
    m_chosen->setEnabled(true);
    m_list->setEnabled(true);
}

void TRestoreDialog::reject()
{
    if (m_running) {
        m_stop = true;
        return;
    }
    QDialog::reject();
}
