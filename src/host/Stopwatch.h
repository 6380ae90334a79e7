#pragma once

#include "host/Clock.h"

#include <QtGlobal>

namespace tqdt {

// The one program-wide millisecond stopwatch. Restarting it restarts it for every caller;
// the program runs one wait at a time.
class Stopwatch {
public:
    explicit Stopwatch(Clock& clock) : m_clock(clock) { StopwatchStart(); }

    void StopwatchStart() { m_startUs = m_clock.nowUs(); }
    // Whole milliseconds since the last StopwatchStart, never decreasing.
    qint32 StopwatchElapsed() const { return qint32((m_clock.nowUs() - m_startUs) / 1000); }
    // The clock time at which StopwatchElapsed() first shows ms.
    qint64 deadlineUs(qint64 ms) const { return m_startUs + ms * 1000; }

    // Restarts the stopwatch and waits until it shows ms; nothing else runs meanwhile.
    void Delay(qint64 ms)
    {
        StopwatchStart();
        m_clock.sleepUntil(deadlineUs(ms));
    }

    Clock& clock() const { return m_clock; }

private:
    Clock& m_clock;
    qint64 m_startUs = 0;
};

} // namespace tqdt
