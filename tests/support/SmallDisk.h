// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes onto a real full file system: a small tmpfs mounted in a private mount
// namespace, so nothing outside the test sees it. The checks run in a child run of
// the test program inside the namespace, as one of its disabled cases.
#include <QByteArray>
#include <QString>

// Inside the child: the mounted folder (empty outside such a run).
QString smallDiskFolder();
// Fills the file system until a write fails; the filler stays, so the disk stays full.
void fillDisk(const QString &dir);

struct SmallDiskRun {
    QString unavailable; // why the namespace or the mount could not be had; the rest is then empty
    int code = -1;
    QByteArray out;
};
// Mounts a tmpfs of `size` (such as "2m") and runs `testCase` of this program on it.
SmallDiskRun runOnSmallDisk(const QString &testCase, const QString &size, int timeoutMs);
