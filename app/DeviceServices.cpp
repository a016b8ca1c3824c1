#include "app/DeviceServices.h"

#include "app/DeviceInfo.h"
#include "app/MainForm.h"
#include "services/BackupRunner.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

TBackupRunner *registerDeviceServices(TMainForm &form)
{
    auto *backup = new TBackupRunner(
        form, [](const QString &root) { return DeviceInfo::ReadDeviceInfo(root, QStringLiteral("DeviceSerialNumber")); },
        &form);
    QAction *backUp = form.backUpPopupAction();
    backUp->setProperty("korvixAvailable", true);
    QObject::connect(backUp, &QAction::triggered, backup, &TBackupRunner::BackUp2Click);
    QAction *restore = form.treePopup()->addAction(QCoreApplication::translate("TBackupRunner", "Restore…"), backup, &TBackupRunner::RRRRRClick);
    restore->setProperty("korvixDeviceNode", true);
    form.serviceMenu()->addAction(QCoreApplication::translate("TBackupRunner", "Restore"), backup, &TBackupRunner::RRRRRClick);
    return backup;
}
