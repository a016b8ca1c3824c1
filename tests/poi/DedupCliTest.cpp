// SPDX-License-Identifier: GPL-3.0-or-later
// korvix-cli dedup, run as the real program.
#include "tests/poi/Ov2TestUtil.h"
#include "tests/support/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

QByteArray dedup(const QStringList &args, int *code)
{
    QProcess p;
    p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), QStringList{"dedup"} + args);
    if (!p.waitForFinished(60000)) {
        *code = -1;
        return {};
    }
    *code = p.exitCode();
    return p.readAllStandardOutput() + p.readAllStandardError();
}

} // namespace

TEST(DedupCli, MarksFlagsAndReferences)
{
    TempFolder tmp;
    const QString path = tmp.write("d.ov2", Ov2Bytes()
                                                .skipper(21 + 4 * 15 + 1, 1993520, 5006200, 1993500, 5006200)
                                                .poi(1993500, 5006200, "a")
                                                .poi(1993510, 5006200, "b")
                                                .poi(1993520, 5006200, "c")
                                                .poi(2093520, 5006200, "d"));
    int code = 0;
    EXPECT_EQ(dedup({path, "50"}, &code), "1\t40\t*2/1\n2\tC0\t>1\n3\tC0\t>1\n4\t00\t2/1\n");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(dedup({path, "0"}, &code), "1\t00\t*2/1\n2\t00\t2/1\n3\t00\t2/1\n4\t00\t2/1\n");
    EXPECT_EQ(dedup({path, "5"}, &code), "1\t00\t*2/1\n2\t00\t2/1\n3\t00\t2/1\n4\t00\t2/1\n");
    // Identical points are duplicates at any positive distance.
    const QString same = tmp.write("s.ov2", Ov2Bytes().poi(-1, -1, "x").poi(-1, -1, "y"));
    EXPECT_EQ(dedup({same, "1"}, &code), "1\t40\t2/0\n2\tC0\t>1\n");
}

TEST(DedupCli, BadInput)
{
    TempFolder tmp;
    int code = 0;
    EXPECT_EQ(dedup({tmp.file("none.ov2"), "50"}, &code),
              tmp.file("none.ov2").toUtf8() + ": Can't open OV2 file: No such file or directory\n");
    EXPECT_EQ(code, 1);
    const QString bad = tmp.write("bad.ov2", Ov2Bytes().poi(1, 1, "a").u8(11).raw("zz"));
    EXPECT_TRUE(dedup({bad, "50"}, &code).startsWith(bad.toUtf8() + ": Unknown Field: 0000000F"));
    EXPECT_EQ(code, 1);
    // The distance is whole metres, 0 or more; anything else is a usage error.
    const QString good = tmp.write("g.ov2", Ov2Bytes().poi(1, 1, "a").poi(1, 1, "b"));
    for (const char *metres : {"fifty", "-5", "-1", "1.5", "", "50m"}) {
        EXPECT_TRUE(dedup({good, metres}, &code).startsWith("usage: korvix-cli dedup")) << metres;
        EXPECT_EQ(code, 2) << metres;
    }
    // An empty file shows its one empty row.
    EXPECT_EQ(dedup({tmp.write("e.ov2"), "50"}, &code), "1\t00\t\n");
}

TEST(DedupCli, ProgressGoesToStandardErrorOnly)
{
    TempFolder tmp;
    Ov2Bytes bytes;
    for (int i = 0; i < 5000; ++i)
        bytes.poi(1993500 + i % 100, 5006200 + i / 100, "p");
    const QString path = tmp.write("many.ov2", bytes);
    const CliRun plain = runCli({"dedup", path, "5"});
    ASSERT_EQ(plain.code, 0);
    // A short search shows nothing unless asked.
    EXPECT_EQ(plain.err, "");
    const CliRun shown = runCli({"dedup", "--progress", path, "5"});
    ASSERT_EQ(shown.code, 0);
    EXPECT_EQ(shown.out, plain.out);
    // Standard error is not a terminal here: whole lines, never one per row.
    EXPECT_TRUE(shown.err.endsWith("Find Duplicates: 100%\n")) << shown.err.constData();
    EXPECT_FALSE(shown.err.contains('\r'));
    EXPECT_LE(shown.err.count('\n'), 101);
    for (const QByteArray &line : shown.err.split('\n'))
        EXPECT_TRUE(line.isEmpty() || line.startsWith("Find Duplicates: ")) << line.constData();
}
