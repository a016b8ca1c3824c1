// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "services/Restore.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

// The files of a backup against the device: new, changed or same, with sizes and
// times; restores all or the checked ones, with progress and Cancel.
class TRestoreDialog : public QDialog {
    Q_OBJECT
public:
    // Throws KorvixError when the backup cannot be read.
    TRestoreDialog(const QString &backupFile, const QString &root, QWidget *parent = nullptr);

    bool restoredAny() const { return m_restored > 0; }
    QTreeWidget *list() const { return m_list; }
    QPushButton *restoreAllButton() const { return m_all; }
    QPushButton *restoreChosenButton() const { return m_chosen; }
    QPushButton *cancelButton() const { return m_cancel; }
    QString outcome() const;
    // While files are written: stops after the current one; else closes.
    void reject() override;

private:
    void fill();
    void run(const QStringList &names);
    TRestore m_restore;
    QLabel *m_info, *m_outcome;
    QTreeWidget *m_list;
    QProgressBar *m_bar;
    QPushButton *m_all, *m_chosen, *m_cancel;
    bool m_running = false, m_stop = false;
    int m_restored = 0;
};
