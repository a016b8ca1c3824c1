// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/TreeActions.h"
#include "app/TreeBuilder.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace TreeActions;

namespace {

// A detached tree shaped like a device's, for the tables of the tree commands.
struct Fixture {
    std::unique_ptr<TreeNode> device = std::make_unique<TreeNode>("/media/tt|GO", 0);
    TreeNode *gps = device->addChild("QuickGPSFix", 7);
    TreeNode *poi = device->addChild("POI", 9);
    TreeNode *map = poi->addChild("Europe", 2);
    TreeNode *fuel = map->addChild("Fuel.ov2", 14);
    TreeNode *fuelBmp = fuel->addChild("Fuel.bmp", 14);
    TreeNode *fuelLarge = fuel->addChild("Fuel_x2.BMP", 14);
    TreeNode *fuelSound = fuel->addChild("Fuel.ogg", 14);
    TreeNode *gddkia = map->addChild("GDDKIA", 4);
    TreeNode *poiDat = map->addChild("POI.DAT", 3);
    TreeNode *poiCat = poiDat->addChild("Petrol station", 1);
    TreeNode *itn = device->addChild("Itinerary", 9);
    TreeNode *route = itn->addChild("route.itn", 13);
    TreeNode *images = device->addChild("Images", 9);
    TreeNode *splash = images->addChild("splash.bmp", 11);
    TreeNode *schemes = device->addChild("Schemes", 9);
    TreeNode *night = schemes->addChild("night.clr", 12);
    TreeNode *sounds = device->addChild("Sounds", 9);
    TreeNode *horn = sounds->addChild("horn.ogg", 10);
    TreeNode *voices = device->addChild("Voices", 9);
    TreeNode *ann = voices->addChild("ann.vif", 10);
    TreeNode *annChk = ann->addChild("ann.chk", 13);
    TreeNode *raster = device->addChild("Raster", 9);
    TreeNode *abc = raster->addChild("abc", 9);
    TreeNode *abc1 = abc->addChild("abc1.sat", 13);
    TreeNode *abc2 = abc->addChild("abc2.sat", 13);
};

const QString root = "/media/tt/";

} // namespace

TEST(TreeActions, OpenResolvesEveryKindOfNode)
{
    Fixture f;
    struct Row { TreeNode *node; OpenKind kind; QString path; };
    const Row rows[] = {
        {f.gps, OpenKind::QuickGPSFix, root},
        {f.splash, OpenKind::Image, "/media/tt/splash.bmp"},
        {f.horn, OpenKind::Sound, "/media/tt/Sounds/horn.ogg"},
        {f.night, OpenKind::Scheme, "/media/tt/Schemes/night.clr"},
        {f.ann, OpenKind::Voice, "/media/tt/Voices/ann.vif"},
        {f.route, OpenKind::Itinerary, "/media/tt/Itn/route.itn"},
        {f.gddkia, OpenKind::Gddkia, "/media/tt/Europe"},
        {f.fuel, OpenKind::Ov2, "/media/tt/Europe/Fuel.ov2"},
        {f.poiCat, OpenKind::PoiDat, "/media/tt/Europe/POI.DAT"},
        {f.device.get(), OpenKind::None, ""},
        {f.poi, OpenKind::None, ""},
        {f.map, OpenKind::None, ""},
        {f.poiDat, OpenKind::None, ""},
        {f.fuelBmp, OpenKind::PoiIcon, "/media/tt/Europe/Fuel.ov2"},
        {f.fuelLarge, OpenKind::PoiIcon, "/media/tt/Europe/Fuel.ov2"},
        {f.fuelSound, OpenKind::None, ""},
        {f.annChk, OpenKind::None, ""},
        {nullptr, OpenKind::None, ""},
    };
    for (const Row &r : rows) {
        const OpenAction a = resolveOpen(r.node, root, false);
        EXPECT_EQ(int(a.kind), int(r.kind)) << (r.node ? r.node->text().toStdString() : "null");
        EXPECT_EQ(a.path, r.path) << (r.node ? r.node->text().toStdString() : "null");
    }
    EXPECT_TRUE(resolveOpen(f.poiCat, root, false).needsConfirmation);
    EXPECT_FALSE(resolveOpen(f.fuelBmp, root, false).largeIcon);
    EXPECT_TRUE(resolveOpen(f.fuelLarge, root, false).largeIcon);
    EXPECT_EQ(resolveOpen(f.poiCat, root, false).category, "Petrol station");
    EXPECT_EQ(int(resolveOpen(f.ann, root, true).kind), int(OpenKind::None)); // a voice editor is open
}

TEST(TreeActions, RasterGroupOpensEveryOverlayInOrder)
{
    Fixture f;
    const OpenAction group = resolveOpen(f.abc, root, false);
    ASSERT_EQ(group.rasters.size(), 2);
    EXPECT_EQ(group.rasters[0].path, "/media/tt/Raster/abc1.sat");
    EXPECT_TRUE(group.rasters[0].first);
    EXPECT_TRUE(group.rasters[0].moreFollow);
    EXPECT_FALSE(group.rasters[1].first);
    EXPECT_FALSE(group.rasters[1].moreFollow);
    const OpenAction one = resolveOpen(f.abc2, root, false);
    ASSERT_EQ(one.rasters.size(), 1);
    EXPECT_TRUE(one.rasters[0].first);
    EXPECT_FALSE(one.rasters[0].moreFollow);
}

TEST(TreeActions, NewDependsOnTheCategory)
{
    Fixture f;
    EXPECT_EQ(int(resolveNew(f.itn, root, false).kind), int(NewKind::Itinerary));
    EXPECT_EQ(resolveNew(f.itn, root, false).path, "/media/tt/itn/");
    EXPECT_EQ(int(resolveNew(f.images, root, false).kind), int(NewKind::Image));
    EXPECT_EQ(int(resolveNew(f.schemes, root, false).kind), int(NewKind::Scheme));
    EXPECT_EQ(resolveNew(f.sounds, root, false).path, "/media/tt/Sounds/");
    EXPECT_EQ(int(resolveNew(f.raster, root, false).kind), int(NewKind::None));
    EXPECT_EQ(int(resolveNew(f.raster, root, true).kind), int(NewKind::Raster));
    EXPECT_EQ(resolveNew(f.map, root, false).path, "/media/tt/Europe/");
    EXPECT_EQ(int(resolveNew(f.poi, root, true).kind), int(NewKind::None));
    EXPECT_EQ(int(resolveNew(f.horn, root, true).kind), int(NewKind::None));
}

TEST(TreeActions, PopupItemsAndMultipleSelectionFollowTheNode)
{
    Fixture f;
    auto items = [](const TreeNode *n) {
        const PopupItems p = popupFor(n);
        return std::string() + (p.gddkia ? "G" : "") + (p.open ? "O" : "") + (p.openCurrentItn ? "I" : "")
               + (p.newItem ? "N" : "") + (p.del ? "D" : "") + (p.backUp ? "B" : "");
    };
    EXPECT_EQ(items(f.device.get()), "B");
    EXPECT_EQ(items(f.gps), "O");
    EXPECT_EQ(items(f.poi), "");
    EXPECT_EQ(items(f.itn), "IN");
    EXPECT_EQ(items(f.images), "N");
    EXPECT_EQ(items(f.map), "GN");
    EXPECT_EQ(items(f.fuel), "OD");
    EXPECT_EQ(items(f.poiDat), "OD"); // level 3 under "POI": offered, and does nothing
    EXPECT_EQ(items(f.poiCat), "O");
    EXPECT_EQ(items(f.splash), "OD");
    EXPECT_EQ(items(f.abc), "OD");
    EXPECT_EQ(items(f.abc1), "OD");
    EXPECT_EQ(items(f.fuelBmp), "");

    EXPECT_TRUE(multiSelectFor(f.horn));
    EXPECT_TRUE(multiSelectFor(f.route));
    EXPECT_FALSE(multiSelectFor(f.ann));
    EXPECT_FALSE(multiSelectFor(f.map));
    EXPECT_FALSE(multiSelectFor(f.abc));
    EXPECT_TRUE(multiSelectFor(f.fuel));
    EXPECT_TRUE(multiSelectFor(f.abc1));
    EXPECT_FALSE(multiSelectFor(f.device.get()));
}

TEST(TreeActions, DeletingAPoiFileKeepsItsSoundAndTakesSafetyCopies)
{
    TempFolder dev, user;
    dev.write("Europe/Fuel.ov2", "ov2");
    dev.write("Europe/Fuel.bmp", "bmp");
    dev.write("Europe/Fuel_x2.bmp", "x2");
    dev.write("Europe/Fuel.ogg", "ogg");
    Fixture f;
    const DeleteAction a = resolveDelete(f.fuel, dev.path() + "/");
    ASSERT_EQ(a.files.size(), 3);
    EXPECT_EQ(a.categoryFolder, "Europe");
    const QString folder = safetyFolder(user.path(), "Delete", QDate(2026, 12, 8), a.categoryFolder);
    EXPECT_TRUE(folder.endsWith("/BackUp/Delete_20261208/Europe/"));
    EXPECT_TRUE(deleteWithSafetyCopies(a, folder));
    EXPECT_FALSE(QFile::exists(dev.file("Europe/Fuel.ov2")));
    EXPECT_FALSE(QFile::exists(dev.file("Europe/Fuel.bmp")));
    EXPECT_FALSE(QFile::exists(dev.file("Europe/Fuel_x2.bmp")));
    EXPECT_TRUE(QFile::exists(dev.file("Europe/Fuel.ogg")));
    EXPECT_EQ(readAll(folder + "Fuel.ov2"), "ov2");
    EXPECT_EQ(readAll(folder + "Fuel_x2.bmp"), "x2");

    // Images, raster groups and raster files are offered "Delete" but remove nothing.
    EXPECT_TRUE(resolveDelete(f.splash, root).isEmpty());
    EXPECT_TRUE(resolveDelete(f.abc, root).isEmpty());
    EXPECT_TRUE(resolveDelete(f.abc1, root).isEmpty());
    EXPECT_EQ(resolveDelete(f.ann, root).files,
              QStringList({"/media/tt/Voices/ann.vif", "/media/tt/Voices/ann.chk", "/media/tt/Voices/ann.bmp"}));
}

TEST(TreeActions, DeleteQuestionNamesCompanionsOnlyWhenThereAreSome)
{
    TempFolder dev;
    Fixture f;
    const QString root = dev.path() + "/";
    dev.write("Europe/Fuel.ov2");
    const DeleteAction fuel = resolveDelete(f.fuel, root);
    EXPECT_EQ(deleteQuestion(fuel), "Move Fuel.ov2 to the safety folder?");
    dev.write("Europe/Fuel_x2.bmp");
    EXPECT_EQ(deleteQuestion(fuel), "Move Fuel.ov2 and its companions to the safety folder?");
    dev.write("Voices/ann.vif");
    EXPECT_EQ(deleteQuestion(resolveDelete(f.ann, root)), "Move ann.vif to the safety folder?");
    dev.write("Voices/ann.bmp");
    EXPECT_EQ(deleteQuestion(resolveDelete(f.ann, root)), "Move ann.vif and its companions to the safety folder?");
    EXPECT_EQ(deleteOutcome(fuel, "/home/ann/BackUp/Delete_20261208/Europe/", false),
              "Could not move Fuel.ov2 to the safety folder /home/ann/BackUp/Delete_20261208/Europe");
}

TEST(TreeActions, SafetyCopiesNeverOverwriteAnEarlierOne)
{
    TempFolder dev, user;
    const QString folder = user.file("BackUp/Delete_20261208/Sounds/");
    for (const char *content : {"first", "second", "third"}) {
        const QString f = dev.write("Sounds/horn.ogg", content);
        ASSERT_TRUE(TTBackUp(f, folder));
    }
    EXPECT_EQ(readAll(folder + "horn.ogg"), "first");
    EXPECT_EQ(readAll(folder + "horn (2).ogg"), "second");
    EXPECT_EQ(readAll(folder + "horn (3).ogg"), "third");
    EXPECT_TRUE(TTBackUp(dev.file("Sounds/missing.ogg"), folder)); // nothing to copy
}

TEST(TreeActions, NoSafetyFolderMeansNothingIsDeleted)
{
    TempFolder dev, user;
    const QString sound = dev.write("Sounds/beep.wav", "w");
    user.write("blocker", "a file where the folder should go");
    Fixture f;
    TreeNode *beep = f.sounds->addChild("beep.wav", 10);
    const DeleteAction a = resolveDelete(beep, dev.path() + "/");
    EXPECT_FALSE(deleteWithSafetyCopies(a, user.file("blocker/Sounds/")));
    EXPECT_TRUE(QFile::exists(sound));
}

TEST(CommandLine, FilesDevicesAndTheServiceSwitchAsFileManagersPassThem)
{
    const CommandLine line = parseCommandLine(
        {"Map/Fuel.ov2", "--device", "copy", "-SuperUser", "-style", "fusion", "/abs/route.ITN", "../up/v.vif"}, "/home/ann/dev");
    EXPECT_EQ(line.deviceFolders, QStringList{"/home/ann/dev/copy"});
    EXPECT_TRUE(line.superUser);
    // "fusion" belongs to Qt's -style; Qt takes its options out before we see them.
    EXPECT_EQ(line.files, (QStringList{"/home/ann/dev/Map/Fuel.ov2", "/home/ann/dev/fusion", "/abs/route.ITN", "/home/ann/up/v.vif"}));
    EXPECT_TRUE(parseCommandLine({"/superuser"}, "/").superUser);
    EXPECT_TRUE(parseCommandLine({}, "/").files.isEmpty());
}

TEST(TreeActions, AFileFromOutsideOpensInTheEditorOfItsKind)
{
    const struct {
        const char *file;
        OpenKind kind;
    } cases[] = {{"a/Fuel.OV2", OpenKind::Ov2},     {"r.itn", OpenKind::Itinerary}, {"data1.chk", OpenKind::Voice},
                 {"data1.vif", OpenKind::Voice},    {"night.clr", OpenKind::Scheme}, {"beep.wav", OpenKind::Sound},
                 {"beep.ogg", OpenKind::Sound},     {"splash.bmp", OpenKind::Image}, {"photo.JPG", OpenKind::Image},
                 {"notes.txt", OpenKind::None},     {"noending", OpenKind::None}};
    for (const auto &c : cases) {
        const OpenAction a = resolveOpenFile(QString::fromLatin1(c.file));
        EXPECT_EQ(a.kind, c.kind) << c.file;
        EXPECT_EQ(a.path.isEmpty(), c.kind == OpenKind::None) << c.file;
    }
}
