#pragma once

#include "ports/SerialPort.h"

#include <functional>
#include <memory>

namespace tqdt {

// The port the technician names: a serial device ("COM3", "/dev/ttyUSB2") or a device server
// ("rfc2217://HOST:PORT"). The name behind a port number can change between two opens (the port
// choice, the Ports window), so the kind of port is chosen each time it opens.
class DevicePort final : public SerialPort {
public:
    using DeviceResolver = std::function<QString(int commPort)>;
    explicit DevicePort(DeviceResolver resolver);
    ~DevicePort() override;

    bool open(QString* error = nullptr) override;
    void close() override;
    bool isOpen() const override;
    void setDtr(bool on) override;
    bool dtr() const override { return m_dtr; }
    void setRts(bool on) override;
    bool rts() const override { return m_rts; }
    int inBufferCount() override;
    QByteArray input() override;
    void purgeInput() override;
    void output(const QByteArray& data) override;
    void waitForCount(int count, const Stopwatch& sw, qint64 limitMs) override;
    // Stays set while a port that went away cannot be opened again, so that a routine that reopens
    // the port between steps still sees why it failed.
    bool vanished() const override { return m_gone || (m_active && m_active->vanished()); }

protected:
    void lineSettingsChanged() override;
    void thresholdChanged() override;

private:
    DeviceResolver m_resolver;
    std::unique_ptr<SerialPort> m_serial;
    std::unique_ptr<SerialPort> m_network;
    SerialPort* m_active = nullptr;
    bool m_dtr = false;
    bool m_rts = false;
    bool m_gone = false;
};

class Paths;

// The device behind "COM" + n: the key "COMn" of the section "Ports" of the settings file (a device
// or an rfc2217:// address), by default the device COMn on Windows and /dev/ttyUSB(n-1) elsewhere.
QString ComDevice(const Paths& paths, int commPort);

} // namespace tqdt
