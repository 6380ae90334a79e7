#pragma once

#include "host/Stopwatch.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tqdt {

// "38400,n,8,1" and its parts.
struct LineSettings {
    int baud = 38400;
    char parity = 'n'; // n, e, o, m, s
    int dataBits = 8;
    int stopBits = 1;
};
std::optional<LineSettings> parseLineSettings(const QString& text);

// The serial-port control as the windows use it: a port number, a settings text, open and close,
// the DTR and RTS lines (DTR selects the interface module's channel), the input length (0: read
// everything) and the receive threshold (0: no receive events; n: the callback runs while n or
// more characters wait).
class SerialPort {
public:
    virtual ~SerialPort() = default;

    void setCommPort(int n) { m_commPort = n; }
    int commPort() const { return m_commPort; }
    // Refuses a text that does not parse and keeps the previous one.
    bool setSettings(const QString& text);
    QString settings() const { return m_settings; }
    const LineSettings& line() const { return m_line; }

    // Opens the port; on failure returns false and leaves the reason in *error.
    virtual bool open(QString* error = nullptr) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual void setDtr(bool on) = 0;
    virtual bool dtr() const = 0;
    virtual void setRts(bool on) = 0;
    virtual bool rts() const = 0;

    void setInputLen(int n) { m_inputLen = n; }
    int inputLen() const { return m_inputLen; }
    void setRThreshold(int n);
    int rThreshold() const { return m_rThreshold; }

    // Characters waiting to be read (0 when the port is closed or gone).
    virtual int inBufferCount() = 0;
    // Takes inputLen() characters (all when 0) from the receive buffer.
    virtual QByteArray input() = 0;
    // Empties the receive buffer: reads drop what waits here; a port behind a device server also
    // has the server drop what it still holds, so nothing from before reads as the next reply.
    virtual void purgeInput() {}
    // The device went away while the port was open (an adapter unplugged, a server that stopped).
    virtual bool vanished() const { return false; }
    // Writes the whole text; it has left the PC when this returns.
    virtual void output(const QByteArray& data) = 0;

    // Blocks until count characters wait, or the stopwatch shows limitMs, or the port fails.
    // Never spins and never runs the event loop.
    virtual void waitForCount(int count, const Stopwatch& sw, qint64 limitMs) = 0;

    // Runs for receive events while the threshold is above 0.
    void setReceiveCallback(std::function<void()> cb) { m_onReceive = std::move(cb); }

protected:
    virtual void lineSettingsChanged() {}
    virtual void thresholdChanged() {}
    // Takes inputLen() characters (all when 0) from the front of a receive buffer.
    QByteArray takeInput(QByteArray& buffer) const;
    // Calls the receive callback while enough characters wait and each call takes some.
    void fireReceiveEvents();

    int m_commPort = 1;
    QString m_settings = QStringLiteral("38400,n,8,1");
    LineSettings m_line;
    int m_inputLen = 0;
    int m_rThreshold = 0;
    std::function<void()> m_onReceive;
};

// The wire time of n characters at a line setting, in microseconds (start, data, parity, stop bits).
qint64 wireTimeUs(int chars, const LineSettings& line);

} // namespace tqdt
