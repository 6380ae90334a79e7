#include "sim/BenchStations.h"

namespace tqdt::sim {

std::optional<QByteArray> CeilingSensor::answer(int offset, char command, const QByteArray& data)
{
    if (offset == 1) {
        // The photocell of a combined sensor.
        if (command == '7' && data.size() == 2)
            return Hex2(qint16(m_photo[0])) + Hex2(qint16(m_photo[1]));
        return std::nullopt;
    }
    switch (command) {
    case '7':
        if (data.size() != 2)
            return std::nullopt;
        settings.adopt(HexVal2(data));
        // A photocell-only sensor reports its two light levels instead of inputs.
        if (m_typeBits == 2)
            return Hex2(qint16(m_photo[0])) + Hex2(qint16(m_photo[1]));
        return Hex2(0) + Hex2(qint16(m_inputs));
    case '8': return Hex2(qint16(statusByte())) + Hex2(qint16(m_revision));
    case 'D': {
        QByteArray words;
        for (quint16 w : timerWords)
            words += Hex4(w);
        return Hex2(0) + Hex2(qint16(m_inputs)) + words;
    }
    case 'E': return Hex2(qint16(settings.configA())) + Hex2(qint16(settings.configB()));
    default: return std::nullopt;
    }
}

int CeilingSensor::write(int value)
{
    const bool r14 = m_revision >= 14;
    if ((value & 0xF0) == 0xD0) {
        m_typeBits = value & 3;
        // Before revision 14 the relay polarity is fixed and the settings always come over the wire.
        settings.relayPol = r14 ? (value >> 2) & 1 : 0;
        settings.ool = r14 ? (value >> 3) & 1 : 0;
        return value;
    }
    if (!r14)
        return value & 0xF0;
    const int ack = settings.write(value, true);
    return ack < 0 ? value : ack;
}

} // namespace tqdt::sim
