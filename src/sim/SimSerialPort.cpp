#include "sim/SimSerialPort.h"

#include "host/Clock.h"
#include "sim/Site.h"

#include <QTimer>

namespace tqdt::sim {

SimSerialPort::SimSerialPort(Site& site, Clock& clock) : m_site(site), m_clock(clock)
{
    if (clock.isManual()) {
        // Advancing the clock delivers what fell due, and receive events fire.
        m_listener = static_cast<ManualClock&>(clock).addListener([this] {
            pump();
            fireReceiveEvents();
        });
    } else {
        m_timer = new QTimer(this);
        m_timer->setInterval(5);
        QObject::connect(m_timer, &QTimer::timeout, this, [this] {
            pump();
            fireReceiveEvents();
        });
    }
}

SimSerialPort::~SimSerialPort()
{
    if (m_listener)
        static_cast<ManualClock&>(m_clock).removeListener(m_listener);
}

bool SimSerialPort::open(QString* error)
{
    if (m_open || !m_site.adapterPresent() || m_commPort < 1 || m_commPort > 255) {
        if (error)
            *error = m_open ? QStringLiteral("Port already open") : QStringLiteral("No such port");
        return false;
    }
    m_open = true;
    m_direct = m_site.deviceOnPort(m_commPort);
    m_buffer.clear();
    m_pending.clear();
    m_lastPumpUs = m_lineFreeUs = m_clock.nowUs();
    updateTimer();
    return true;
}

void SimSerialPort::close()
{
    m_open = false;
    m_buffer.clear();
    m_pending.clear();
    updateTimer();
}

bool SimSerialPort::isOpen() const { return m_open && m_site.adapterPresent(); }

void SimSerialPort::setDtr(bool on)
{
    if (on == m_dtr)
        return;
    pump(); // what the old channel carried until now is heard; the rest of it is not
    m_dtr = on;
}

void SimSerialPort::thresholdChanged() { updateTimer(); }

void SimSerialPort::updateTimer()
{
    if (!m_timer)
        return;
    if (m_open && m_rThreshold > 0)
        m_timer->start();
    else
        m_timer->stop();
}

void SimSerialPort::pump()
{
    if (m_open && !m_site.adapterPresent())
        close(); // the adapter was pulled out under the tool
    if (!m_open)
        return;
    const qint64 now = m_clock.nowUs();
    while (!m_pending.empty() && m_pending.front().dueUs <= now) {
        // A reply is heard only while the module listens on the channel it comes from; a device
        // plugged into the port itself has no channels.
        if (m_direct || m_pending.front().channel == channel())
            m_buffer += m_pending.front().c;
        m_pending.pop_front();
    }
    if (now > m_lastPumpUs) {
        if (!m_direct)
            m_buffer += m_site.foreignBytes(channel(), m_lastPumpUs, now);
        m_buffer += outbox().due(m_lastPumpUs, now, m_line.baud);
    }
    m_lastPumpUs = std::max(m_lastPumpUs, now);
}

int SimSerialPort::inBufferCount()
{
    pump();
    return m_open ? int(m_buffer.size()) : 0;
}

QByteArray SimSerialPort::input()
{
    pump();
    return takeInput(m_buffer);
}

void SimSerialPort::output(const QByteArray& data)
{
    pump();
    if (!m_open || data.isEmpty())
        return;
    const qint64 now = m_clock.nowUs();
    const qint64 start = std::max(now, m_lineFreeUs);
    m_lineFreeUs = start + wireTimeUs(int(data.size()), m_line);
    const auto reply = m_direct ? m_direct->handle(data, m_line, m_lineFreeUs)
                                : m_site.receive(channel(), data, m_line, m_lineFreeUs);
    if (!reply)
        return;
    const qint64 charUs = wireTimeUs(1, m_line);
    qint64 due = m_lineFreeUs + reply->turnaroundUs;
    if (!m_pending.empty())
        due = std::max(due, m_pending.back().dueUs);
    for (char c : reply->text) {
        due += charUs;
        m_pending.push_back({due, c, channel()});
    }
}

const Outbox& SimSerialPort::outbox() const { return m_direct ? m_direct->outbox : m_site.outbox(channel()); }

qint64 SimSerialPort::nextArrivalUs(qsizetype needed) const
{
    // Sleep straight to the character that completes the count when the pending reply holds it.
    qint64 next = -1;
    if (!m_pending.empty())
        next = m_pending[size_t(std::clamp<qsizetype>(needed, 1, qsizetype(m_pending.size())) - 1)].dueUs;
    for (const qint64 other :
         {m_direct ? qint64(-1) : m_site.nextForeignUs(channel(), m_lastPumpUs), outbox().next(m_lastPumpUs)})
        if (other >= 0 && (next < 0 || other < next))
            next = other;
    return next;
}

void SimSerialPort::waitForCount(int count, const Stopwatch& sw, qint64 limitMs)
{
    if (m_site.recordWritten)
        m_site.noteWait(count, limitMs);
    const qint64 deadline = sw.deadlineUs(limitMs);
    for (;;) {
        pump();
        if (!m_open || m_buffer.size() >= count)
            return;
        const qint64 now = m_clock.nowUs();
        if (now >= deadline)
            return;
        const qint64 next = nextArrivalUs(count - m_buffer.size());
        m_clock.sleepUntil(next < 0 ? deadline : std::min(std::max(next, now), deadline));
    }
}

} // namespace tqdt::sim
