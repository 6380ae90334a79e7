#include "shell/WallStationCommands.h"

#include "shell/BusLink.h"
#include "shell/Host.h"

#include <cmath>

namespace tqdt {

namespace {
qint16 byteAt(const QByteArray& reply, int pos) { return qint16(HexVal2(Mid(reply, pos, 2))); }
} // namespace

bool WsStatus(Host& host, qint16 address, qint16 pilotMask)
{
    if (!BusLink(host).exchange(Channel::Blue, BuildDevFrame('2', address, "7" + Hex2(pilotMask)), 8, 25))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckDevReply(r, 6))
        return false;
    host.reply.WsStatusA = byteAt(r, 4);
    host.reply.WsStatusB = byteAt(r, 2);
    host.reply.WsStatusC = byteAt(r, 4);
    return true;
}

bool WsSensorLevels(Host& host, qint16 address, qint16 selector)
{
    if (!BusLink(host).exchange(Channel::Blue, BuildDevFrame('2', address, "D" + Hex2(selector)), 24, 25))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckDevReply(r, 22))
        return false;
    ReplyStore& s = host.reply;
    s.WsStatusA = byteAt(r, 4);
    s.WsStatusB = byteAt(r, 2);
    s.WsStatusC = byteAt(r, 4);
    for (int k = 0; k < 4; ++k) {
        qint32 v = HexVal4(Mid(r, 6 + 4 * k, 4));
        s.SensorNegative[size_t(k)] = v >= 32768;
        if (v >= 32768)
            v -= 32768;
        // Halves round to even, as the original rounding did.
        s.SensorLevel[size_t(k)] = qint32(std::nearbyint(v * 0.533));
    }
    return true;
}

bool WsWriteConfig(Host& host, qint16 address, qint16 value)
{
    // The enable's reply is waited for but not kept: when the value step then times out, ReplyText
    // still holds what it held before the write.
    QByteArray enableReply;
    if (!BusLink(host, host.comQV(), &enableReply)
             .exchange(Channel::Blue, BuildDevFrame('2', address, "A" + Hex2(qint16(255 - address))), 6, 100))
        return false;
    if (!BusLink(host).exchange(Channel::Blue, BuildDevFrame('2', address, "B" + Hex2(value)), 6, 100))
        return false;
    return true; // the device's acknowledgements carry nothing to check
}

bool WsReadConfig(Host& host, qint16 address)
{
    if (!BusLink(host).exchange(Channel::Blue, BuildDevFrame('2', address, "E"), 8, 25))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckDevReply(r, 6))
        return false;
    host.reply.WsStatusB = byteAt(r, 2);
    host.reply.WsStatusC = byteAt(r, 4);
    return true;
}

} // namespace tqdt
