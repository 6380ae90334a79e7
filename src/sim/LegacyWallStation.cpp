#include "sim/BenchStations.h"

namespace tqdt::sim {

std::optional<QByteArray> LegacyWallStation::answer(int offset, char command, const QByteArray& data)
{
    (void)offset;
    switch (command) {
    case '7': return Hex2(0) + Hex2(qint16(m_inputs));
    case '0':
        if (!data.isEmpty())
            return std::nullopt;
        return Hex2(qint16(m_type));
    case '4':
        // "*" and the new model as one hex digit; the station takes it without a word and keeps
        // its revision.
        if (data.size() == 2 && data[0] == '*' && data[1] != '0' && HexVal1(data.mid(1)) > 0)
            m_type = HexVal1(data.mid(1)) << 4 | (m_type & 15);
        return std::nullopt;
    default: return std::nullopt;
    }
}

} // namespace tqdt::sim
