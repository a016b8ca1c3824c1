// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "tests/support/FaultRun.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

// Saves onto a real full file system: a small tmpfs mounted in a private mount
// namespace, so nothing outside this test sees it. The checks run in a child run of
// this test program inside the namespace.
TEST(AtomicFileOnFullDisk, DISABLED_InsideTheNamespace)
{
    // Run only as the child of SaveFailsAndKeepsTheOldFile.
    const QString dir = smallDiskFolder();
    ASSERT_FALSE(dir.isEmpty());
    const QString small = dir + QStringLiteral("/small.ov2");
    const QString large = dir + QStringLiteral("/large.txt");
    ASSERT_TRUE(AtomicFile::write(small, "old small file").isEmpty());
    ASSERT_TRUE(AtomicFile::write(large, QByteArray(20000, 'L')).isEmpty());
    fillDisk(dir);

    // A few bytes sit in the file's buffer until the final flush: that flush fails.
    const QString why = AtomicFile::write(small, "new contents, a little longer");
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(readAll(small), "old small file");

    // Streamed output larger than what is left fails while writing.
    EXPECT_FALSE(AtomicFile::writeStreamed(large, [](ChunkedOut &out) {
                     std::memset(out.take(300000), 'n', 300000);
                 }).isEmpty());
    EXPECT_EQ(readAll(large), QByteArray(20000, 'L'));

    // No temporary file is left behind, hidden ones included.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files, QDir::Name),
              QStringList({"filler", "large.txt", "small.ov2"}));
    EXPECT_TRUE(leftTemporaries(dir).isEmpty()) << leftTemporaries(dir).join(u' ').toStdString();
}

TEST(AtomicFileOnFullDisk, SaveFailsAndKeepsTheOldFile)
{
    const SmallDiskRun r = runOnSmallDisk(QStringLiteral("AtomicFileOnFullDisk.DISABLED_InsideTheNamespace"), QStringLiteral("256k"), 120000);
    if (!r.unavailable.isEmpty())
        GTEST_SKIP() << r.unavailable.toStdString();
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("[  PASSED  ] 1 test")) << r.out.toStdString();
}
