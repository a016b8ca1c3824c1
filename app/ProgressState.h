// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The status bar's progress bar: min stays below max, the position stays inside.
class ProgressState {
public:
    int min() const { return m_min; }
    int max() const { return m_max; }
    int position() const { return m_pos; }
    // (position - min) / (max - min) x 100, rounded, clamped to 0..100.
    int percent() const;

    // A new bound equal to either current bound is ignored; otherwise the new value
    // and the other bound are ordered. A position outside moves to the new bound.
    void setMin(int value);
    void setMax(int value);
    // Clamped to the nearer bound.
    void setPosition(int value);
    void step() { setPosition(m_pos + 1); }

private:
    int m_min = 0;
    int m_max = 100;
    int m_pos = 100;
};
