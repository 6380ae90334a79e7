#include "devices/WsLink.h"

#include "bus/BusLink.h"
#include "bus/FrameCodec.h"
#include "host/Host.h"

namespace tqdt::ws {

bool Request(Host& host, shape::Index row, const QByteArray& frame)
{
    return BusLink(host).exchange(BusFrameShape(row), frame);
}

void Send(Host& host, const QByteArray& frame)
{
    BusLink link(host);
    link.select(Channel::Blue);
    // Emptied twice, before and after the frame is built, as every wall-station sender does.
    link.emptyReceiveBuffer();
    link.send(frame);
}

std::optional<TypeReply> TypeQuery(Host& host, int address)
{
    if (!Request(host, shape::WsTypeQuery, BuildDevFrame('2', qint16(address), "8")))
        return std::nullopt;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckDevReply(r, BusFrameShape(shape::WsTypeQuery).replyChecksumPos))
        return std::nullopt;
    TypeReply t{HexVal2(Mid(r, 2, 2)), HexVal2(Mid(r, 4, 2))};
    host.reply.WsStatusA = qint16(t.type);
    return t;
}

bool EnableAndWrite(Host& host, int address, int value, AfterWrite after)
{
    const qint16 a = qint16(address);
    if (!Request(host, shape::WsModelEnable, BuildDevFrame('2', a, "A" + Hex2(qint16(255 - address)))))
        return false;
    const QByteArray write = BuildDevFrame('2', a, "B" + Hex2(qint16(value)));
    if (after == AfterWrite::WaitForReply) {
        Request(host, shape::WsModelWrite, write); // the acknowledgement carries nothing to check
    } else {
        Send(host, write);
        host.Delay(1000);
    }
    return true;
}

} // namespace tqdt::ws
