// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/BackupRunner.h"

#include "platform/BusyFolders.h"
#include "platform/Error.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "services/CabFile.h"
#include "services/RestoreDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TBackupRunner", text);
}
} // namespace

std::function<QString(QWidget *, const QString &)> TBackupRunner::chooseBackup = [](QWidget *parent,
                                                                                    const QString &folder) {
    QFileDialog dialog(parent, QString(), folder, tr("Korvix backup (*.bak)"));
    dialog.setDefaultSuffix(QStringLiteral("bak"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
};

TBackupRunner::TBackupRunner(IShell &shell, std::function<QString(const QString &)> serialOf, QObject *parent)
    : QObject(parent), m_shell(shell), m_serialOf(std::move(serialOf))
{
}

TBackupRunner::~TBackupRunner()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
        BusyFolders::release(m_root);
    }
}

void TBackupRunner::BackUp2Click()
{
    ErrorGuard::run(m_shell.window(), [this] { start(m_shell.GetSelTTPath()); });
}

void TBackupRunner::start(const QString &root)
{
    if (m_thread)
        throw KorvixError(tr("A backup is running already."));
    m_shell.SetStatus(tr("BackUp - Initialization..."));
    TBackup job;
    job.Root = root;
    job.Serial = m_serialOf ? m_serialOf(root) : QString();
    job.OutFolder = OutFolder;
    job.MaxCabinetSize = MaxCabinetSize;
    job.Cancelled = [this] { return m_cancel.load(); };
    job.OnProgress = [this](const QString &phase, qint64 position, qint64 total) {
        QMetaObject::invokeMethod(this, [=] { progress(phase, position, total); }, Qt::QueuedConnection);
    };
    m_cancel = false;
    m_root = root;
    BusyFolders::mark(root, tr("%1 is being backed up: save again when the backup has ended.")
                                .arg(QDir::toNativeSeparators(QDir::cleanPath(root))));
    m_thread = QThread::create([this, job]() mutable {
        TBackupResult result;
        QString error;
        try {
            result = job.Run();
        } catch (const KorvixError &e) {
            error = e.message();
        } catch (const std::exception &e) {
            error = QString::fromLocal8Bit(e.what());
        }
        QMetaObject::invokeMethod(this, [this, result, error] { ended(result, error); }, Qt::QueuedConnection);
    });
    if (auto *main = qobject_cast<QMainWindow *>(m_shell.window())) {
        if (!m_cancelButton) {
            m_cancelButton = new QPushButton(tr("Cancel backup"), main);
            m_cancelButton->setObjectName(QStringLiteral("backupCancel"));
            connect(m_cancelButton, &QPushButton::clicked, this, &TBackupRunner::cancel);
            main->statusBar()->addPermanentWidget(m_cancelButton);
        }
        m_cancelButton->show();
    }
    m_thread->start();
}

void TBackupRunner::cancel()
{
    m_cancel = true;
}

void TBackupRunner::progress(const QString &phase, qint64 position, qint64 total)
{
    if (!m_thread)
        return;
    // The bar counts in thousandths: device totals pass the range of an int.
    const int permille = total > 0 ? int(position * 1000 / total) : 0;
    m_shell.ShowProgress(phase, 0, 1000, permille);
}

void TBackupRunner::ended(const TBackupResult &result, const QString &error)
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    BusyFolders::release(m_root);
    if (m_cancelButton)
        m_cancelButton->hide();
    if (error.isEmpty()) {
        m_shell.SetStatus(result.verification());
        // Parts and anything left out are said in a box, not only in the status bar.
        if (result.hasRemarks())
            QMessageBox::information(m_shell.window(), QCoreApplication::applicationName(), result.closingMessage());
        emit finished(true, result.verification());
        return;
    }
    if (m_cancel) {
        m_shell.SetStatus(tr("Backup cancelled"));
        emit finished(false, tr("Backup cancelled"));
        return;
    }
    m_shell.SetStatus(QString());
    ErrorGuard::show(m_shell.window(), error);
    emit finished(false, error);
}

void TBackupRunner::RRRRRClick()
{
    ErrorGuard::run(m_shell.window(), [this] {
        const QString root = m_shell.GetSelTTPath();
        if (const QString busy = BusyFolders::refusal(root); !busy.isEmpty())
            throw KorvixError(busy);
        const QString folder = OutFolder.isEmpty() ? TBackup::backupFolder() : OutFolder;
        QDir().mkpath(folder);
        const QString file = chooseBackup(m_shell.window(), folder);
        if (file.isEmpty())
            return;
        m_shell.SetStatus(tr("Backup restore"));
        TRestoreDialog dialog(file, root, m_shell.window());
        dialog.exec();
        m_shell.SetStatus(QString());
        if (dialog.restoredAny())
            m_shell.UpdateTreeView(root, 0);
    });
}
