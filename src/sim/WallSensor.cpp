#include "sim/BenchStations.h"

namespace tqdt::sim {

int WallSensor::extraAddresses() const
{
    // The plain models carry their occupancy part as a second station.
    return m_type >= 64 && m_type <= 80 ? 1 : 0;
}

std::optional<QByteArray> WallSensor::answer(int offset, char command, const QByteArray& data)
{
    if (offset == 1) {
        if (command != '7' || data.size() != 2)
            return std::nullopt;
        settings.adopt(HexVal2(data));
        return Hex2(qint16(settings.configA())) + Hex2(qint16(m_occInputs));
    }
    switch (command) {
    case '7':
        if (data.size() != 2)
            return std::nullopt;
        return Hex2(qint16(m_statusB)) + Hex2(qint16(m_inputs));
    case '8': return Hex2(qint16(m_type)) + Hex2(qint16(m_revision));
    case 'E': return Hex2(qint16(settings.configA())) + Hex2(qint16(settings.configB()));
    default: return std::nullopt;
    }
}

int WallSensor::write(int value)
{
    if (value >= 64 && value <= 80) {
        m_type = value;
        return value;
    }
    if ((value & 0xF0) == 0xC0) {
        settings.ool = (value >> 3) & 1;
        return value;
    }
    const int ack = settings.write(value, true);
    return ack < 0 ? value : ack;
}

} // namespace tqdt::sim
