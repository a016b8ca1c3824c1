// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Programs of a benchmark run as a user runs them, with their time and peak memory,
// and the files of a tree they made.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

struct ChildRun {
    double seconds = 0;
    long maxRssKb = 0;
    int code = -1; // -2: did not end by itself
};

struct ChildOptions {
    QString workDirectory; // empty: ours
    QString outFile;       // standard output; empty: discarded
    bool discardErrors = false;
};

// Peak memory through GNU time, written into `scratch`: a child's own figure would
// start from ours, as the high-water mark survives the exec.
inline ChildRun runChild(const QStringList &command, const QDir &scratch, const ChildOptions &options = {})
{
    const QString memoryFile = scratch.filePath(QStringLiteral("maxrss"));
    const QStringList args = QStringList{QStringLiteral("/usr/bin/time"), QStringLiteral("-f"), QStringLiteral("%M"),
                                         QStringLiteral("-o"), memoryFile} + command;
    std::vector<QByteArray> bytes;
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const QByteArray outFile = options.outFile.isEmpty() ? QByteArray("/dev/null") : options.outFile.toLocal8Bit();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (options.discardErrors)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const QString here = QDir::currentPath();
    if (!options.workDirectory.isEmpty())
        QDir::setCurrent(options.workDirectory);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    ChildRun r;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        QFile m(memoryFile);
        m.open(QIODevice::ReadOnly);
        r.maxRssKb = m.readAll().trimmed().toLong();
    }
    r.seconds = clock.nsecsElapsed() / 1e9;
    posix_spawn_file_actions_destroy(&actions);
    QDir::setCurrent(here);
    return r;
}

// Every file below `root`, hidden ones too, relative and sorted.
inline QStringList relativeFiles(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(root.size() + 1);
    files.sort();
    return files;
}

// Two commands run by turns, `runs` times each, so that a change in the machine's load
// falls on both; before each run `prepare` empties what the last one made.
struct PairedRuns {
    double oursSeconds = 0, peerSeconds = 0; // medians
    long oursMaxRssKb = 0, peerMaxRssKb = 0;
    bool failed = false;
    double ratio() const { return peerSeconds > 0 ? oursSeconds / peerSeconds : 0; }
};

inline double medianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline PairedRuns runPaired(const QStringList &ours, const QStringList &peer, const QDir &scratch, int runs,
                            const std::function<void()> &prepare)
{
    PairedRuns p;
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const ChildRun x = runChild(ours, scratch);
        prepare();
        const ChildRun y = runChild(peer, scratch);
        p.failed = p.failed || x.code != 0 || y.code != 0;
        a.push_back(x.seconds);
        b.push_back(y.seconds);
        p.oursMaxRssKb = std::max(p.oursMaxRssKb, x.maxRssKb);
        p.peerMaxRssKb = std::max(p.peerMaxRssKb, y.maxRssKb);
    }
    p.oursSeconds = medianOf(a);
    p.peerSeconds = medianOf(b);
    return p;
}
