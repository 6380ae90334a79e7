#include "ports/DevicePort.h"

#include "documents/PrivateProfile.h"
#include "host/Paths.h"

#include "ports/QtSerialPort.h"
#include "ports/Rfc2217Port.h"
#include "ports/Rfc2217Protocol.h"

namespace tqdt {

DevicePort::DevicePort(DeviceResolver resolver) : m_resolver(std::move(resolver)) {}

DevicePort::~DevicePort() = default;

bool DevicePort::open(QString* error)
{
    if (isOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    const bool wasGone = vanished();
    if (rfc2217::isAddress(m_resolver(m_commPort))) {
        if (!m_network)
            m_network = std::make_unique<Rfc2217Port>(m_resolver);
        m_active = m_network.get();
    } else {
        if (!m_serial)
            m_serial = std::make_unique<QtSerialPort>(m_resolver);
        m_active = m_serial.get();
    }
    // The windows set everything on this object; the port that does the work takes it over here.
    m_active->setCommPort(m_commPort);
    m_active->setSettings(m_settings);
    m_active->setInputLen(m_inputLen);
    m_active->setRThreshold(m_rThreshold);
    m_active->setReceiveCallback([this] {
        if (m_onReceive)
            m_onReceive();
    });
    m_active->setDtr(m_dtr);
    m_active->setRts(m_rts);
    const bool opened = m_active->open(error);
    m_gone = wasGone && !opened;
    return opened;
}

void DevicePort::close()
{
    if (m_active)
        m_active->close();
}

bool DevicePort::isOpen() const { return m_active && m_active->isOpen(); }

void DevicePort::setDtr(bool on)
{
    m_dtr = on;
    if (m_active)
        m_active->setDtr(on);
}

void DevicePort::setRts(bool on)
{
    m_rts = on;
    if (m_active)
        m_active->setRts(on);
}

int DevicePort::inBufferCount() { return m_active ? m_active->inBufferCount() : 0; }

QByteArray DevicePort::input()
{
    if (!m_active)
        return {};
    m_active->setInputLen(m_inputLen);
    return m_active->input();
}

void DevicePort::purgeInput()
{
    if (m_active)
        m_active->purgeInput();
}

void DevicePort::output(const QByteArray& data)
{
    if (m_active)
        m_active->output(data);
}

void DevicePort::waitForCount(int count, const Stopwatch& sw, qint64 limitMs)
{
    if (m_active)
        m_active->waitForCount(count, sw, limitMs);
}

void DevicePort::lineSettingsChanged()
{
    if (m_active)
        m_active->setSettings(m_settings);
}

void DevicePort::thresholdChanged()
{
    if (m_active)
        m_active->setRThreshold(m_rThreshold);
}

QString ComDevice(const Paths& paths, int commPort)
{
    const QString name = QStringLiteral("COM%1").arg(commPort);
#ifdef Q_OS_WIN
    const QString fallback = name;
#else
    const QString fallback = QStringLiteral("/dev/ttyUSB%1").arg(commPort - 1);
#endif
    // A line in "Ports" wins everywhere: it may name a device server (rfc2217://HOST:PORT). An
    // empty one is a mapping taken away.
    const QString mapped =
        GetPrivateProfileStringA(QStringLiteral("Ports"), name, QString(), paths.settingsFile()).trimmed();
    return mapped.isEmpty() ? fallback : mapped;
}

} // namespace tqdt
