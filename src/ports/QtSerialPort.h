#pragma once

#include "ports/SerialPort.h"

#include <QObject>

#include <functional>
#include <memory>

class QSerialPort;

namespace tqdt {

// The port on real hardware. QSerialPort moves bytes only inside the event loop or a waitFor...
// call; this class never runs the event loop during an exchange, so every write waits until the
// bytes have left and every count first collects what the operating system holds.
class QtSerialPort final : public QObject, public SerialPort {
public:
    // Maps the port number to the device to open ("COM3" or "/dev/ttyUSB2").
    using DeviceResolver = std::function<QString(int commPort)>;
    explicit QtSerialPort(DeviceResolver resolver);
    ~QtSerialPort() override;

    bool open(QString* error = nullptr) override;
    void close() override;
    bool isOpen() const override;
    void setDtr(bool on) override;
    bool dtr() const override { return m_dtr; }
    void setRts(bool on) override;
    bool rts() const override { return m_rts; }
    int inBufferCount() override;
    QByteArray input() override;
    void output(const QByteArray& data) override;
    void waitForCount(int count, const Stopwatch& sw, qint64 limitMs) override;

    // A line the device refuses (a pseudo-terminal has no DTR) is logged once, never fatal.
    // The device went away while the port was open (an adapter unplugged, a closed pseudo-terminal);
    // the port has been closed and the refusals that followed are not line refusals.
    bool vanished() const override;

protected:
    void lineSettingsChanged() override;

private:
    void collect();
    void applyLine();
    void noteRefusal(const QString& what);

    DeviceResolver m_resolver;
    std::unique_ptr<QSerialPort> m_port;
    QByteArray m_buffer; // what has been collected from the operating system
    bool m_dtr = false;
    bool m_rts = false;
    bool m_refusalLogged = false;
    bool m_vanished = false;
    QString m_device;
    bool m_busy = false;
};

} // namespace tqdt
