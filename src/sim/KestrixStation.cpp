#include "sim/BenchStations.h"

namespace tqdt::sim {

int KestrixStation::extraAddresses() const
{
    const int model = m_type & 0x67;
    return model >= 33 && model <= 37 ? 1 : 0;
}

std::optional<QByteArray> KestrixStation::answer(int offset, char command, const QByteArray& data)
{
    if (command == '7' && data.size() == 2)
        return offset == 0 ? Hex2(qint16(m_statusB)) + Hex2(qint16(m_inputs))
                           : Hex2(0) + Hex2(qint16(m_second));
    if (offset == 0 && command == '8' && data.isEmpty())
        return Hex2(qint16(m_type)) + Hex2(qint16(m_revision));
    return std::nullopt;
}

int KestrixStation::write(int value)
{
    m_type = value;
    return value;
}

} // namespace tqdt::sim
