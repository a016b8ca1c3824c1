// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/BackgroundFiles.h"

#include "platform/ReplacedFile.h"

#include <memory>

namespace {
// Decompressed data waiting for the writer; more makes the reader wait.
constexpr qint64 MaxQueuedBytes = 16 << 20;
} // namespace

BackgroundFiles::BackgroundFiles() : m_thread([this] { run(); }) {}

BackgroundFiles::~BackgroundFiles()
{
    push({Task::Drop});
    push({Task::Stop});
    m_thread.join();
}

void BackgroundFiles::push(Task task)
{
    std::unique_lock<std::mutex> lock(m_lock);
    const qint64 bytes = task.data.size();
    m_changed.wait(lock, [&] { return bytes == 0 || m_bytesQueued == 0 || m_bytesQueued + bytes <= MaxQueuedBytes; });
    m_bytesQueued += bytes;
    m_tasks.push_back(std::move(task));
    m_changed.notify_all();
}

void BackgroundFiles::open(const QString &target)
{
    push({Task::Open, target});
}

void BackgroundFiles::write(const char *data, qint64 size)
{
    push({Task::Data, {}, QByteArray(data, size)});
}

void BackgroundFiles::commit(const QDateTime &time, bool readOnly)
{
    push({Task::Commit, {}, {}, time, readOnly});
}

void BackgroundFiles::drop()
{
    push({Task::Drop});
}

QList<BackgroundFiles::Outcome> BackgroundFiles::wait()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [&] { return m_tasks.empty() && !m_busy; });
    QList<Outcome> done;
    done.swap(m_outcomes);
    return done;
}

void BackgroundFiles::run()
{
    std::unique_ptr<ReplacedFile> file;
    QString error;
    for (;;) {
        Task task;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_busy = false;
            m_changed.notify_all();
            m_changed.wait(lock, [&] { return !m_tasks.empty(); });
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
            m_bytesQueued -= task.data.size();
            m_busy = true;
            m_changed.notify_all();
        }
        switch (task.kind) {
        case Task::Open:
            file = std::make_unique<ReplacedFile>(task.target);
            error = file->open();
            break;
        case Task::Data:
            // After a failure the rest of the file only waits for its outcome.
            if (file && error.isEmpty() && file->device().write(task.data) != task.data.size())
                error = file->device().errorString();
            break;
        case Task::Commit:
            if (file) {
                if (error.isEmpty())
                    error = file->commit(task.time, task.readOnly);
                const Outcome outcome{file->target(), error};
                file.reset();
                std::lock_guard<std::mutex> lock(m_lock);
                m_outcomes << outcome;
            }
            break;
        case Task::Drop:
            file.reset();
            break;
        case Task::Stop: {
            std::lock_guard<std::mutex> lock(m_lock);
            m_busy = false;
            m_changed.notify_all();
            return;
        }
        }
    }
}
