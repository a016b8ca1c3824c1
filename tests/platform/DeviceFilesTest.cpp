// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "platform/DeviceFiles.h"
#include "tests/support/FifoGuard.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

TEST(DeviceFiles, LookupIgnoresCaseAndPrefersTheExactName)
{
    TempFolder tmp;
    tmp.write("ttgo.bif", "x");
    tmp.mkdir("TTSYSTEM");
    EXPECT_EQ(QFileInfo(DeviceFiles::find(tmp.path(), "TTGO.BIF")).fileName(), "ttgo.bif");
    EXPECT_TRUE(DeviceFiles::isFile(tmp.path(), "TTGO.BIF"));
    EXPECT_TRUE(DeviceFiles::exists(tmp.path(), "ttsystem"));
    EXPECT_FALSE(DeviceFiles::isFile(tmp.path(), "ttsystem")); // a folder is no marker file
    EXPECT_TRUE(DeviceFiles::find(tmp.path(), "missing").isEmpty());
    EXPECT_TRUE(DeviceFiles::find(tmp.file("nofolder"), "x").isEmpty());
}

TEST(DeviceFiles, ListingKeepsOrderAndIndexesCompanions)
{
    TempFolder tmp;
    tmp.write("map/Fuel.OV2");
    tmp.write("map/fuel.BMP");
    tmp.write("map/Other.ov2");
    tmp.mkdir("map/sub.ov2");
    DirListing l(tmp.file("map"));
    QStringList ov2 = l.filesWithSuffix(".ov2");
    ov2.sort();
    EXPECT_EQ(ov2, QStringList({"Fuel.OV2", "Other.ov2"}));
    EXPECT_EQ(l.actualName("Fuel.bmp"), "fuel.BMP");
    EXPECT_TRUE(l.hasFile("FUEL.bmp"));
    EXPECT_FALSE(l.hasFile("sub.ov2"));
    EXPECT_EQ(l.folders(), QStringList({"sub.ov2"}));
}

TEST(DeviceFiles, OnlyRegularFilesAreReadAndNoneBeyondItsCap)
{
    TempFolder tmp;
    const QString vif = tmp.write("a.vif", "Ann\r\nann.chk\r\n");
    EXPECT_EQ(DeviceFiles::readRegular(vif, 64).value_or("none"), "Ann\r\nann.chk\r\n");
    EXPECT_EQ(DeviceFiles::readRegular(vif, 14).value_or("none"), "Ann\r\nann.chk\r\n");
    EXPECT_FALSE(DeviceFiles::readRegular(vif, 13)); // one byte over the cap
    EXPECT_EQ(DeviceFiles::readRegularHead(vif, 3).value_or("none"), "Ann");
    EXPECT_EQ(DeviceFiles::readRegular(tmp.write("empty.vif"), 64).value_or("none"), "");
    ASSERT_TRUE(QFile::link(vif, tmp.file("link.vif")));
    EXPECT_EQ(DeviceFiles::readRegular(tmp.file("link.vif"), 64).value_or("none"), "Ann\r\nann.chk\r\n");

    // A sparse 2 GiB file: refused whole, its head still read.
    QFile sparse(tmp.file("big.vif"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(2) << 30));
    sparse.close();
    EXPECT_FALSE(DeviceFiles::readRegular(sparse.fileName(), 1 << 20));
    EXPECT_EQ(DeviceFiles::readRegularHead(sparse.fileName(), 16).value_or("none"), QByteArray(16, '\0'));

    // An endless device, a FIFO nobody writes, a folder, a dangling link: nothing, at once.
    ASSERT_TRUE(QFile::link("/dev/zero", tmp.file("zero.vif")));
    ASSERT_TRUE(makeFifo(tmp.file("fifo.vif")));
    ASSERT_TRUE(QFile::link(tmp.file("fifo.vif"), tmp.file("fifolink.vif")));
    ASSERT_TRUE(QFile::link(tmp.file("gone"), tmp.file("dangling.vif")));
    tmp.mkdir("dir.vif");
    FifoGuard guard({tmp.file("fifo.vif")});
    for (const char *name : {"zero.vif", "fifo.vif", "fifolink.vif", "dangling.vif", "dir.vif", "missing.vif"}) {
        EXPECT_FALSE(DeviceFiles::readRegular(tmp.file(name), 1 << 20)) << name;
        EXPECT_FALSE(DeviceFiles::readRegularHead(tmp.file(name), 16)) << name;
    }
    EXPECT_FALSE(DeviceFiles::readRegular(QString(), 16));
    guard.stop();
    EXPECT_FALSE(guard.hadToRelease());
}

TEST(AtomicFile, FailedWriteKeepsTheOldFile)
{
    TempFolder tmp;
    const QString p = tmp.write("a.txt", "old");
    EXPECT_TRUE(AtomicFile::write(p, "new").isEmpty());
    EXPECT_EQ(readAll(p), "new");
    EXPECT_FALSE(AtomicFile::write(tmp.file("no/such/dir/a.txt"), "x").isEmpty());
}

TEST(AtomicFile, StreamedWriteReplacesOnlyWhenComplete)
{
    TempFolder tmp;
    const QString p = tmp.write("a.txt", "old");
    // Pieces larger and smaller than a chunk, and a block handed through whole.
    QByteArray expected;
    EXPECT_TRUE(AtomicFile::writeStreamed(p, [&](ChunkedOut &out) {
                    for (int i = 0; i < 3000; ++i) {
                        const QByteArray piece = QByteArray::number(i) + QByteArray(i % 1500, 'x') + '\n';
                        char *d = out.reserve(size_t(piece.size()) + 10);
                        std::memcpy(d, piece.constData(), size_t(piece.size()));
                        out.advance(d + piece.size());
                        expected += piece;
                    }
                    const QByteArray big(3 << 20, 'b');
                    out.put(big.constData(), big.size());
                    expected += big;
                    std::memcpy(out.take(4), "tail", 4);
                    expected += "tail";
                }).isEmpty());
    EXPECT_EQ(readAll(p), expected);

    // A producer that fails half way leaves the old file and no temporary one.
    EXPECT_THROW(AtomicFile::writeStreamed(p, [](ChunkedOut &out) {
        for (int i = 0; i < 5000; ++i)
            std::memset(out.take(1000), 'y', 1000);
        throw std::runtime_error("stopped");
    }),
                 std::runtime_error);
    EXPECT_EQ(readAll(p), expected);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{"a.txt"});
}
