#include "bus/WallStationCommands.h"

#include "bus/BusLink.h"
#include "host/Host.h"

#include <cmath>

namespace tqdt {

namespace {
qint16 byteAt(const QByteArray& reply, int pos) { return qint16(HexVal2(Mid(reply, pos, 2))); }
const FrameShape& row(shape::Index i) { return BusFrameShape(i); }
} // namespace

bool WsStatus(Host& host, qint16 address, qint16 pilotMask)
{
    const FrameShape& s = row(shape::WsStatus);
    if (!BusLink(host).exchange(s, BuildDevFrame('2', address, "7" + Hex2(pilotMask))))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckDevReply(r, s.replyChecksumPos))
        return false;
    host.reply.WsStatusA = byteAt(r, 4);
    host.reply.WsStatusB = byteAt(r, 2);
    host.reply.WsStatusC = byteAt(r, 4);
    return true;
}

bool WsSensorLevels(Host& host, qint16 address, qint16 selector)
{
    const FrameShape& shape = row(shape::WsSensorLevels);
    if (!BusLink(host).exchange(shape, BuildDevFrame('2', address, "D" + Hex2(selector))))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckDevReply(r, shape.replyChecksumPos))
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
    // The device's acknowledgements carry nothing to check.
    return WsEnableAndWrite(host, address, value, WsWrite::Config) == WsWriteResult::Written;
}

WsWriteResult WsEnableAndWrite(Host& host, qint16 address, qint16 value, WsWrite how)
{
    const bool config = how == WsWrite::Config;
    QByteArray enableReply;
    if (!BusLink(host, host.comQV(), &enableReply)
             .exchange(row(config ? shape::WsConfigEnable : shape::WsModelEnable),
                       BuildDevFrame('2', address, "A" + Hex2(qint16(255 - address)))))
        return WsWriteResult::NoEnable;
    const QByteArray write = BuildDevFrame('2', address, "B" + Hex2(value));
    BusLink link(host);
    if (how == WsWrite::ModelThenSecond) {
        link.select(Channel::Blue);
        // Emptied twice, before and after the frame is built, as every wall-station sender does.
        link.emptyReceiveBuffer();
        link.send(write);
        host.Delay(1000);
        return WsWriteResult::Written;
    }
    return link.exchange(row(config ? shape::WsConfigWrite : shape::WsModelWrite), write)
               ? WsWriteResult::Written
               : WsWriteResult::Unanswered;
}

bool WsReadConfig(Host& host, qint16 address)
{
    const FrameShape& s = row(shape::WsReadConfig);
    if (!BusLink(host).exchange(s, BuildDevFrame('2', address, "E")))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckDevReply(r, s.replyChecksumPos))
        return false;
    host.reply.WsStatusB = byteAt(r, 2);
    host.reply.WsStatusC = byteAt(r, 4);
    return true;
}

} // namespace tqdt
