// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "tests/support/TestSupport.h"

#include <QList>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <cerrno>

// Runs the real korvix-cli with the fault library preloaded, failing one system call.
struct FaultPlan {
    QString call;      // write, fsync, fdatasync, close, rename, link, open, unlink, syncfs
    long nth = 0;      // the call that fails, from 1; 0 only counts
    QString dir;       // only calls on files below this folder count
    int error = EIO;
};

struct FaultRun : CliRun {
    long calls = -1; // calls of the kind counted below the folder; -1 when not reported
};

FaultRun runCliWithFault(const QStringList &args, const FaultPlan &plan, const QByteArray &input = {});

// This process's environment with the fault library preloaded for `plan` (and a
// sanitizer runtime told that it need not come first).
QProcessEnvironment faultEnvironment(const FaultPlan &plan);
// Runs one (disabled) case of this test program in a child with the fault library
// loaded, `extra` added to its environment; the child's output.
QByteArray runTestCaseWithFault(const QString &testCase, const FaultPlan &plan, const QMap<QString, QString> &extra = {});

// The calls a save makes, every one a place where a device can fail.
QStringList faultCalls();
// 1..count when small, else `most` points spread over it, the first and last included.
QList<long> faultPoints(long count, int most = 20);
// Files named like the shared save's temporaries anywhere below `dir`.
QStringList leftTemporaries(const QString &dir);
