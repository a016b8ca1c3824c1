// SPDX-License-Identifier: GPL-3.0-or-later
// Parking an emptied companion with the rename or the folder sync failing for real (the
// fault library preloaded into a child run of this program): the companion and the older
// parked file both stay, and the save says so.
#include "platform/Error.h"
#include "poi/PoiSave.h"
#include "tests/support/FaultRun.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
const char *const kParkDir = "KORVIX_PARK_FAULT_DIR";

// A list with no sound, icons or anything else: saving it parks the old companions.
struct ListOnly : PoiSaveParts {
    void prepareList() override {}
    bool soundEmpty() const override { return true; }
    void writeSound(const QString &) override {}
    void writeList(const QString &path) override
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write("new list") != 8)
            throw KorvixError(QStringLiteral("cannot write the list"));
    }
    bool smallIconEmpty() const override { return true; }
    void writeSmallIcon(const QString &) override {}
    bool largeIconEmpty() const override { return true; }
    void writeLargeIcon(const QString &) override {}
    void saved(int) override {}
};

// Runs the inside test in a child with `call` failing the first time below the folder.
QByteArray runWithFault(const QString &dir, const QString &call)
{
    return runTestCaseWithFault(QStringLiteral("PoiSaveFault.DISABLED_Inside"), FaultPlan{call, 1, dir},
                                {{QString::fromLatin1(kParkDir), dir}});
}
} // namespace

TEST(PoiSaveFault, DISABLED_Inside)
{
    const QString dir = qEnvironmentVariable(kParkDir);
    ASSERT_FALSE(dir.isEmpty());
    ListOnly parts;
    try {
        savePoiFiles(dir + "/Fuel.ov2", parts);
        ADD_FAILURE() << "saved";
    } catch (const KorvixError &e) {
        // The message names what failed and why: the companion or its folder.
        const QString named = qEnvironmentVariable("KORVIX_FAULT_CALL") == "rename" ? dir + "/Fuel.ogg" : dir;
        EXPECT_EQ(e.message(), named + ": Input/output error");
    }
}

TEST(PoiSaveFault, AFailedParkingKeepsTheCompanionAndTheOlderParkedFile)
{
    for (const QString call : {"rename", "fsync"}) {
        SCOPED_TRACE(call.toStdString());
        TempFolder tmp;
        tmp.write("Fuel.ov2", "old list");
        tmp.write("Fuel.ogg", "old ogg");
        tmp.write("Fuel.og_", "older ogg");
        const QByteArray out = runWithFault(tmp.path(), call);
        EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
        EXPECT_EQ(readAll(tmp.file("Fuel.og_")), call == "rename" ? "older ogg" : "old ogg");
        if (call == "rename")
            EXPECT_EQ(readAll(tmp.file("Fuel.ogg")), "old ogg");
    }
}
