// SPDX-License-Identifier: GPL-3.0-or-later
// "Eject" in the real window: the questions of the device's editors, a running backup,
// the sync of the device (failed for real by the fault library) and the message when
// nothing can unmount it.
#include "app/EjectAction.h"
#include "app/MainForm.h"
#include "media/SchemEdit.h"
#include "grid/RBGrids.h"
#include "platform/BusyFolders.h"
#include "services/BackupRunner.h"
#include "tests/support/FaultRun.h"
#include "tests/support/LoopVolume.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
constexpr char kDeviceDir[] = "KORVIX_EJECT_DEVICE";

QString makeDevice(const QString &dev, int noiseBytes = 0)
{
    QDir().mkpath(dev + "/Schemes");
    auto put = [&](const QString &name, const QByteArray &data) {
        QFile f(dev + "/" + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    };
    put("TTGO.BIF", "[TomTomGo]\nDeviceSerialNumber=SN9\n");
    put("ttsystem", "system");
    put("Schemes/Day.clr", "1,2,3 // day\r\n");
    put("Schemes/Night.clr", "4,5,6 // night\r\n");
    put("Schemes/Dawn.clr", "7,8,9 // dawn\r\n");
    if (noiseBytes) {
        QByteArray noise(noiseBytes, '\0');
        QRandomGenerator(5).fillRange(reinterpret_cast<quint32 *>(noise.data()), noiseBytes / 4);
        put("big.bin", noise);
    }
    return dev;
}

struct Window {
    TMainForm form;
    TEjectAction *eject;
    QStringList told;
    QStringList askedBackup;
    bool cancelBackup = false;

    explicit Window(const QString &dev, TBackupRunner *(*backup)(TMainForm &) = nullptr) : Window(folderOnly(dev), backup) {}
    explicit Window(const TMainForm::Options &options, TBackupRunner *(*backup)(TMainForm &) = nullptr,
                    bool realBus = false)
        : form(options)
    {
        // Where no system bus answers: the program's own fallback, never a real unmount.
        if (!realBus)
            qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/korvix-test-bus");
        eject = registerEjectAction(form, backup ? backup(form) : nullptr);
        eject->tell = [this](const QString &text, bool) { told << text; };
        eject->confirmCancelBackup = [this](const QString &question) {
            askedBackup << question;
            return cancelBackup;
        };
        form.show();
        QApplication::processEvents();
        form.selectNode(form.treeModel().tree().firstDevice());
    }

    // A scheme editor on `path`, changed when `change` is set; its close question is
    // recorded in `asked` and answered by `answer`.
    QStringList asked;
    std::function<QMessageBox::StandardButton()> answer = [] { return QMessageBox::Cancel; };
    TSchemEdit *openScheme(const QString &path, bool change)
    {
        auto *e = new TSchemEdit(form);
        e->Open(path);
        form.addEditorWindow(e);
        e->prompts.askSave = [this, path](QWidget *) {
            asked << QFileInfo(path).fileName();
            return answer();
        };
        if (change) {
            e->grid()->SetCell(TSchemEdit::DescriptionCol, 1, QStringLiteral("changed"));
            e->Cap(true);
        }
        return e;
    }

    QStringList openTitles() const
    {
        QStringList titles;
        for (QMdiSubWindow *w : form.mdiArea()->subWindowList())
            if (w->widget() && !w->testAttribute(Qt::WA_WState_Hidden))
                titles << QFileInfo(w->widget()->windowTitle()).fileName();
        titles.sort();
        return titles;
    }
};
} // namespace

TEST(Eject, AsksEachChangedEditorOfTheDeviceAndCancelKeepsEverything)
{
    TempFolder t;
    const QString dev = makeDevice(t.file("dev"));
    const QString outside = t.write("Elsewhere.clr", "1,1,1 // other\r\n");
    Window w(dev);
    w.openScheme(dev + "/Schemes/Dawn.clr", false);
    w.openScheme(dev + "/Schemes/Day.clr", true);
    w.openScheme(dev + "/Schemes/Night.clr", true);
    w.openScheme(outside, true);

    // Day is saved, then Night's Cancel stops the eject: nothing synced or said,
    // Night and the unchanged Dawn stay open, the editor of another folder is not asked.
    QList<QMessageBox::StandardButton> script{QMessageBox::Yes, QMessageBox::Cancel};
    w.answer = [&] { return script.isEmpty() ? QMessageBox::Cancel : script.takeFirst(); };
    EXPECT_FALSE(w.eject->eject(dev));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.asked, QStringList({"Day.clr", "Night.clr"}));
    EXPECT_TRUE(readAll(dev + "/Schemes/Day.clr").contains("changed"));
    EXPECT_FALSE(readAll(dev + "/Schemes/Night.clr").contains("changed"));
    EXPECT_TRUE(w.told.isEmpty());
    EXPECT_EQ(w.openTitles(), QStringList({"Dawn.clr", "Elsewhere.clr*", "Night.clr*"}));

    // Discard: the file keeps its old text, every editor of the device closes, the
    // other stays, and the folder is said to be written (a folder is never unmounted).
    w.asked.clear();
    w.answer = [] { return QMessageBox::No; };
    EXPECT_TRUE(w.eject->eject(dev + "/"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.asked, QStringList({"Night.clr"}));
    EXPECT_FALSE(readAll(dev + "/Schemes/Night.clr").contains("changed"));
    EXPECT_EQ(w.openTitles(), QStringList({"Elsewhere.clr*"}));
    const QString written = "Everything is written to " + QDir::toNativeSeparators(dev) + ".";
    EXPECT_EQ(w.told, QStringList({written}));
    EXPECT_EQ(w.form.statusText(), written);
    EXPECT_EQ(w.form.deviceRoots(), QStringList({dev}));
    EXPECT_TRUE(BusyFolders::refusal(dev).isEmpty());
}

TEST(Eject, OfferedOnDeviceNodesAndInExtraWithItsOwnShortcut)
{
    TempFolder t;
    Window w(makeDevice(t.file("dev")));
    ASSERT_NE(w.eject->popupAction(), nullptr);
    EXPECT_TRUE(w.eject->popupAction()->property("korvixDeviceNode").toBool());
    EXPECT_TRUE(w.form.treePopup()->actions().contains(w.eject->popupAction()));
    bool inExtra = false;
    for (QAction *menu : w.form.menuBar()->actions())
        if (menu->menu() && menu->text() == "Extra")
            inExtra = menu->menu()->actions().contains(w.eject->menuAction());
    EXPECT_TRUE(inExtra);
    // Ctrl+E belongs to Eject alone.
    const QKeySequence ctrlE(Qt::CTRL | Qt::Key_E);
    EXPECT_EQ(w.eject->menuAction()->shortcut(), ctrlE);
    QList<QAction *> holders;
    for (QAction *a : w.form.findChildren<QAction *>())
        if (a->shortcuts().contains(ctrlE))
            holders << a;
    EXPECT_EQ(holders, QList<QAction *>({w.eject->menuAction()}));

    // The command takes the selected device.
    w.eject->menuAction()->trigger();
    EXPECT_EQ(w.told.value(0), "Everything is written to " + QDir::toNativeSeparators(t.file("dev")) + ".");
}

TEST(Eject, ARunningBackupIsCancelledFirstWhenTheUserAgrees)
{
    TempFolder t;
    const QString dev = makeDevice(t.file("dev"), 24 << 20);
    const QString out = t.mkdir("out");
    static QString outFolder;
    outFolder = out;
    Window w(dev, [](TMainForm &form) {
        auto *runner = new TBackupRunner(form, nullptr, &form);
        runner->OutFolder = outFolder;
        return runner;
    });
    auto *runner = w.form.findChild<TBackupRunner *>();
    ASSERT_NE(runner, nullptr);
    QSignalSpy ended(runner, &TBackupRunner::finished);
    runner->start(dev + "/");
    ASSERT_TRUE(runner->isRunning());

    // No: the backup goes on, nothing is synced or said.
    EXPECT_FALSE(w.eject->eject(dev));
    ASSERT_EQ(w.askedBackup.size(), 1);
    EXPECT_TRUE(w.askedBackup[0].startsWith("A backup of " + QDir::toNativeSeparators(dev) + " is running"));
    EXPECT_TRUE(runner->isRunning());
    EXPECT_TRUE(w.told.isEmpty());

    // Yes: the backup ends cancelled before the device is synced, leaving no archive.
    w.cancelBackup = true;
    EXPECT_TRUE(w.eject->eject(dev));
    EXPECT_EQ(w.askedBackup.size(), 2);
    EXPECT_FALSE(runner->isRunning());
    ASSERT_EQ(ended.size(), 1);
    EXPECT_FALSE(ended[0][0].toBool());
    EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty()) << QDir(out).entryList().join(",").toStdString();
    EXPECT_TRUE(BusyFolders::refusal(dev).isEmpty());
    EXPECT_EQ(w.told.size(), 1);
}

TEST(Eject, AMountedDeviceNobodyCanUnmountIsWrittenAndStaysInTheTree)
{
    TempFolder t;
    const QString dev = makeDevice(t.file("TOMTOM"));
    TMainForm::Options o = folderOnly(QString());
    o.deviceFolders.clear();
    o.scanMounts = true;
    o.mountTable = t.write("mounts", ("/dev/sdz1 " + dev + " vfat rw,nosuid 0 0\n").toUtf8());
    Window w(o);
    ASSERT_EQ(w.form.deviceRoots(), QStringList({dev}));

    EXPECT_FALSE(w.eject->eject(dev));
    const QString said = "Everything is written to " + QDir::toNativeSeparators(dev) + "; it can be removed after you unmount it.";
    EXPECT_EQ(w.told, QStringList({said}));
    EXPECT_EQ(w.form.statusText(), said);
    EXPECT_EQ(w.form.deviceRoots(), QStringList({dev}));
}

// UDisks2 for real on a loop volume the window found in the mount table: refused while
// a file is open (its reason said, the device kept), then unmounted and dropped.
TEST(Eject, UDisks2TakesTheDeviceAwayAndTheTreeDropsIt)
{
    TempFolder t;
    LoopVolume volume(t, "TOMTOM");
    if (const QString why = volume.whyNoUDisks2(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const QString dev = makeDevice(volume.mountPoint);
    TMainForm::Options o = folderOnly(QString());
    o.deviceFolders.clear();
    o.scanMounts = true;
    o.mountTable = "/proc/self/mounts";
    Window w(o, nullptr, true);
    ASSERT_TRUE(w.form.deviceRoots().contains(dev));
    const QString name = QDir::toNativeSeparators(dev);

    QFile held(dev + "/held.txt");
    ASSERT_TRUE(held.open(QIODevice::WriteOnly));
    EXPECT_FALSE(w.eject->eject(dev));
    const QString refused = "Everything is written to " + name + ", but it could not be unmounted: ";
    ASSERT_EQ(w.told.size(), 1);
    EXPECT_TRUE(w.told[0].startsWith(refused) && w.told[0].size() > refused.size()) << w.told[0].toStdString();
    EXPECT_TRUE(w.form.deviceRoots().contains(dev));
    EXPECT_TRUE(LoopVolumeTools::isMounted(dev));

    held.close();
    EXPECT_TRUE(w.eject->eject(dev));
    EXPECT_EQ(w.form.statusText(), name + " can be removed now.");
    EXPECT_FALSE(w.form.deviceRoots().contains(dev));
    EXPECT_FALSE(LoopVolumeTools::isMounted(dev));
    EXPECT_EQ(w.told.size(), 1);
}

// The child's half of TheSyncOfTheDeviceIsMadeAndItsFailureSaid.
TEST(Eject, DISABLED_EjectInChild)
{
    const QString dev = makeDevice(qEnvironmentVariable(kDeviceDir));
    Window w(dev);
    // Written, not yet synced: the eject's sync is what brings it to the disk.
    QFile pending(dev + "/Schemes/Day.clr");
    ASSERT_TRUE(pending.open(QIODevice::Append));
    pending.write("10,11,12 // late\r\n");
    pending.close();
    const bool done = w.eject->eject(dev);
    printf("EJECT %s|%s|%s\n", done ? "done" : "kept", qPrintable(w.form.statusText()), qPrintable(w.told.join("#")));
}

TEST(Eject, TheSyncOfTheDeviceIsMadeAndItsFailureSaid)
{
    TempFolder t;
    const QString dev = t.file("dev");
    const QString count = t.file("count");
    const QMap<QString, QString> env{{kDeviceDir, dev}, {"KORVIX_FAULT_COUNT", count}};
    // Counting only: the device's file system is synced (the device is the only place
    // below the folder that anything syncs), and the folder is said to be written.
    const QByteArray counted = runTestCaseWithFault("Eject.DISABLED_EjectInChild", FaultPlan{"syncfs", 0, dev}, env);
    const long calls = readAll(count).trimmed().toLong();
    EXPECT_GE(calls, 1) << counted.toStdString();
    const QString name = QDir::toNativeSeparators(dev);
    EXPECT_TRUE(counted.contains(("EJECT done|Everything is written to " + name + ".|").toUtf8())) << counted.toStdString();

    // The sync fails: the window names the device and the system's reason.
    QDir(dev).removeRecursively();
    const QByteArray failed = runTestCaseWithFault("Eject.DISABLED_EjectInChild", FaultPlan{"syncfs", calls, dev}, env);
    const QByteArray said = ("Not everything could be written to " + name + ": Input/output error").toUtf8();
    EXPECT_TRUE(failed.contains("EJECT kept|" + said + "|" + said)) << failed.toStdString();
}
