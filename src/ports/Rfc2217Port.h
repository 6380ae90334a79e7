#pragma once

#include "ports/Rfc2217Protocol.h"
#include "ports/SerialPort.h"

#include <QObject>
#include <QSet>

#include <functional>
#include <memory>

class QTcpSocket;

namespace tqdt {

// A serial port behind a device server, reached as "rfc2217://HOST:PORT?options". Like the local
// port it never runs the event loop during an exchange: a write waits until the bytes have left,
// and a count first collects what the socket holds.
//
// Opening negotiates the COM-PORT-OPTION, sets the line, DTR, RTS and no flow control, purges the
// server's receive buffer and waits (up to the address's timeout) for every acknowledgement it
// expects. A server that leaves one out is found there, once, with the option that would serve
// named in the reason; after that a control-line change is sent without waiting, because the bus
// routines change DTR before every exchange. Emptying the receive buffer purges the server's as
// well when something stale may still arrive.
class Rfc2217Port final : public QObject, public SerialPort {
public:
    // Maps the port number to the address to open.
    using AddressResolver = std::function<QString(int commPort)>;
    explicit Rfc2217Port(AddressResolver resolver);
    ~Rfc2217Port() override;

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
    void purgeInput() override;
    // The server closed a connection that was set up (killed, restarted, another client took it).
    bool vanished() const override { return m_vanished; }

protected:
    void lineSettingsChanged() override;

private:
    void send(const QByteArray& wire);
    // Reads what the socket holds, waiting up to waitMs for the first bytes; false once the server is gone.
    bool collect(int waitMs);
    // Waits until the server has answered everything we wait for; false on time-out or a lost server.
    bool settle(int limitMs);
    // A refused line setting closes the connection: talking on at another baud would look like
    // silence from every device.
    bool checkRefusals(QString* why);

    AddressResolver m_resolver;
    std::unique_ptr<QTcpSocket> m_socket;
    std::unique_ptr<rfc2217::ClientSession> m_session;
    QString m_name;
    QString m_failure; // why the connection was given up, for open() to report
    QByteArray m_buffer;
    bool m_dtr = false;
    bool m_rts = false;
    bool m_sentDtr = false, m_sentRts = false;
    bool m_busy = false;
    bool m_waitEndedShort = false;
    bool m_ready = false; // set up and not closed by us
    bool m_vanished = false;
    QSet<QString> m_logged;
};

} // namespace tqdt
