// SPDX-License-Identifier: GPL-3.0-or-later
// The hex export tools: exact text for the edge sizes, and nothing written on failure.
#include "platform/Error.h"
#include "services/HexExport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {
QByteArray bytes(int n, int from = 0)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((from + i) & 0xff));
    return b;
}
QByteArray hexOf(const QByteArray &b)
{
    return b.toHex().toUpper();
}
} // namespace

TEST(HexExport, ExeToHexWritesEveryByteAsTwoUpperCaseDigits)
{
    TempFolder t;
    const QString in = t.write(QStringLiteral("prog.exe"), QByteArray("\x0a\xff\x00\xab", 4) + bytes(300));
    EXPECT_EQ(HexExport::exeToHex(in), t.file(QStringLiteral("prog.txt")));
    EXPECT_EQ(readAll(t.file(QStringLiteral("prog.txt"))), "0AFF00AB" + hexOf(bytes(300)));

    EXPECT_EQ(HexExport::exeToHex(t.write(QStringLiteral("empty.bin"))), t.file(QStringLiteral("empty.txt")));
    EXPECT_TRUE(QFileInfo::exists(t.file(QStringLiteral("empty.txt"))));
    EXPECT_EQ(readAll(t.file(QStringLiteral("empty.txt"))), QByteArray());
}

TEST(HexExport, BinToHexBreaksLinesAfterEvery33Bytes)
{
    TempFolder t;
    const QByteArray forty = bytes(40, 5);
    HexExport::binToHex(t.write(QStringLiteral("logo.bin"), forty));
    EXPECT_EQ(readAll(t.file(QStringLiteral("logo.txt"))),
              "Const\r\nlogo.bin = \r\n  '" + hexOf(forty.left(33)) + "'+\r\n  '" + hexOf(forty.mid(33)) + "';");

    HexExport::binToHex(t.write(QStringLiteral("e.dat")));
    EXPECT_EQ(readAll(t.file(QStringLiteral("e.txt"))), "Const\r\ne.dat = \r\n  '';");

    const QByteArray exact = bytes(33, 0x0a);
    HexExport::binToHex(t.write(QStringLiteral("x.bin"), exact));
    EXPECT_EQ(readAll(t.file(QStringLiteral("x.txt"))), "Const\r\nx.bin = \r\n  '" + hexOf(exact) + "'+\r\n  '';");

    // Lines stay 33 bytes across the reader's pieces.
    const QByteArray many = bytes(33 * 4000 + 1);
    HexExport::binToHex(t.write(QStringLiteral("many.bin"), many));
    const QList<QByteArray> lines = readAll(t.file(QStringLiteral("many.txt"))).split('\n');
    ASSERT_EQ(lines.size(), 2 + 4000 + 1);
    for (int i = 2; i < 2 + 4000; ++i)
        ASSERT_EQ(lines[i], "  '" + hexOf(many.mid((i - 2) * 33, 33)) + "'+\r") << i;
    EXPECT_EQ(lines.last(), "  '" + hexOf(many.right(1)) + "';");
}

TEST(HexExport, OutputNamesAndFailuresWriteNothing)
{
    EXPECT_EQ(HexExport::outputPath(QStringLiteral("/a/b.c/logo.bin")), QStringLiteral("/a/b.c/logo.txt"));
    EXPECT_EQ(HexExport::outputPath(QStringLiteral("/a/b.c/README")), QStringLiteral("/a/b.c/README.txt"));
    EXPECT_EQ(HexExport::outputPath(QStringLiteral("/a/x.tar.gz")), QStringLiteral("/a/x.tar.txt"));

    TempFolder t;
    const QString txt = t.write(QStringLiteral("notes.txt"), "keep me");
    EXPECT_THROW(HexExport::exeToHex(txt), KorvixError);
    EXPECT_THROW(HexExport::binToHex(txt), KorvixError);
    EXPECT_EQ(readAll(txt), "keep me");
    EXPECT_THROW(HexExport::binToHex(t.file(QStringLiteral("missing.bin"))), KorvixError);
    EXPECT_EQ(QDir(t.path()).entryList(QDir::Files), QStringList{"notes.txt"});
}

TEST(HexExport, CommandLineWritesBesideAndReportsErrors)
{
    TempFolder t;
    const QString in = t.write(QStringLiteral("a.bin"), "\x01\x02");
    CliRun r = runCli({QStringLiteral("hex"), QStringLiteral("exe"), in});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, t.file(QStringLiteral("a.txt")).toUtf8() + '\n');
    EXPECT_EQ(readAll(t.file(QStringLiteral("a.txt"))), "0102");
    r = runCli({QStringLiteral("hex"), QStringLiteral("bin"), in});
    EXPECT_EQ(readAll(t.file(QStringLiteral("a.txt"))), "Const\r\na.bin = \r\n  '0102';");

    r = runCli({QStringLiteral("hex"), QStringLiteral("bin"), t.file(QStringLiteral("a.txt"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(readAll(t.file(QStringLiteral("a.txt"))), "Const\r\na.bin = \r\n  '0102';");
    EXPECT_EQ(runCli({QStringLiteral("hex"), QStringLiteral("oct"), in}).code, 2);
}
