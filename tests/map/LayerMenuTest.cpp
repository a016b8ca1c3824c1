// SPDX-License-Identifier: GPL-3.0-or-later
// The extra layers in the real main window: the tree's rasters, New on "Raster",
// the "GoogleAPI" layer menu and the service menu's road network.
#include "core/Settings.h"
#include "app/EditorRegistry.h"
#include "app/SampleDevice.h"
#include "map/GMaps.h"
#include "platform/Settings.h"
#include "tests/map/PageScript.h"
#include "tests/support/MainFormProbe.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

QByteArray jpeg()
{
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    return encodedImage(img, "JPEG");
}

} // namespace

TEST(LayerMenu, TheTreesRastersOpenOnTheMapNewCapturesAndTheMenusAreLive)
{
    TempFolder tmp;
    ASSERT_TRUE(SampleDevice::write(tmp.file("dev")).isEmpty());
    tmp.write("dev/Raster/abc1.jpg", jpeg());
    tmp.write("dev/Raster/abc2.jpg", jpeg());
    tmp.write("dev/Raster/abc1.sat", "-\r\n19.0\r\n50.2\r\n19.1\r\n50.1\r\n");
    tmp.write("dev/Raster/abc2.sat", "-\r\n19.2\r\n50.0\r\n19.3\r\n49.9\r\n");
    TMainForm form(folderOnly(tmp.file("dev")));
    form.settings().WriteString("GoogleAPI", "TileMap", "http://127.0.0.1:9/{z}/{x}/{y}.png");
    Prefs::switches(form.settings()).setSuperUser();
    registerEditors(form);
    form.resize(1000, 700);
    form.show();
    QApplication::processEvents();

    EXPECT_TRUE(menuEntry(form, "GoogleAPI", "TripMaster (*.csv)"));
    EXPECT_TRUE(menuEntry(form, "GoogleAPI", QString::fromUtf8("Kraków utrudniania")));
    EXPECT_TRUE(menuEntry(form, "GoogleAPI", "Zakopane Kwatery"));
    EXPECT_TRUE(menuEntry(form, "SERWIS", "GDDKIA_1"));

    TreeNode *raster = form.treeModel().tree().device(0)->findChild("Raster");
    ASSERT_TRUE(raster);
    TreeNode *group = raster->findChild("abc");
    ASSERT_TRUE(group);
    form.TTOpen(group);
    const QList<TGMaps *> maps = editorsOf<TGMaps>(form);
    ASSERT_EQ(maps.size(), 1);
    TGMaps *map = maps[0];
    map->isOnline = [] { return true; };
    ASSERT_TRUE(waitFor([&] { return js(map, "KXL.rasters().length").toInt() == 2; }));
    const QVariantList view = js(map, "KXL.view()").toList();
    ASSERT_EQ(view.size(), 4);
    EXPECT_LE(view[0].toDouble(), 49.9);
    EXPECT_GE(view[2].toDouble(), 50.2);

    // A feed whose server does not answer: the error box says so and the map stays.
    Prefs::sources(form.settings()).setServer(Prefs::Source::Krakow, "127.0.0.1:9");
    QString message;
    onNextModal([&](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w))
            message = box->text();
        w->close();
    });
    menuEntry(form, "GoogleAPI", QString::fromUtf8("Kraków utrudniania"))->trigger();
    EXPECT_FALSE(message.isEmpty());

    // TripMaster's dialog starts in the selected device's itinerary folder.
    const QString csv = tmp.write("dev/Itn/trip.csv", "x,y,t,d,A,B,C,v\n19.5,50.5,7:00,P,1,2,3,1\n19.6,50.6,7:10,Q,1,2,3,1\n");
    form.selectNode(raster);
    QString folder, filter;
    onNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        if (!dialog) { // whatever else came up must not hold the test
            ADD_FAILURE() << "not the file dialog: " << w->metaObject()->className();
            w->close();
            return;
        }
        folder = dialog->directory().absolutePath();
        filter = dialog->nameFilters().join('|');
        // Typed as a whole path: a busy machine may not have listed the folder yet.
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (edit)
            edit->setText(csv);
        else
            dialog->selectFile(csv);
        static_cast<QDialog *>(dialog)->accept();
        if (dialog->isVisible())
            static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    });
    menuEntry(form, "GoogleAPI", "TripMaster (*.csv)")->trigger();
    EXPECT_EQ(folder, QFileInfo(tmp.file("dev/Itn")).absoluteFilePath());
    EXPECT_EQ(filter, "TripMaster csv (*.csv)");
    ASSERT_TRUE(waitFor([&] { return js(map, "KXL.lines().length").toInt() == 1; }));

    form.selectNode(raster);
    form.New1Click();
    // Bounded, unlike the window's own wait.
    ASSERT_TRUE(waitFor([&] { return map->pageKind() == 2 && js(map, "!!document.getElementById('get')").toBool(); }));
    EXPECT_EQ(js(map, "document.getElementById('get').value").toString(), "Get Image");
    form.mdiArea()->closeAllSubWindows();
}
