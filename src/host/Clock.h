#pragma once

#include <QDateTime>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace tqdt {

// The program's only time base: monotonic microseconds plus the PC's local date and time.
// Every wait goes through sleepUntil(), so a ManualClock can run a long sweep in no real time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowUs() const = 0;
    qint64 nowMs() const { return nowUs() / 1000; }
    virtual QDateTime localDateTime() const = 0;
    // Blocks until nowUs() >= us. Returns at once when that time has passed.
    virtual void sleepUntil(qint64 us) = 0;
    // True when time moves only when told to (tests and benches).
    virtual bool isManual() const { return false; }
};

class SteadyClock final : public Clock {
public:
    qint64 nowUs() const override;
    QDateTime localDateTime() const override;
    void sleepUntil(qint64 us) override;
};

// Time stands still until advanced. Listeners run after every advance, so simulated devices
// deliver the traffic that fell due and receive callbacks fire.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(17, 53, 39)));

    qint64 nowUs() const override { return m_nowUs; }
    QDateTime localDateTime() const override;
    void sleepUntil(qint64 us) override { advanceTo(us); }
    bool isManual() const override { return true; }

    void advanceTo(qint64 us);
    void advanceMs(qint64 ms) { advanceTo(m_nowUs + ms * 1000); }
    void setLocalDateTime(const QDateTime& dt);

    using Listener = std::function<void()>;
    int addListener(Listener l);
    void removeListener(int id);

private:
    qint64 m_nowUs = 0;
    QDateTime m_dateAtZero;
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_nextId = 1;
    bool m_notifying = false;
};

} // namespace tqdt
