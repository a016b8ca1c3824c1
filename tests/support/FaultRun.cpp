// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/FaultRun.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

QProcessEnvironment faultEnvironment(const FaultPlan &plan)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(KORVIX_FAULT_LIBRARY));
    env.insert(QStringLiteral("KORVIX_FAULT_CALL"), plan.call);
    env.insert(QStringLiteral("KORVIX_FAULT_NTH"), QString::number(plan.nth));
    env.insert(QStringLiteral("KORVIX_FAULT_ERRNO"), QString::number(plan.error));
    env.remove(QStringLiteral("KORVIX_FAULT_OWNER"));
    if (!plan.dir.isEmpty())
        env.insert(QStringLiteral("KORVIX_FAULT_DIR"), plan.dir);
    // A sanitizer runtime wants to come first among the preloaded libraries; the fault
    // library is not run under it.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) +
                                                   QStringLiteral("verify_asan_link_order=0"));
    return env;
}

QByteArray runTestCaseWithFault(const QString &testCase, const FaultPlan &plan, const QMap<QString, QString> &extra)
{
    QProcessEnvironment env = faultEnvironment(plan);
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        env.insert(it.key(), it.value());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_also_run_disabled_tests"), QStringLiteral("--gtest_filter=") + testCase});
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    return p.readAll();
}

FaultRun runCliWithFault(const QStringList &args, const FaultPlan &plan, const QByteArray &input)
{
    QTemporaryDir scratch;
    const QString countFile = scratch.filePath(QStringLiteral("count"));
    QProcessEnvironment env = faultEnvironment(plan);
    env.insert(QStringLiteral("KORVIX_FAULT_COUNT"), countFile);

    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVIX_BINARY_DIR "/bin/korvix-cli"), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    FaultRun r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    const QByteArray counted = readAll(countFile).trimmed();
    if (!counted.isEmpty())
        r.calls = counted.toLong();
    return r;
}

QStringList faultCalls()
{
    return {QStringLiteral("write"), QStringLiteral("fsync"), QStringLiteral("fdatasync"), QStringLiteral("close"),
            QStringLiteral("rename"), QStringLiteral("link"), QStringLiteral("open"), QStringLiteral("unlink"),
            QStringLiteral("syncfs")};
}

QList<long> faultPoints(long count, int most)
{
    QList<long> points;
    if (count <= most) {
        for (long n = 1; n <= count; ++n)
            points << n;
        return points;
    }
    for (int i = 0; i < most; ++i) {
        const long n = 1 + (count - 1) * i / (most - 1);
        if (points.isEmpty() || points.last() != n)
            points << n;
    }
    return points;
}

QStringList leftTemporaries(const QString &dir)
{
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().startsWith(QLatin1String(".korvix-tmp.")))
            found << it.filePath();
    }
    return found;
}
