#include "sim/Site.h"

namespace tqdt::sim {

// A Wistra wall station: status with pilot mask, sensor levels, and the two-step configuration write.
std::optional<Reply> wallStationHandle(WallStation& ws, int address, char command, const QByteArray& data)
{
    switch (command) {
    case '7': ws.pilots = quint8(HexVal2(data)); return Reply{devReply(Hex2(ws.level) + Hex2(ws.inputs))};
    case 'D': {
        QByteArray words;
        for (quint16 w : ws.sensorWords)
            words += Hex4(w);
        return Reply{devReply(Hex2(ws.level) + Hex2(ws.inputs) + words)};
    }
    case 'A':
        // The enable carries the address's complement; anything else leaves the station locked.
        ws.configEnabled = HexVal2(data) == 255 - address;
        return Reply{devReply(Hex2(ws.configEnabled ? 1 : 0))};
    case 'B':
        if (ws.configEnabled)
            ws.config = quint8(HexVal2(data));
        ws.configEnabled = false;
        return Reply{devReply(Hex2(ws.config))};
    case 'E': return Reply{devReply(Hex2(ws.config) + Hex2(ws.typeCode))};
    default: return std::nullopt;
    }
}

} // namespace tqdt::sim
