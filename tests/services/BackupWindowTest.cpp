// SPDX-License-Identifier: GPL-3.0-or-later
// The window's backup beside the user's work, its Cancel, its error box, and the
// restore dialog, in the real main window.
#include "app/DeviceServices.h"
#include "platform/AtomicFile.h"
#include "services/Backup.h"
#include "services/BackupRunner.h"
#include "services/RestoreDialog.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {
QString makeDevice(const TempFolder &t, int noiseBytes)
{
    const QString dev = t.mkdir(QStringLiteral("dev"));
    t.write(QStringLiteral("dev/TTGO.BIF"), "[TomTomGo]\nDeviceSerialNumber=SN9\n");
    t.write(QStringLiteral("dev/ttsystem"), "system");
    QByteArray noise(noiseBytes, '\0');
    QRandomGenerator(5).fillRange(reinterpret_cast<quint32 *>(noise.data()), noiseBytes / 4);
    t.write(QStringLiteral("dev/Maps/big.bin"), noise);
    t.write(QStringLiteral("dev/Itn/trip.itn"), "1|2|Home|4|\r\n");
    return dev;
}

struct Window {
    explicit Window(const QString &dev, const QString &out) : form(folderOnly(dev))
    {
        runner = registerDeviceServices(form);
        runner->OutFolder = out;
        form.show();
        QApplication::processEvents();
        form.selectNode(form.treeModel().tree().firstDevice());
    }
    TMainForm form;
    TBackupRunner *runner;
};

QStringList archives(const QString &out)
{
    return QDir(out).entryList({QStringLiteral("*.bak")}, QDir::Files);
}
} // namespace

TEST(BackupWindow, RunsBesideTheWindowAndTheDeviceRefusesSavesUntilItEnds)
{
    TempFolder t;
    const QString dev = makeDevice(t, 8 << 20);
    const QString out = t.file(QStringLiteral("out"));
    Window w(dev, out);
    ASSERT_TRUE(w.form.popupItems().backUp);
    QSignalSpy ended(w.runner, &TBackupRunner::finished);
    w.form.backUpPopupAction()->trigger();
    ASSERT_TRUE(w.runner->isRunning());

    // An editor's save into the device is refused with the reason; elsewhere it goes on.
    const QString refused = AtomicFile::write(dev + QStringLiteral("/Itn/trip.itn"), "changed");
    EXPECT_TRUE(refused.contains(QStringLiteral("is being backed up"))) << refused.toStdString();
    EXPECT_EQ(readAll(dev + QStringLiteral("/Itn/trip.itn")), QByteArray("1|2|Home|4|\r\n"));
    EXPECT_TRUE(AtomicFile::write(t.file(QStringLiteral("elsewhere.itn")), "x").isEmpty());
    // The window keeps answering while the backup runs.
    QPushButton *cancel = w.form.findChild<QPushButton *>(QStringLiteral("backupCancel"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(cancel->isVisibleTo(&w.form));
    // Nor is a restore into it started.
    QString restoreRefused;
    TBackupRunner::chooseBackup = [](QWidget *, const QString &) { return QString(); };
    onNextModal([&](QWidget *box) {
        if (auto *m = qobject_cast<QMessageBox *>(box))
            restoreRefused = m->text();
        box->close();
    });
    menuEntry(w.form, QStringLiteral("SERWIS"), QStringLiteral("Restore"))->trigger();
    EXPECT_TRUE(restoreRefused.contains(QStringLiteral("is being backed up"))) << restoreRefused.toStdString();

    // The end may have come while the message box was up.
    ASSERT_TRUE(!ended.isEmpty() || ended.wait(120000));
    EXPECT_TRUE(ended.first().at(0).toBool()) << ended.first().at(1).toString().toStdString();
    EXPECT_EQ(w.form.statusText(), QStringLiteral("Backup verified: 4 files, 8.0 MB in 1 cabinets"));
    const QStringList made = archives(out);
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made.first().startsWith(QStringLiteral("TT_SN9_"))) << made.first().toStdString();
    EXPECT_FALSE(cancel->isVisibleTo(&w.form));
    EXPECT_TRUE(AtomicFile::write(dev + QStringLiteral("/Itn/trip.itn"), "changed").isEmpty());
}

TEST(BackupWindow, CancelLeavesNoArchiveAndWhatWasLeftOutIsInTheClosingMessage)
{
    TempFolder t;
    const QString dev = makeDevice(t, 8 << 20);
    const QString out = t.file(QStringLiteral("out"));
    Window w(dev, out);
    QSignalSpy ended(w.runner, &TBackupRunner::finished);
    w.form.backUpPopupAction()->trigger();
    w.form.findChild<QPushButton *>(QStringLiteral("backupCancel"))->click();
    ASSERT_TRUE(ended.wait(120000));
    EXPECT_FALSE(ended.first().at(0).toBool());
    EXPECT_EQ(w.form.statusText(), QStringLiteral("Backup cancelled"));
    EXPECT_TRUE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

    // Links are never followed, a dangling one is no failure: both are named at the end.
    ASSERT_TRUE(QFile::link(t.file(QStringLiteral("nowhere")), dev + QStringLiteral("/Maps/broken.dat")));
    ASSERT_TRUE(QFile::link(dev + QStringLiteral("/Itn"), dev + QStringLiteral("/Maps/trips")));
    QString shown;
    onNextModal([&](QWidget *box) {
        if (auto *m = qobject_cast<QMessageBox *>(box))
            shown = m->text();
        box->close();
    });
    w.form.backUpPopupAction()->trigger();
    ASSERT_TRUE(ended.wait(120000));
    EXPECT_TRUE(ended.last().at(0).toBool()) << ended.last().at(1).toString().toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Backup verified: 4 files"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\nNot backed up, not regular files (links are not followed): "
                                              "Maps/broken.dat, Maps/trips")))
        << shown.toStdString();
    EXPECT_EQ(archives(out).size(), 1);
    EXPECT_TRUE(AtomicFile::write(dev + QStringLiteral("/Itn/trip.itn"), "changed").isEmpty());
}

TEST(BackupWindow, RestoreShowsTheComparisonAndRestoresTheChosenFiles)
{
    TempFolder t;
    const QString dev = makeDevice(t, 100000);
    const QString out = t.file(QStringLiteral("out"));
    TBackup b;
    b.Root = dev;
    b.OutFolder = out;
    const QString bak = b.Run().cabinets.first();
    t.write(QStringLiteral("dev/ttsystem"), "changed system");
    t.write(QStringLiteral("dev/Itn/trip.itn"), "changed trip");

    Window w(dev, out);
    QString offeredFolder;
    TBackupRunner::chooseBackup = [&](QWidget *, const QString &folder) {
        offeredFolder = folder;
        return bak;
    };
    QStringList rows;
    QString outcome;
    onNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TRestoreDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        QTreeWidget *list = dialog->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = list->topLevelItem(i);
            rows << row->text(0) + QLatin1Char(' ') + row->text(1);
            // Only the system file is chosen.
            row->setCheckState(0, row->text(0) == QLatin1String("ttsystem") ? Qt::Checked : Qt::Unchecked);
        }
        dialog->restoreChosenButton()->click();
        outcome = dialog->outcome();
        dialog->reject();
    });
    QAction *restore = menuEntry(w.form, QStringLiteral("SERWIS"), QStringLiteral("Restore"));
    ASSERT_NE(restore, nullptr);
    restore->trigger();
    EXPECT_EQ(offeredFolder, out);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("Itn/trip.itn changed"), QStringLiteral("Maps/big.bin same"),
                                 QStringLiteral("TTGO.BIF same"), QStringLiteral("ttsystem changed")}));
    EXPECT_EQ(outcome, QStringLiteral("1 files restored"));
    EXPECT_EQ(readAll(dev + QStringLiteral("/ttsystem")), QByteArray("system"));
    EXPECT_EQ(readAll(dev + QStringLiteral("/Itn/trip.itn")), QByteArray("changed trip"));
}
