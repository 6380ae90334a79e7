#include "bus/LoadCommands.h"

#include "bus/BusLink.h"
#include "host/Host.h"

namespace tqdt {

namespace {
qint16 byteAt(const QByteArray& reply, int pos) { return qint16(HexVal2(Mid(reply, pos, 2))); }
} // namespace

bool DimmerCommand(Host& host, qint16 address, qint16 level1, qint16 level2, qint16 level3, qint16 level4,
                   qint32 fade, bool wliMode, QByteArray* frameShown)
{
    const QByteArray fadeField = wliMode ? Hex6(fade) : Hex2L(fade);
    QByteArray data = wliMode ? "8" : "5";
    for (qint16 level : {level1, level2, level3, level4})
        data += Hex2(level) + fadeField;
    const QByteArray frame = BuildDevFrame('A', address, data);
    if (frameShown)
        *frameShown = frame;
    const FrameShape& s = BusFrameShape(wliMode ? shape::DimmerWli : shape::Dimmer);
    if (!BusLink(host).exchange(s, frame))
        return false;
    return CheckDevReply(host.reply.ReplyText, s.replyChecksumPos);
}

bool RelayDeviceCommand(Host& host, qint16 device, qint16 command)
{
    const FrameShape& s = BusFrameShape(shape::RelayDevice);
    bool ok = BusLink(host).exchange(s, BuildDevFrame('9', device, "5" + Hex2(command)));
    if (ok) {
        ok = CheckDevReply(host.reply.ReplyText, s.replyChecksumPos);
        if (ok)
            host.reply.RelayDeviceStatus = byteAt(host.reply.ReplyText, 2);
    }
    // Give the relays time to move before anything else is sent.
    if (command > 0)
        host.Delay(75);
    return ok;
}

} // namespace tqdt
