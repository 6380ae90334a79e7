#include "sim/BenchStations.h"

namespace tqdt::sim {

int G3WallStation::extraAddresses() const
{
    // The plain MZD and scene models are two or three stations behind one faceplate.
    const int t = m_type;
    if (t >= 19 && t <= 23)
        return 2;
    if ((t >= 16 && t <= 18) || (t >= 24 && t <= 29))
        return 1;
    return 0;
}

std::optional<QByteArray> G3WallStation::answer(int offset, char command, const QByteArray& data)
{
    if (command == '7' && data.size() == 2)
        return offset == 0 ? Hex2(qint16(m_statusB)) + Hex2(qint16(m_inputs))
                           : Hex2(0) + Hex2(qint16(m_extra[size_t(offset == 2)]));
    if (offset == 0 && command == '8' && data.isEmpty())
        return Hex2(qint16(m_type)) + Hex2(qint16(m_revision));
    return std::nullopt;
}

int G3WallStation::write(int value)
{
    m_type = value;
    return value;
}

} // namespace tqdt::sim
