// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(SingleInstance, ASecondStartKnocksAndTheFirstComesToTheFront)
{
    // A name of its own, so a running Korvix is never disturbed.
    const QString exe = QString("/opt/x/korvix-test-%1").arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(SingleInstance::serverName(exe).startsWith("KORVIX-TEST-"));
    SingleInstance first(exe);
    EXPECT_FALSE(first.notifyRunning()); // nobody runs yet
    ASSERT_TRUE(first.listen());
    QSignalSpy raised(&first, &SingleInstance::raise);
    SingleInstance second(exe);
    EXPECT_TRUE(second.notifyRunning());
    EXPECT_TRUE(raised.wait(5000));
}

TEST(SingleInstance, ALaterStartHandsItsFilesToTheRunningCopy)
{
    const QString exe = QString("/opt/x/korvix-files-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(exe);
    ASSERT_TRUE(first.listen());
    QSignalSpy opened(&first, &SingleInstance::openFiles);
    const QStringList files = {"/media/ann/DEV/Map/Fuel.ov2", "/tmp/with space/and\nline feed.itn", "/tmp/zażółć%20.clr"};
    SingleInstance second(exe);
    EXPECT_TRUE(second.notifyRunning(files));
    ASSERT_TRUE(opened.wait(5000));
    EXPECT_EQ(opened.first().first().toStringList(), files);
}
