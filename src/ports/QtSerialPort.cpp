#include "ports/QtSerialPort.h"
#include "ports/Pty.h"

#include "ports/PortAccess.h"

#include <QDebug>
#include <QFile>
#include <QScopedValueRollback>
#include <QSerialPort>

namespace tqdt {

QtSerialPort::QtSerialPort(DeviceResolver resolver)
    : m_resolver(std::move(resolver)), m_port(std::make_unique<QSerialPort>())
{
    // Receive events come from the operating system only through the event loop; outside an
    // exchange (the monitors) that is where they are delivered.
    QObject::connect(m_port.get(), &QSerialPort::readyRead, this, [this] {
        if (m_busy)
            return; // emitted from inside one of our own waits; the wait collects the bytes
        collect();
        fireReceiveEvents();
    });
    QObject::connect(m_port.get(), &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError && m_port->isOpen()) {
            m_vanished = true;
            m_port->close(); // the adapter was unplugged
        }
    });
}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::open(QString* error)
{
    if (m_port->isOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    m_device = m_resolver(m_commPort);
    m_port->setPortName(m_device);
    m_vanished = false;
    if (m_commPort < 1 || !m_port->open(QIODevice::ReadWrite)) {
        if (error) {
            *error = m_commPort < 1 ? QStringLiteral("Invalid port number") : m_port->errorString();
            if (m_commPort >= 1 && m_port->error() == QSerialPort::PermissionError)
                if (const QString advice = PortAccessAdvice(m_device); !advice.isEmpty())
                    *error += QStringLiteral(": ") + advice;
        }
        return false;
    }
    m_buffer.clear();
    applyLine();
    setDtr(m_dtr);
    setRts(m_rts);
    return true;
}

void QtSerialPort::close()
{
    if (m_port->isOpen())
        m_port->close();
    m_buffer.clear();
}

bool QtSerialPort::isOpen() const { return m_port->isOpen(); }

bool QtSerialPort::vanished() const
{
    // Not every device that goes reports an error: a pseudo-terminal whose far end closed only reads
    // as quiet from then on. Its name has gone from the file system, as an unplugged adapter's has.
    return m_vanished ||
           (m_port->isOpen() && m_device.startsWith(QLatin1Char('/')) && !QFile::exists(m_device));
}

void QtSerialPort::setDtr(bool on)
{
    m_dtr = on;
    if (m_port->isOpen() && !m_port->setDataTerminalReady(on)) {
        noteRefusal(QStringLiteral("DTR refused: ") + m_port->errorString());
    }
}

void QtSerialPort::setRts(bool on)
{
    m_rts = on;
    if (m_port->isOpen() && !m_port->setRequestToSend(on)) {
        noteRefusal(QStringLiteral("RTS refused: ") + m_port->errorString());
    }
}

void QtSerialPort::noteRefusal(const QString& what)
{
    m_port->clearError();
    // A device node that has gone is not a port without modem lines: the port is closed, and the
    // transfer reports a port that went away instead of a refused line.
    if (m_device.startsWith(QLatin1Char('/')) && !QFile::exists(m_device)) {
        m_vanished = true;
        m_port->close();
        return;
    }
    // One line for the life of the object: every exchange sets DTR again, a programming sequence
    // reopens the port many times, and a port without DTR has no RTS either.
    if (!m_refusalLogged) {
        m_refusalLogged = true;
        qInfo().noquote() << m_port->portName() << what << "(the port is used without its modem lines)";
    }
}

void QtSerialPort::lineSettingsChanged()
{
    if (m_port->isOpen())
        applyLine();
}

void QtSerialPort::applyLine()
{
    m_port->setBaudRate(m_line.baud);
    m_port->setDataBits(QSerialPort::DataBits(m_line.dataBits));
    switch (m_line.parity) {
    case 'e': m_port->setParity(QSerialPort::EvenParity); break;
    case 'o': m_port->setParity(QSerialPort::OddParity); break;
    case 'm': m_port->setParity(QSerialPort::MarkParity); break;
    case 's': m_port->setParity(QSerialPort::SpaceParity); break;
    default: m_port->setParity(QSerialPort::NoParity); break;
    }
    m_port->setStopBits(m_line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::collect()
{
    if (!m_port->isOpen())
        return;
    const QScopedValueRollback busy(m_busy, true);
    // A zero wait lets QSerialPort read what the operating system holds without the event loop.
    m_port->waitForReadyRead(0);
    m_buffer += m_port->readAll();
}

int QtSerialPort::inBufferCount()
{
    collect();
    return int(m_buffer.size());
}

QByteArray QtSerialPort::input()
{
    collect();
    return takeInput(m_buffer);
}

void QtSerialPort::output(const QByteArray& data)
{
    if (!m_port->isOpen())
        return;
    const QScopedValueRollback busy(m_busy, true);
    m_port->write(data);
    // The bytes must really leave now: a Delay after the write does not run the event loop.
    while (m_port->isOpen() && m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(1000))
            break;
    }
}

void QtSerialPort::waitForCount(int count, const Stopwatch& sw, qint64 limitMs)
{
    while (m_port->isOpen()) {
        collect();
        if (m_buffer.size() >= count)
            return;
        const qint64 left = limitMs - sw.StopwatchElapsed();
        if (left <= 0)
            return;
        // Sleeps in the operating system until bytes arrive or the time is up.
        const QScopedValueRollback busy(m_busy, true);
        if (m_port->waitForReadyRead(int(left)))
            m_buffer += m_port->readAll();
        else if (m_port->error() != QSerialPort::TimeoutError && m_port->error() != QSerialPort::NoError)
            return;
    }
}

} // namespace tqdt
