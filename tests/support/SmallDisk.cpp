// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/SmallDisk.h"

#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {
const char *const kSmallDiskDir = "KORVIX_SMALL_DISK_DIR";
constexpr int kCannotMount = 77;
} // namespace

QString smallDiskFolder()
{
    return qEnvironmentVariable(kSmallDiskDir);
}

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

SmallDiskRun runOnSmallDisk(const QString &testCase, const QString &size, int timeoutMs)
{
    TempFolder tmp;
    const QString mountPoint = tmp.mkdir(QStringLiteral("full"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kSmallDiskDir), mountPoint);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    // --map-root-user lets an ordinary user mount in its own namespace; root needs none.
    QStringList args;
    args << QStringLiteral("--mount");
    if (geteuid() != 0)
        args << QStringLiteral("--map-root-user");
    args << QStringLiteral("sh") << QStringLiteral("-c")
         << QStringLiteral("mount -t tmpfs -o size=%2 korvix-full \"$0\" || exit %1; "
                           "exec \"$1\" --gtest_also_run_disabled_tests --gtest_filter=%3")
                .arg(kCannotMount)
                .arg(size, testCase)
         << mountPoint << QCoreApplication::applicationFilePath();
    SmallDiskRun r;
    p.start(QStringLiteral("unshare"), args);
    if (!p.waitForStarted()) {
        r.unavailable = QStringLiteral("unshare(1) is not available to make a private mount namespace");
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    r.out = p.readAll();
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (r.code == kCannotMount || r.out.contains("unshare failed"))
        r.unavailable = QStringLiteral("this machine does not let the test mount a tmpfs: ") + QString::fromUtf8(r.out);
    return r;
}
