// SPDX-License-Identifier: GPL-3.0-or-later
// The "QuickGPSFix" node and the service menu's download in the real main window,
// against a local server.
#include "app/DeviceServices.h"
#include "services/CabFile.h"
#include "services/QuickGpsFixDialog.h"
#include "tests/services/EphemerisServer.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {
const QByteArray Path1 = "/download/Ephemeris.cab?type=ephemeris&eeProvider=globalLocate&devicecode=1";
const QByteArray Path2 = "/download/Ephemeris.cab?type=ephemeris&eeProvider=SiRFStarIII&devicecode=2";

// An archive of files whose content is their name.
QByteArray cabinetOf(const QStringList &names)
{
    QList<QPair<QString, QByteArray>> files;
    for (const QString &name : names)
        files.append({name, name.toUtf8()});
    return ephemerisCabinet(files);
}

void serve(EphemerisServer &server)
{
    server.answers.insert(Path1, {"200 OK", cabinetOf({QStringLiteral("ee_meta.txt"), QStringLiteral("packedephemeris.ee")})});
    server.answers.insert(Path2, {"200 OK", cabinetOf({QStringLiteral("lto.dat")})});
}

TreeNode *gpsNode(TMainForm &form)
{
    return form.treeModel().tree().firstDevice()->findChild(QStringLiteral("QuickGPSFix"));
}
} // namespace

TEST(QuickGpsFixWindow, OpeningTheNodeUpdatesTheDeviceAndMarksItReadyOrSaysItCouldNot)
{
    EphemerisServer server;
    serve(server);
    TempFolder t;
    const QString dev = t.mkdir(QStringLiteral("dev"));
    t.write(QStringLiteral("dev/TTGO.BIF"), "[TomTomGo]\n");
    t.write(QStringLiteral("dev/ttsystem"), "system");
    TMainForm form(folderOnly(dev));
    registerDeviceServices(form);
    form.settings().WriteString(QStringLiteral("QuickGPSFix"), QStringLiteral("HOST"), server.host());
    form.show();
    QApplication::processEvents();
    TreeNode *node = gpsNode(form);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->icon(), int(TreeIcon::GpsStale));
    form.selectNode(node);
    EXPECT_TRUE(form.popupItems().open);

    form.TTOpen(node);
    EXPECT_EQ(readAll(dev + QStringLiteral("/ephem/lto.dat")), QByteArray("lto.dat"));
    EXPECT_EQ(gpsNode(form)->icon(), int(TreeIcon::GpsReady));
    EXPECT_EQ(form.statusText(), QString());

    // A failed update says so and leaves the icon as it was.
    server.answers[Path2] = {"503 Service Unavailable", "busy"};
    gpsNode(form)->setIcon(TreeIcon::GpsStale);
    QString caption, text;
    onNextModal([&](QWidget *box) {
        caption = box->windowTitle();
        if (auto *m = qobject_cast<QMessageBox *>(box))
            text = m->text();
        box->close();
    });
    form.TTOpen(gpsNode(form));
    EXPECT_EQ(caption, QStringLiteral("Error"));
    EXPECT_EQ(text, QStringLiteral("Could not download QuickGPSFix."));
    EXPECT_EQ(gpsNode(form)->icon(), int(TreeIcon::GpsStale));
}

TEST(QuickGpsFixWindow, TheServiceDialogDownloadsOnlyTheCheckedArchives)
{
    EphemerisServer server;
    serve(server);
    TempFolder t;
    TQFixDownload dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("usb"));
    EXPECT_EQ(dialog.Path1->text().toUtf8(), Path1);
    EXPECT_EQ(dialog.Path2->text().toUtf8(), Path2);
    dialog.Host->setText(server.host());
    dialog.Folder = t.mkdir(QStringLiteral("data"));

    dialog.SirfStar->setChecked(false);
    dialog.Button1Click();
    EXPECT_EQ(server.requestLines, QList<QByteArray>{"GET " + Path1 + " HTTP/1.1"});
    // Without the second archive the file times stay as unpacked.
    EXPECT_EQ(QFileInfo(t.file(QStringLiteral("data/ee_meta.txt"))).lastModified(), EphemerisPacked);
    EXPECT_FALSE(QFileInfo::exists(t.file(QStringLiteral("data/lto.dat"))));

    dialog.GlobalLocate->setChecked(false);
    dialog.Button1Click(); // nothing checked: nothing fetched
    EXPECT_EQ(server.requestLines.size(), 1);

    dialog.SirfStar->setChecked(true);
    dialog.Button1Click();
    EXPECT_EQ(server.requestLines.size(), 2);
    EXPECT_EQ(readAll(t.file(QStringLiteral("data/lto.dat"))), QByteArray("lto.dat"));
    EXPECT_GT(QFileInfo(t.file(QStringLiteral("data/ee_meta.txt"))).lastModified(), EphemerisPacked.addDays(1));
    EXPECT_EQ(dialog.Status->text(), QString());
}
