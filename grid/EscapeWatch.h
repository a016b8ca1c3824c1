// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a long job of a list editor (reversal, duplicate search) is stopped: Escape
// pressed while it runs. The jobs let the event loop run every ~30 ms as they report
// progress; one application-wide filter notes the key meanwhile. Qt has no "is this
// key down" call, and a press between two reports must not be lost, so the press
// itself is kept. The key is swallowed while a job runs, so it does not also close a
// dialog or drop the cell being edited.

class EscapeWatch {
public:
    // A job begins: presses before it do not count.
    EscapeWatch();
    ~EscapeWatch();
    EscapeWatch(const EscapeWatch &) = delete;
    EscapeWatch &operator=(const EscapeWatch &) = delete;

    // Escape was pressed since the job began, or stop() was called.
    bool stopped() const { return m_stopped; }
    // Stops it from inside the program (its window is closing).
    void stop() { m_stopped = true; }

private:
    friend class EscapeFilter;
    bool m_stopped = false;
    EscapeWatch *m_outer = nullptr; // the job that ran when this one began
};
