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
    EXPECT_EQ(dedup({tmp.file("none.ov2"), "50"}, &code), "Can't open OV2 file\n");
    EXPECT_EQ(code, 1);
    const QString bad = tmp.write("bad.ov2", Ov2Bytes().poi(1, 1, "a").u8(11).raw("zz"));
    EXPECT_TRUE(dedup({bad, "50"}, &code).startsWith("Unknown Field: 0000000F"));
    EXPECT_EQ(code, 1);
    dedup({bad, "fifty"}, &code);
    EXPECT_EQ(code, 2);
    // An empty file shows its one empty row.
    EXPECT_EQ(dedup({tmp.write("e.ov2"), "50"}, &code), "1\t00\t\n");
}
