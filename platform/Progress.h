// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QString>

// The status bar's progress services as headless code sees them.
class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void ShowProgress(const QString &text, int min, int max, int position) = 0;
    virtual void SetStatus(const QString &text) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void StepProgress() = 0;
};

// Reports a long loop's position and lets the event loop run, but at most every
// ~30 ms, so the cost stays far below the loop's own work.
class ProgressTicker {
public:
    explicit ProgressTicker(IProgress *progress, int intervalMs = 30);
    // Cheap enough to call per record: only a clock read between reports.
    void tick(int position)
    {
        if (m_progress && m_clock.elapsed() >= m_interval)
            report(position);
    }
    void report(int position);

private:
    IProgress *m_progress;
    int m_interval;
    QElapsedTimer m_clock;
};
