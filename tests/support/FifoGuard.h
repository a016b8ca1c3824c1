// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFile>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a FIFO for code that must never wait on one.
inline bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Watches code that must not block on the given FIFOs. Should it still be running
// after a while, the guard opens each FIFO for writing and closes it again: a reader
// blocked in opening one then gets an empty file and goes on, so a test fails
// instead of hanging. hadToRelease() tells whether that was needed.
class FifoGuard {
public:
    explicit FifoGuard(QStringList fifos, std::chrono::seconds patience = std::chrono::seconds(10))
        : m_fifos(std::move(fifos)), m_thread([this, patience] { watch(patience); })
    {
    }
    ~FifoGuard() { stop(); }

    // Ends the watch; call it when the guarded code has returned.
    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    bool hadToRelease() const { return m_released; }

private:
    void watch(std::chrono::seconds patience)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_wake.wait_for(lock, patience, [this] { return m_done; }))
            return;
        // Blocked: release every waiting reader, again and again, until the code ends.
        while (!m_done) {
            for (const QString &f : m_fifos) {
                // Non-blocking for writing: succeeds only while someone reads.
                const int fd = ::open(QFile::encodeName(f).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    m_released = true;
                    ::close(fd);
                }
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_done; });
        }
    }

    QStringList m_fifos;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_released{false};
    std::thread m_thread;
};
