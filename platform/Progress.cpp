// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Progress.h"

#include <QCoreApplication>

ProgressTicker::ProgressTicker(IProgress *progress, int intervalMs)
    : m_progress(progress), m_interval(intervalMs)
{
    m_clock.start();
}

void ProgressTicker::report(int position)
{
    if (!m_progress)
        return;
    m_progress->SetProgress(position);
    QCoreApplication::processEvents();
    m_clock.restart();
}
