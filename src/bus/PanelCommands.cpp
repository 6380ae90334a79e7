#include "bus/PanelCommands.h"

#include "bus/BusLink.h"
#include "host/Host.h"

namespace tqdt {

namespace {
qint16 byteAt(const QByteArray& reply, int pos) { return qint16(HexVal2(Mid(reply, pos, 2))); }
const FrameShape& row(shape::Index i) { return BusFrameShape(i); }
} // namespace

bool PanelRelays(Host& host, qint16 address, bool write, qint16 relay, qint16 state)
{
    if (write) {
        const QByteArray body = "10" + Hex2(relay) + (state == 1 ? "1" : "0") + "1";
        if (!BusLink(host).exchange(row(shape::PanelRelayWrite), BuildNetFrame(address, body)))
            return false;
        return CheckNetReply(host.reply.ReplyText);
    }
    if (!BusLink(host).exchange(row(shape::PanelRelayRead), BuildNetFrame(address, "25")))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!CheckNetReply(r))
        return false;
    for (int k = 0; k < 8; ++k)
        host.reply.RelayImage[size_t(k)] = byteAt(r, 4 + 2 * k);
    return true;
}

bool PanelPresent(Host& host, qint16 address)
{
    if (!BusLink(host).exchange(row(shape::PanelPresent), BuildNetFrame(address, "A")))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (r.isEmpty())
        return false;
    const char c = r[0];
    return (c >= '0' && c <= ';') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool NodeProbe(Host& host, qint16 address)
{
    if (!BusLink(host).exchange(row(shape::NodeProbe), BuildNetFrame(address, "00")))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (r.size() < 4)
        return false;
    const char c = r[3];
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace tqdt
