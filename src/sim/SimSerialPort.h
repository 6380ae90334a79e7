#pragma once

#include "bus/FrameCodec.h"
#include "ports/SerialPort.h"

#include <QObject>

#include <deque>
#include <memory>

class QTimer;

namespace tqdt {
class Clock;
}

namespace tqdt::sim {

class Outbox;
class PortDevice;
class Site;

// A serial port whose far end is a simulated installation. DTR chooses the channel a written frame
// reaches; the reply's characters become readable one by one after the wire time of the request,
// the device's turnaround and their own wire time, measured on the clock.
class SimSerialPort final : public QObject, public SerialPort {
public:
    SimSerialPort(Site& site, Clock& clock);
    ~SimSerialPort() override;

    bool open(QString* error = nullptr) override;
    void close() override;
    bool isOpen() const override;
    void setDtr(bool on) override;
    bool dtr() const override { return m_dtr; }
    void setRts(bool on) override { m_rts = on; }
    bool rts() const override { return m_rts; }
    int inBufferCount() override;
    QByteArray input() override;
    void output(const QByteArray& data) override;
    void waitForCount(int count, const Stopwatch& sw, qint64 limitMs) override;

    // Brings in everything that has fallen due by now (replies and foreign traffic).
    void pump();

protected:
    void thresholdChanged() override;

private:
    Channel channel() const { return m_dtr ? Channel::Brown : Channel::Blue; }
    qint64 nextArrivalUs(qsizetype needed) const;
    const Outbox& outbox() const;
    void updateTimer();

    Site& m_site;
    Clock& m_clock;
    // The device plugged into this port number when it opened; the installation when none.
    std::shared_ptr<PortDevice> m_direct;
    bool m_open = false;
    bool m_dtr = false;
    bool m_rts = false;
    QByteArray m_buffer;
    struct Pending {
        qint64 dueUs;
        char c;
        Channel channel;
    };
    std::deque<Pending> m_pending;
    qint64 m_lastPumpUs = 0;
    qint64 m_lineFreeUs = 0; // when the last written character has left
    int m_listener = 0;
    QTimer* m_timer = nullptr;
};

} // namespace tqdt::sim
