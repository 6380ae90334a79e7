#include "ports/Rfc2217Port.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QScopedValueRollback>
#include <QTcpSocket>
#include <QThread>

namespace tqdt {

namespace {

using rfc2217::ClientSession;

int remaining(const QDeadlineTimer& d) { return int(std::max<qint64>(0, d.remainingTime())); }
} // namespace

Rfc2217Port::Rfc2217Port(AddressResolver resolver) : m_resolver(std::move(resolver)) {}

Rfc2217Port::~Rfc2217Port() = default;

bool Rfc2217Port::open(QString* error)
{
    const auto refuse = [&](const QString& why) {
        // The windows show only "Unable To Open Port"; the log keeps the reason.
        if (why != m_failure) // a refusal found while reading has been logged already
            qWarning().noquote() << m_name << why;
        if (error)
            *error = why;
        close();
        return false;
    };
    if (isOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    m_name = m_resolver(m_commPort);
    QString why;
    const auto address = rfc2217::parseAddress(m_name, &why);
    if (!address)
        return refuse(why);
    const QDeadlineTimer deadline(address->options.timeoutMs);
    m_failure.clear();
    m_waitEndedShort = false;
    m_vanished = false;

    // A server that is still letting go of the previous connection (a port closed and reopened at
    // another baud) may turn the next one away at once; that is retried until the time is up.
    for (;;) {
        m_session = std::make_unique<ClientSession>(address->options);
        m_socket = std::make_unique<QTcpSocket>();
        QObject::connect(m_socket.get(), &QTcpSocket::readyRead, this, [this] {
            if (m_busy)
                return; // inside one of our own waits, which collects the bytes itself
            collect(0);
            fireReceiveEvents();
        });
        QObject::connect(m_socket.get(), &QTcpSocket::disconnected, this, [this] {
            if (m_ready)
                m_vanished = true;
        });
        m_buffer.clear();
        m_socket->connectToHost(address->host, address->port);
        if (!m_socket->waitForConnected(remaining(deadline)))
            return refuse(QStringLiteral("cannot reach %1:%2: %3")
                              .arg(address->host)
                              .arg(address->port)
                              .arg(m_socket->errorString()));
        // Frames are small and every one waits for its reply: no coalescing.
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        send(m_session->hello() + m_session->lineSettings(m_line) + m_session->setNoFlowControl() +
             m_session->setDtr(m_dtr) + m_session->setRts(m_rts) + m_session->purgeReceive());
        m_sentDtr = m_dtr;
        m_sentRts = m_rts;
        if (settle(remaining(deadline)))
            break;
        if (!m_failure.isEmpty())
            return refuse(m_failure);
        if (!isOpen() && deadline.hasExpired())
            return refuse(QStringLiteral("the server closed the connection before the port was set up "
                                         "(is another client using it?)"));
        if (isOpen()) {
            if (m_session->comPortRefused())
                return refuse(QStringLiteral("the server refuses the COM-PORT-OPTION"));
            if (!m_session->comPortAgreed())
                return refuse(QStringLiteral("the server did not agree to the COM-PORT-OPTION within %1 ms")
                                  .arg(address->options.timeoutMs));
            QString text = QStringLiteral("%1 did not come within %2 ms")
                               .arg(m_session->waitingFor())
                               .arg(address->options.timeoutMs);
            if (m_session->owes(ClientSession::CmdControl))
                text += QStringLiteral("; a server that never acknowledges control lines needs the option "
                                       "ign_set_control (%1?ign_set_control)")
                            .arg(m_name.section(QLatin1Char('?'), 0, 0));
            else if (m_session->owes(ClientSession::CmdPurge))
                text +=
                    QStringLiteral("; a server that never acknowledges a purge needs the option ign_purge "
                                   "(%1?ign_purge)")
                        .arg(m_name.section(QLatin1Char('?'), 0, 0));
            return refuse(text);
        }
        QThread::msleep(20);
    }
    if (!checkRefusals(&why))
        return refuse(why);
    m_ready = true;
    return true;
}

void Rfc2217Port::close()
{
    m_ready = false;
    if (m_socket) {
        const QScopedValueRollback busy(m_busy, true);
        if (m_socket->state() == QAbstractSocket::ConnectedState) {
            m_socket->disconnectFromHost();
            if (m_socket->state() != QAbstractSocket::UnconnectedState)
                m_socket->waitForDisconnected(1000);
        }
        m_socket->abort();
        // Closing may happen inside the socket's own readyRead; it goes once that has returned.
        m_socket->disconnect(this);
        m_socket.release()->deleteLater();
    }
    m_buffer.clear();
}

bool Rfc2217Port::isOpen() const { return m_socket && m_socket->state() == QAbstractSocket::ConnectedState; }

void Rfc2217Port::setDtr(bool on)
{
    m_dtr = on;
    // The server keeps the line as it was set; the bus routines set it before every exchange.
    if (isOpen() && on != m_sentDtr) {
        send(m_session->setDtr(on));
        m_sentDtr = on;
    }
}

void Rfc2217Port::setRts(bool on)
{
    m_rts = on;
    if (isOpen() && on != m_sentRts) {
        send(m_session->setRts(on));
        m_sentRts = on;
    }
}

void Rfc2217Port::send(const QByteArray& wire)
{
    if (!isOpen() || wire.isEmpty())
        return;
    const QScopedValueRollback busy(m_busy, true);
    m_socket->write(wire);
    // The bytes must really leave now: a Delay after the write does not run the event loop.
    while (isOpen() && m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(1000))
            break;
    }
}

bool Rfc2217Port::collect(int waitMs)
{
    if (!m_socket)
        return false;
    const QScopedValueRollback busy(m_busy, true);
    if (m_socket->bytesAvailable() == 0 && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->waitForReadyRead(waitMs);
    const QByteArray raw = m_socket->readAll();
    if (!raw.isEmpty()) {
        m_buffer += m_session->feed(raw);
        send(m_session->takeAnswers());
    }
    QString why;
    if (!checkRefusals(&m_failure)) {
        qWarning().noquote() << m_name << m_failure;
        close();
        return false;
    }
    return isOpen();
}

bool Rfc2217Port::settle(int limitMs)
{
    const QDeadlineTimer deadline(limitMs);
    while (!m_session->comPortAgreed() || m_session->waiting()) {
        if (m_session->comPortRefused() || deadline.hasExpired())
            return false;
        if (!collect(remaining(deadline)))
            return false;
    }
    return true;
}

bool Rfc2217Port::checkRefusals(QString* why)
{
    while (const auto r = m_session->takeRefusal()) {
        if (r->lineSetting) {
            *why = r->text;
            return false;
        }
        // A control line the far side cannot set (it has no modem lines) leaves the port usable.
        if (!m_logged.contains(r->text)) {
            m_logged.insert(r->text);
            qInfo().noquote() << m_name << r->text;
        }
    }
    return true;
}

int Rfc2217Port::inBufferCount()
{
    collect(0);
    return int(m_buffer.size());
}

QByteArray Rfc2217Port::input()
{
    collect(0);
    return takeInput(m_buffer);
}

void Rfc2217Port::purgeInput()
{
    if (!isOpen())
        return;
    collect(0);
    // A purge costs a round trip, and ser2net flushes the device after it has written what follows
    // the purge, so a purge with every request would now and then swallow that request's reply.
    // The server is asked only when something stale may still come: bytes were waiting, or the
    // last wait ended short (a late reply may be on its way); and then the request waits for the
    // confirmation.
    const bool stale = !m_buffer.isEmpty() || m_waitEndedShort;
    m_buffer.clear();
    if (!stale)
        return;
    m_waitEndedShort = false;
    send(m_session->purgeReceive());
    const QDeadlineTimer deadline(m_session->options().timeoutMs);
    while (m_session->owes(ClientSession::CmdPurge) && !deadline.hasExpired())
        if (!collect(remaining(deadline)))
            return;
}

void Rfc2217Port::output(const QByteArray& data)
{
    if (isOpen())
        send(m_session->data(data));
}

void Rfc2217Port::waitForCount(int count, const Stopwatch& sw, qint64 limitMs)
{
    m_waitEndedShort = true;
    while (isOpen()) {
        if (m_buffer.size() >= count) {
            m_waitEndedShort = false;
            return;
        }
        const qint64 left = limitMs - sw.StopwatchElapsed();
        if (left <= 0)
            return;
        // Sleeps in the operating system until bytes arrive, the time is up or the server goes.
        if (!collect(int(left)))
            return;
    }
}

void Rfc2217Port::lineSettingsChanged()
{
    if (!isOpen())
        return;
    send(m_session->lineSettings(m_line));
    if (!settle(m_session->options().timeoutMs)) {
        qWarning().noquote()
            << m_name << QStringLiteral("%1 did not come; the port is closed").arg(m_session->waitingFor());
        close();
    }
}

} // namespace tqdt
