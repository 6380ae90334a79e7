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

} // namespace tqdt::ws
