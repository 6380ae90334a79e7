#include "sim/Site.h"

namespace tqdt::sim {

// A four-relay device. Relay k owns two command bits: bit 2k switches it off, bit 2k + 1 on
// (both set: on wins, the later bit). Command 0 is a status read. Stuck relays keep their state.
std::optional<Reply> relayDeviceHandle(RelayDevice& r, char command, const QByteArray& data)
{
    if (command != '5' || data.size() != 2)
        return std::nullopt;
    const int cmd = HexVal2(data);
    for (int k = 0; k < 4; ++k) {
        const quint8 bit = quint8(1 << k);
        if (r.stuckMask & bit)
            continue;
        if (cmd & (1 << (2 * k)))
            r.status &= quint8(~bit);
        if (cmd & (1 << (2 * k + 1)))
            r.status |= bit;
    }
    return Reply{devReply(Hex2(r.status & 0x0F))};
}

} // namespace tqdt::sim
