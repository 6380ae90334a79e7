#include "sim/BenchStations.h"

namespace tqdt::sim {

namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

} // namespace

std::optional<Reply> BenchStation::handle(Channel channel, const QByteArray& frame, const LineSettings& line)
{
    if (m_silent || channel != Channel::Blue)
        return std::nullopt;
    if (line.baud != Site::kBusBaud || line.parity != 'n' || line.dataBits != 8)
        return std::nullopt;
    // "[2" + address + command + data + checksum + "]"; a frame without a real checksum is noise.
    const qsizetype n = frame.size();
    if (n < 8 || frame[0] != '[' || frame[1] != '2' || frame[n - 1] != ']')
        return std::nullopt;
    if (!isHexDigit(frame[n - 3]) || !isHexDigit(frame[n - 2]) || !isHexDigit(frame[2]) ||
        !isHexDigit(frame[3]))
        return std::nullopt;
    if (HexVal2(frame.mid(n - 3, 2)) != DevChecksum(frame.left(n - 3)))
        return std::nullopt;
    const int target = HexVal2(frame.mid(2, 2));
    const int offset = target - m_address;
    if (offset < 0 || offset > extraAddresses())
        return std::nullopt;
    const char command = frame[4];
    const QByteArray data = frame.mid(5, n - 8);
    if (offset == 0 && command == 'A') {
        m_enabled = data.size() == 2 && HexVal2(data) == 255 - target;
        return Reply{devReply(Hex2(m_enabled ? 1 : 0))};
    }
    if (offset == 0 && command == 'B') {
        // A write without its enable is ignored.
        if (!m_enabled || data.size() != 2)
            return std::nullopt;
        m_enabled = false;
        ++m_writes;
        return Reply{devReply(Hex2(qint16(write(HexVal2(data)))))};
    }
    if (command == '7')
        m_pilots = offset == 0 ? HexVal2(data) : m_pilots;
    if (std::optional<QByteArray> d = answer(offset, command, data))
        return Reply{devReply(*d)};
    return std::nullopt;
}

void OccupancySettings::adopt(int mask)
{
    if (ool != 0)
        return; // it keeps its own settings
    pir = mask & 3;
    acs = (mask >> 2) & 3;
    vac = (mask >> 4) & 7;
    led = (mask >> 7) & 1;
}

int OccupancySettings::write(int value, bool readBack)
{
    switch (value & 0xF0) {
    case 0xA0: return readBack ? 0xA0 | (pir + 4 * acs) : 0xA0;
    case 0xB0: return readBack ? 0xB0 | (vac + 8 * led) : 0xB0;
    case 0xE0:
        pir = value & 3;
        acs = (value >> 2) & 3;
        return value;
    case 0xF0:
        vac = value & 7;
        led = (value >> 3) & 1;
        return value;
    default: return -1;
    }
}

} // namespace tqdt::sim
