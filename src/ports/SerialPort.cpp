#include "ports/SerialPort.h"

#include <QStringList>

namespace tqdt {

std::optional<LineSettings> parseLineSettings(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings s;
    bool ok = false;
    s.baud = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0)
        return std::nullopt;
    const QString p = parts[1].trimmed().toLower();
    if (p.size() != 1 || !QStringLiteral("neoms").contains(p))
        return std::nullopt;
    s.parity = p[0].toLatin1();
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return std::nullopt;
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = 1;
    else if (stop == QLatin1String("2"))
        s.stopBits = 2;
    else
        return std::nullopt;
    return s;
}

bool SerialPort::setSettings(const QString& text)
{
    const auto parsed = parseLineSettings(text);
    if (!parsed)
        return false;
    m_settings = text;
    m_line = *parsed;
    lineSettingsChanged();
    return true;
}

void SerialPort::setRThreshold(int n)
{
    m_rThreshold = n;
    thresholdChanged();
}

QByteArray SerialPort::takeInput(QByteArray& buffer) const
{
    QByteArray out;
    if (m_inputLen <= 0 || m_inputLen >= buffer.size()) {
        out.swap(buffer);
    } else {
        out = buffer.left(m_inputLen);
        buffer.remove(0, m_inputLen);
    }
    return out;
}

void SerialPort::fireReceiveEvents()
{
    if (!m_onReceive || m_rThreshold <= 0)
        return;
    int before = inBufferCount();
    while (m_rThreshold > 0 && before >= m_rThreshold) {
        m_onReceive();
        const int after = inBufferCount();
        if (after >= before)
            break; // the handler took nothing; don't spin on it
        before = after;
    }
}

qint64 wireTimeUs(int chars, const LineSettings& line)
{
    const int bits = 1 + line.dataBits + (line.parity == 'n' ? 0 : 1) + line.stopBits;
    return qint64(chars) * bits * 1000000 / line.baud;
}

} // namespace tqdt
