// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"
#include "platform/ChunkedOut.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

// Saves onto a real full file system: a small tmpfs mounted in a private mount
// namespace, so nothing outside this test sees it. The checks run in a child run of
// this test program inside the namespace.
namespace {
const char *const kFullDiskDir = "KORVIX_FULL_DISK_DIR";
constexpr int kCannotMount = 77;

// Fills the file system until a write fails; the filler stays, so the disk stays full.
void fillDisk(const QString &dir)
{
    QFile filler(dir + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    // The last partial block may have gone in: a small write must fail from here on.
    QFile probe(dir + QStringLiteral("/probe"));
    ASSERT_TRUE(probe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    ASSERT_NE(probe.write("x", 1), 1) << "the file system is not full";
    probe.remove();
}
} // namespace

TEST(AtomicFileOnFullDisk, DISABLED_InsideTheNamespace)
{
    // Run only as the child of SaveFailsAndKeepsTheOldFile.
    const QString dir = qEnvironmentVariable(kFullDiskDir);
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

    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files, QDir::Name),
              QStringList({"filler", "large.txt", "small.ov2"}));
}

TEST(AtomicFileOnFullDisk, SaveFailsAndKeepsTheOldFile)
{
    TempFolder tmp;
    const QString mountPoint = tmp.mkdir(QStringLiteral("full"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kFullDiskDir), mountPoint);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    // --map-root-user lets an ordinary user mount in its own namespace; root needs none.
    QStringList args;
    args << QStringLiteral("--mount");
    if (geteuid() != 0)
        args << QStringLiteral("--map-root-user");
    args << QStringLiteral("sh") << QStringLiteral("-c")
         << QStringLiteral("mount -t tmpfs -o size=256k korvix-full \"$0\" || exit %1; "
                           "exec \"$1\" --gtest_also_run_disabled_tests --gtest_filter=AtomicFileOnFullDisk.DISABLED_InsideTheNamespace")
                .arg(kCannotMount)
         << mountPoint << QCoreApplication::applicationFilePath();
    p.start(QStringLiteral("unshare"), args);
    if (!p.waitForStarted())
        GTEST_SKIP() << "unshare(1) is not available to make a private mount namespace";
    ASSERT_TRUE(p.waitForFinished(120000));
    const QByteArray out = p.readAll();
    if (p.exitCode() == kCannotMount || out.contains("unshare failed"))
        GTEST_SKIP() << "this machine does not let the test mount a tmpfs: " << out.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}
