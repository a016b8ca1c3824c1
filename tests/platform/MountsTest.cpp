// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Mounts.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(Mounts, OnlyBlockDeviceFileSystemsOutsideTheSystemAreScanned)
{
    const QByteArray table =
        "/dev/vda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /media/ann/TOMTOM vfat rw 0 0\n"
        "/dev/sr0 /media/ann/CDROM iso9660 ro 0 0\n"
        "server:/x /mnt/nfs nfs rw 0 0\n"
        "//srv/share /mnt/smb cifs rw 0 0\n"
        "/dev/sdc1 /media/ann/My\\040Device\\134x ext4 rw 0 0\n"
        "/dev/sdd1 /boot/efi vfat rw 0 0\n"
        "/dev/sde1 /media/ann/Gr\xc3\xbc\xc3\x9f exfat rw 0 0\n"
        "sshfs#x /mnt/ssh fuse.sshfs rw 0 0\n";
    const QStringList mps = Mounts::scannedMountPoints(table);
    EXPECT_EQ(mps, QStringList({"/media/ann/TOMTOM", "/media/ann/My Device\\x",
                                QString::fromUtf8("/media/ann/Gr\xc3\xbc\xc3\x9f")}));
}

TEST(Mounts, WatcherReportsAddedAndRemovedMountPoints)
{
    TempFolder tmp;
    const QString table = tmp.write("mounts", "/dev/sdb1 /media/a vfat rw 0 0\n");
    MountWatcher w(table);
    w.start();
    EXPECT_EQ(w.mountPoints(), QStringList({"/media/a"}));
    QSignalSpy added(&w, &MountWatcher::driveAdded), removed(&w, &MountWatcher::driveRemoved);

    tmp.write("mounts", "/dev/sdc1 /media/b vfat rw 0 0\n/dev/sr0 /media/cd iso9660 ro 0 0\n");
    w.rescan();
    ASSERT_EQ(added.size(), 1);
    EXPECT_EQ(added[0][0].toString(), "/media/b");
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][0].toString(), "/media/a");

    w.rescan(); // nothing changed
    EXPECT_EQ(added.size(), 1);
    EXPECT_EQ(removed.size(), 1);

    QFile::remove(table); // an unreadable table keeps what is known
    w.rescan();
    EXPECT_EQ(removed.size(), 1);
    EXPECT_EQ(w.mountPoints(), QStringList({"/media/b"}));
}
