// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Settings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Settings, SectionAndKeyNamesIgnoreCaseAndValuesAreStrings)
{
    TempFolder tmp;
    KorvixSettings s(tmp.file("cfg/Korvix.ini"));
    EXPECT_FALSE(s.exists());
    EXPECT_EQ(s.ReadString("GoogleAPI", "Home", "none"), "none");

    s.WriteString("GoogleAPI", "Home", "50.1,19.9");
    s.WriteString("GoogleApi", "HOME", "51,20"); // same section, same key
    EXPECT_EQ(s.ReadString("googleapi", "home"), "51,20");
    s.WriteBool("Spec", "SuperUser", true);
    s.WriteInteger("Settings", "MaxDistance", 42);

    const QByteArray ini = readAll(s.fileName());
    // One section, one key, under the first spelling.
    EXPECT_EQ(ini.count("[GoogleAPI]"), 1) << ini.constData();
    EXPECT_EQ(ini.count("Home="), 1) << ini.constData();
    EXPECT_FALSE(ini.contains("HOME="));
    EXPECT_TRUE(ini.contains("SuperUser=1"));
    EXPECT_TRUE(ini.contains("MaxDistance=42"));
}

TEST(Settings, ReadRulesGiveDefaultsForMissingAndNonNumbers)
{
    TempFolder tmp;
    const QString file = tmp.write("Korvix.ini", "[Spec]\nUpdate=abc\nZero=0\nSeven=7\nNeg=-3\n[Settings]\nMaxDistance=12a\n");
    KorvixSettings s(file);
    EXPECT_TRUE(s.ReadBool("Spec", "Update", true));
    EXPECT_FALSE(s.ReadBool("Spec", "Update", false));
    EXPECT_FALSE(s.ReadBool("spec", "zero", true));
    EXPECT_TRUE(s.ReadBool("Spec", "Seven", false));
    EXPECT_TRUE(s.ReadBool("Spec", "Neg", false));
    EXPECT_EQ(s.ReadInteger("Settings", "MaxDistance", 5), 5);
    EXPECT_EQ(s.ReadInteger("Spec", "Neg", 5), -3);
    EXPECT_EQ(s.ReadInteger("Nope", "Nope", 9), 9);
}

TEST(Settings, NoCacheBetweenInstances)
{
    TempFolder tmp;
    KorvixSettings a(tmp.file("k.ini")), b(tmp.file("k.ini"));
    a.WriteString("S", "K", "1");
    EXPECT_EQ(b.ReadString("s", "k"), "1");
    b.WriteString("s", "k", "2");
    EXPECT_EQ(a.ReadString("S", "K"), "2");
}

TEST(Settings, GarbageFileGivesDefaults)
{
    TempFolder tmp;
    const QString file = tmp.write("k.ini", QByteArray("\x00\xff\xfe[[[=\n\x01", 9));
    KorvixSettings s(file);
    EXPECT_EQ(s.ReadInteger("Spec", "Update", 3), 3);
    EXPECT_EQ(s.ReadString("Spec", "Update", "d"), "d");
}
