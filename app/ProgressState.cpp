// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgressState.h"

#include <algorithm>
#include <cmath>

int ProgressState::percent() const
{
    const double p = double(m_pos - m_min) / double(m_max - m_min) * 100.0;
    return std::clamp(int(std::lround(p)), 0, 100);
}

void ProgressState::setMin(int value)
{
    if (value == m_min || value == m_max)
        return;
    const int other = m_max;
    m_min = std::min(value, other);
    m_max = std::max(value, other);
    if (m_pos < m_min || m_pos > m_max)
        m_pos = m_min;
}

void ProgressState::setMax(int value)
{
    if (value == m_min || value == m_max)
        return;
    const int other = m_min;
    m_min = std::min(value, other);
    m_max = std::max(value, other);
    if (m_pos < m_min || m_pos > m_max)
        m_pos = m_max;
}

void ProgressState::setPosition(int value)
{
    m_pos = std::clamp(value, m_min, m_max);
}
