// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli coord --cell: what a list cell makes of a text, from the real program.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(CoordinateCli, ACellsReadingOfTypedText)
{
    CliRun r = runCli({"coord", "--cell", "lon", "19,95"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "1995000\n");
    // The shell's words are one text again.
    r = runCli({"coord", "--cell", "lat", "50", "3", "36", "N"});
    EXPECT_EQ(r.out, "5006000\n");
    r = runCli({"coord", "--cell", "lon", "50.06,", "19.94"});
    EXPECT_EQ(r.out, "Lng: 1994000 | Lat: 5006000\n");

    r = runCli({"coord", "--cell", "lat", QString::fromUtf8("91°")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(QString::fromUtf8(r.err).toStdString(), "korvix-cli: \"91°\": a latitude lies within 90°\n");
    r = runCli({"coord", "--cell", "lat"});
    EXPECT_EQ(r.code, 2);
    // The dialog's displays are as they were.
    r = runCli({"coord", "19.935,", "50.062"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.endsWith("Lng: 1993500 | Lat: 5006200\n")) << r.out.toStdString();
    // No coordinate at all: a message and exit 1, not four displays of zeros.
    r = runCli({"coord", "Rynek", "Główny"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(QString::fromUtf8(r.err).toStdString(), "korvix-cli: \"Rynek Główny\": no coordinate in this text\n");
}
