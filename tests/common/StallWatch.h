// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QElapsedTimer>
#include <QTimer>

// Measures how long the GUI thread's event loop went without a turn while a
// scenario runs: a 2 ms timer notes the longest gap between its ticks. Work
// done on the GUI thread between two turns (a blocking open, a long text
// layout) shows up as that gap. Bounds asserted on it are generous (about a
// second), so tests stay independent of the machine's speed.
class StallWatch
{
public:
    StallWatch()
    {
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // Counts the time up to now (a scenario that ends with GUI-thread work
    // not yet followed by a tick).
    qint64 longestGapMs()
    {
        tick();
        return m_longest;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};
