// SPDX-License-Identifier: GPL-3.0-or-later
// The save order of a POI document and the parked companions, on real files.
#include "platform/Error.h"
#include "poi/PoiSave.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

struct FakeParts : PoiSaveParts {
    bool sound = false, small = false, large = false;
    QString failAt;  // the step that throws
    QStringList log; // steps and saved bits, in order
    bool soundEmpty() const override { return !sound; }
    bool smallIconEmpty() const override { return !small; }
    bool largeIconEmpty() const override { return !large; }
    void step(const QString &name, const QString &path)
    {
        log << name + ":" + QFileInfo(path).fileName();
        if (name == failAt)
            throw KorvixError(PoiTexts::problemSaving());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(name.toUtf8());
    }
    void prepareList() override
    {
        log << "prepare";
        if (failAt == "prepare")
            throw KorvixError(QStringLiteral("Row 2: longitude \"1.5\" is not a whole number of 1/100000 degrees"));
    }
    void writeSound(const QString &p) override { step("sound", p); }
    void writeList(const QString &p) override { step("list", p); }
    void writeSmallIcon(const QString &p) override { step("small", p); }
    void writeLargeIcon(const QString &p) override { step("large", p); }
    void saved(int bits) override { log << QString::number(bits); }
};

QStringList filesIn(const QString &dir)
{
    QStringList l = QDir(dir).entryList(QDir::Files);
    l.sort();
    return l;
}

} // namespace

TEST(PoiSave, OrderAndWritesOfAFullDocument)
{
    TempFolder tmp;
    FakeParts parts;
    parts.sound = parts.small = parts.large = true;
    EXPECT_EQ(savePoiFiles(tmp.file("Fuel.txt"), parts), tmp.file("Fuel.ov2"));
    EXPECT_EQ(parts.log, QStringList({"prepare", "sound:Fuel.ogg", "4", "list:Fuel.ov2", "1", "small:Fuel.bmp",
                                      "large:Fuel_X2.bmp", "2"}));
    EXPECT_EQ(filesIn(tmp.path()), QStringList({"Fuel.bmp", "Fuel.ogg", "Fuel.ov2", "Fuel_X2.bmp"}));
}

TEST(PoiSave, EmptyPartsParkTheirFilesReplacingOlderParkedOnes)
{
    TempFolder tmp;
    tmp.write("Fuel.ogg", "old ogg");
    tmp.write("Fuel.og_", "older ogg");
    tmp.write("Fuel.wav", "old wav");
    tmp.write("Fuel.bmp", "old bmp");
    tmp.write("Fuel_X2.bmp", "old x2");
    tmp.write("Fuel_X2.bm_", "older x2");
    FakeParts parts;
    savePoiFiles(tmp.file("Fuel.ov2"), parts);
    EXPECT_EQ(filesIn(tmp.path()), QStringList({"Fuel.bm_", "Fuel.og_", "Fuel.ov2", "Fuel.wa_", "Fuel_X2.bm_"}));
    EXPECT_EQ(readAll(tmp.file("Fuel.og_")), "old ogg");
    EXPECT_EQ(readAll(tmp.file("Fuel_X2.bm_")), "old x2");
    EXPECT_EQ(readAll(tmp.file("Fuel.bm_")), "old bmp");
    // Nothing to park is no error.
    FakeParts again;
    savePoiFiles(tmp.file("Fuel.ov2"), again);
    EXPECT_EQ(readAll(tmp.file("Fuel.og_")), "old ogg");
}

TEST(PoiSave, CompanionsAreFoundWithoutCase)
{
    TempFolder tmp;
    tmp.write("fuel.OGG", "ogg");
    tmp.write("FUEL.bmp", "bmp");
    const PoiCompanionPaths p = poiCompanionPaths(tmp.file("Fuel.ov2"));
    EXPECT_EQ(QFileInfo(p.ogg).fileName(), "fuel.OGG");
    EXPECT_EQ(QFileInfo(p.bmp).fileName(), "FUEL.bmp");
    EXPECT_EQ(QFileInfo(p.wav).fileName(), "Fuel.wav");
    FakeParts parts;
    parts.small = true;
    savePoiFiles(tmp.file("Fuel.ov2"), parts);
    // The icon is written over the file the device finds, not beside it.
    EXPECT_EQ(filesIn(tmp.path()), QStringList({"FUEL.bmp", "Fuel.ov2", "fuel.OG_"}));
    EXPECT_EQ(readAll(tmp.file("FUEL.bmp")), "small");
}

TEST(PoiSave, AFailureStopsTheLaterSteps)
{
    TempFolder tmp;
    tmp.write("Fuel.bmp", "old bmp");
    FakeParts parts;
    parts.sound = true;
    parts.failAt = "sound";
    EXPECT_THROW(savePoiFiles(tmp.file("Fuel.ov2"), parts), KorvixError);
    EXPECT_EQ(parts.log, QStringList({"prepare", "sound:Fuel.ogg"}));
    EXPECT_EQ(readAll(tmp.file("Fuel.bmp")), "old bmp");

    FakeParts late;
    late.large = true;
    late.failAt = "large";
    EXPECT_THROW(savePoiFiles(tmp.file("Fuel.ov2"), late), KorvixError);
    // The icons' bit stays set while the large icon is not on disk.
    EXPECT_EQ(late.log, QStringList({"prepare", "4", "list:Fuel.ov2", "1", "large:Fuel_X2.bmp"}));
}

TEST(PoiSave, AListThatCannotBeSavedTouchesNoFile)
{
    TempFolder tmp;
    tmp.write("Fuel.ogg", "old ogg");
    tmp.write("Fuel.ov2", "old list");
    tmp.write("Fuel.bmp", "old bmp");
    // Every part empty: without the check first the sound and icon would be parked.
    FakeParts parts;
    parts.failAt = "prepare";
    EXPECT_THROW(savePoiFiles(tmp.file("Fuel.ov2"), parts), KorvixError);
    EXPECT_EQ(parts.log, QStringList({"prepare"}));
    EXPECT_EQ(filesIn(tmp.path()), QStringList({"Fuel.bmp", "Fuel.ogg", "Fuel.ov2"}));
    EXPECT_EQ(readAll(tmp.file("Fuel.ov2")), "old list");
}

TEST(PoiSave, ParkedNames)
{
    EXPECT_EQ(parkedName("a/b/Fuel.ogg"), "a/b/Fuel.og_");
    EXPECT_EQ(parkedName("Fuel_X2.bmp"), "Fuel_X2.bm_");
    EXPECT_EQ(poiCompanionPaths("/x/a.b.ov2").base, "/x/a.b");
    EXPECT_EQ(poiCompanionPaths("/x/noext").base, "/x/noext");
}
