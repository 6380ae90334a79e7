#include "host/Clock.h"

#include <chrono>
#include <thread>

namespace tqdt {

qint64 SteadyClock::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

QDateTime SteadyClock::localDateTime() const { return QDateTime::currentDateTime(); }

void SteadyClock::sleepUntil(qint64 us)
{
    const qint64 left = us - nowUs();
    if (left > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(left));
}

ManualClock::ManualClock(QDateTime start) : m_dateAtZero(std::move(start)) {}

QDateTime ManualClock::localDateTime() const { return m_dateAtZero.addMSecs(m_nowUs / 1000); }

void ManualClock::setLocalDateTime(const QDateTime& dt) { m_dateAtZero = dt.addMSecs(-(m_nowUs / 1000)); }

void ManualClock::advanceTo(qint64 us)
{
    if (us <= m_nowUs)
        return;
    m_nowUs = us;
    // A listener may itself wait (and so advance the clock); it must not be re-entered.
    if (m_notifying)
        return;
    m_notifying = true;
    const auto listeners = m_listeners;
    for (const auto& l : listeners)
        l.second();
    m_notifying = false;
}

int ManualClock::addListener(Listener l)
{
    m_listeners.emplace_back(m_nextId, std::move(l));
    return m_nextId++;
}

void ManualClock::removeListener(int id)
{
    std::erase_if(m_listeners, [id](const auto& p) { return p.first == id; });
}

} // namespace tqdt
