// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Unpacked files written on a thread of their own, each through a ReplacedFile (renamed
// over the old file only once whole), so that creating, writing and renaming one file
// overlaps with decompressing the next. One file at a time is open: open(), write()s,
// then commit() or drop(). Outcomes come back by wait().
class BackgroundFiles {
public:
    BackgroundFiles();
    ~BackgroundFiles(); // drops a file not committed and waits for the rest
    BackgroundFiles(const BackgroundFiles &) = delete;
    BackgroundFiles &operator=(const BackgroundFiles &) = delete;

    void open(const QString &target);
    void write(const char *data, qint64 size);
    // Puts the file in place with its time (read-only: write permissions taken away).
    void commit(const QDateTime &time, bool readOnly);
    // The file is not wanted: its temporary goes, the old file stays.
    void drop();

    struct Outcome {
        QString target;
        QString error; // empty: in place
    };
    // Waits until every file handed over is done; the outcomes of the committed files
    // since the last wait, in order.
    QList<Outcome> wait();

private:
    struct Task {
        enum Kind { Open, Data, Commit, Drop, Stop } kind;
        QString target;
        QByteArray data;
        QDateTime time;
        bool readOnly = false;
    };
    void push(Task task);
    void run();

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Task> m_tasks;
    qint64 m_bytesQueued = 0;
    bool m_busy = false;
    QList<Outcome> m_outcomes;
    std::thread m_thread;
};
