// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EjectAction.h"

#include "app/DeviceTree.h"
#include "app/MainForm.h"
#include "platform/BusyFolders.h"
#include "platform/DeviceEject.h"
#include "platform/Editor.h"
#include "platform/ErrorGuard.h"
#include "platform/Mounts.h"
#include "platform/Question.h"
#include "services/BackupRunner.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QThread>

namespace {
QString cleanRoot(const QString &root)
{
    const QString clean = QDir::cleanPath(root);
    return clean.size() > 1 && clean.endsWith(QLatin1Char('/')) ? clean.chopped(1) : clean;
}

// The file an editor window shows: its file path when it keeps one, else its title,
// which every editor of a file makes from the file's path.
QString documentOf(const QWidget *editor)
{
    QString path = editor->windowFilePath();
    if (path.isEmpty()) {
        path = editor->windowTitle();
        if (path.endsWith(QLatin1Char('*')))
            path.chop(1);
    }
    return path;
}

bool isInside(const QString &path, const QString &root)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}
} // namespace

TEjectAction::TEjectAction(TMainForm &form, TBackupRunner *backup, QObject *parent)
    : QObject(parent), m_form(form), m_backup(backup), m_volumes(std::make_unique<DeviceEject::UDisks2Service>())
{
    confirmCancelBackup = [this](const QString &question) {
        return askQuestion(m_form.window(), tr("Eject"), question, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
    };
    tell = [this](const QString &text, bool warning) {
        QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, tr("Eject"), text,
                        QMessageBox::Ok, m_form.window());
        box.exec();
    };
}

TEjectAction::~TEjectAction() = default;

void TEjectAction::Eject1Click()
{
    ErrorGuard::run(m_form.window(), [this] {
        if (m_form.deviceRoots().isEmpty()) {
            m_form.SetStatus(tr("No device to eject."));
            return;
        }
        eject(m_form.GetSelTTPath());
    });
}

bool TEjectAction::stopBackupOf(const QString &root)
{
    if (!m_backup || !m_backup->isRunning() || BusyFolders::refusal(root).isEmpty())
        return true;
    if (!confirmCancelBackup(tr("A backup of %1 is running. Cancel it and eject?").arg(QDir::toNativeSeparators(root))))
        return false;
    // The backup removes its unfinished cabinets when it sees the cancel; the device is
    // synced only after it let go.
    QEventLoop loop;
    connect(m_backup, &TBackupRunner::finished, &loop, &QEventLoop::quit);
    m_backup->cancel();
    if (m_backup->isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return true;
}

bool TEjectAction::closeEditorsOf(const QString &root)
{
    // The editors with changes first: their questions come before anything closes
    // silently, and Cancel in one keeps the rest open.
    QList<QPointer<QMdiSubWindow>> changed, unchanged;
    for (QMdiSubWindow *sub : m_form.mdiArea()->subWindowList()) {
        QWidget *w = sub->widget();
        if (!w || !isInside(cleanRoot(documentOf(w)), root))
            continue;
        const auto *editor = dynamic_cast<const IEditor *>(w);
        (editor && editor->isModified() ? changed : unchanged) << sub;
    }
    for (const QPointer<QMdiSubWindow> &sub : changed + unchanged)
        if (sub && !sub->close())
            return false;
    return true;
}

bool TEjectAction::isMountedVolume(const QString &root) const
{
    // Devices found by the scan of the mount table are volumes; a device folder added
    // by hand stays mounted whatever holds it.
    const MountWatcher *mounts = m_form.findChild<MountWatcher *>();
    return mounts && mounts->mountPoints().contains(root);
}

bool TEjectAction::eject(const QString &device)
{
    if (m_running)
        return false;
    m_running = true;
    const std::shared_ptr<void> done(nullptr, [this](void *) { m_running = false; });
    const QString root = cleanRoot(device);
    const QString name = QDir::toNativeSeparators(root);

    if (!stopBackupOf(root) || !closeEditorsOf(root))
        return false;

    const bool mounted = isMountedVolume(root);
    BusyFolders::mark(root, tr("%1 is being ejected.").arg(name));
    m_form.SetStatus(tr("Writing everything to %1…").arg(name));
    // A slow stick takes its time to write out: the window keeps painting meanwhile.
    DeviceEject::Outcome outcome;
    DeviceEject::IVolumeService &volumes = *m_volumes;
    QThread *worker = QThread::create([&] { outcome = DeviceEject::eject(root, mounted, volumes); });
    QEventLoop loop;
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    BusyFolders::release(root);

    switch (outcome.state) {
    case DeviceEject::Outcome::Removed: {
        m_form.UpdateTreeView(root, DeviceTree::Remove);
        QString text = tr("%1 can be removed now.").arg(name);
        if (!outcome.reason.isEmpty())
            text += QLatin1Char(' ') + tr("It was not switched off: %1").arg(outcome.reason);
        m_form.SetStatus(text);
        return true;
    }
    case DeviceEject::Outcome::Written: {
        const QString text = mounted ? tr("Everything is written to %1; it can be removed after you unmount it.").arg(name)
                                     : tr("Everything is written to %1.").arg(name);
        m_form.SetStatus(text);
        tell(text, false);
        return !mounted;
    }
    case DeviceEject::Outcome::Refused: {
        const QString text = tr("Everything is written to %1, but it could not be unmounted: %2").arg(name, outcome.reason);
        m_form.SetStatus(text);
        tell(text, true);
        return false;
    }
    case DeviceEject::Outcome::SyncFailed: {
        const QString text = tr("Not everything could be written to %1: %2").arg(name, outcome.reason);
        m_form.SetStatus(text);
        tell(text, true);
        return false;
    }
    }
    return false;
}

TEjectAction *registerEjectAction(TMainForm &form, TBackupRunner *backup)
{
    auto *eject = new TEjectAction(form, backup, &form);
    eject->m_popup = form.treePopup()->addAction(TEjectAction::tr("Eject"), eject, &TEjectAction::Eject1Click);
    eject->m_popup->setProperty("korvixDeviceNode", true);
    // The window's own tools sit in "Extra"; the editors' "Tools" menus come and go.
    auto *extra = qobject_cast<QMenu *>(form.serviceMenu()->parentWidget());
    eject->m_menu = new QAction(TEjectAction::tr("Eject"), eject);
    eject->m_menu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    eject->m_menu->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(eject->m_menu, &QAction::triggered, eject, &TEjectAction::Eject1Click);
    if (extra)
        extra->insertAction(extra->actions().value(0), eject->m_menu);
    form.addAction(eject->m_menu); // the shortcut works with the menu closed too
    return eject;
}
