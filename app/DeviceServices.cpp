// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DeviceServices.h"

#include "core/Settings.h"
#include "app/DeviceInfo.h"
#include "app/MainForm.h"
#include "services/BackupRunner.h"
#include "services/QuickGpsFix.h"
#include "services/QuickGpsFixDialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPersistentModelIndex>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("TBackupRunner", text);
}

// Opening the "QuickGPSFix" node: the update of that device, its node marked ready
// when every file reached the device.
void QGPS(TMainForm &form, const QString &root, TreeNode *node)
{
    const QPersistentModelIndex at = form.treeModel().indexOf(node);
    TQuickGpsFix fix(form.http());
    KorvixSettings &s = form.settings();
    const Prefs::GpsFix where = Prefs::gpsFix(s);
    fix.Where = {where.host(QLatin1String(QuickGpsFix::DefaultHost)),
                 where.globalLocatePath(QLatin1String(QuickGpsFix::DefaultGlobalLocate)),
                 where.sirfStarPath(QLatin1String(QuickGpsFix::DefaultSirfStar))};
    fix.OnStatus = [&form](const QString &text) { form.SetStatus(text); };
    if (!fix.QGPS(root)) {
        QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("TQuickGpsFix", "Error"),
                        QCoreApplication::translate("TQuickGpsFix", "Could not download QuickGPSFix."),
                        QMessageBox::Ok, form.window());
        box.setDetailedText(fix.error());
        box.exec();
        return;
    }
    // The tree may have been rebuilt while the transfers ran.
    if (TreeNode *still = at.isValid() ? form.treeModel().node(at) : nullptr) {
        still->setIcon(TreeIcon::GpsReady);
        emit form.treeModel().dataChanged(at, at, {Qt::DecorationRole});
    }
}
} // namespace

TBackupRunner *registerDeviceServices(TMainForm &form)
{
    auto *backup = new TBackupRunner(
        form, [](const QString &root) { return DeviceInfo::ReadDeviceInfo(root, QStringLiteral("DeviceSerialNumber")); },
        &form);
    QAction *backUp = form.backUpPopupAction();
    backUp->setProperty("korvixAvailable", true);
    QObject::connect(backUp, &QAction::triggered, backup, &TBackupRunner::BackUp2Click);
    QAction *restore = form.treePopup()->addAction(tr("Restore…"), backup, &TBackupRunner::RRRRRClick);
    restore->setProperty("korvixDeviceNode", true);
    form.serviceMenu()->addAction(tr("Restore"), backup, &TBackupRunner::RRRRRClick);

    form.registerOpener(TreeActions::OpenKind::QuickGPSFix,
                        [&form](const TreeActions::OpenAction &a, TreeNode *node) { QGPS(form, a.path, node); });
    form.serviceMenu()->addAction(QStringLiteral("QuickGPSFix"), &form, [&form] {
        TQFixDownload dialog(&form);
        dialog.exec();
    });
    return backup;
}
