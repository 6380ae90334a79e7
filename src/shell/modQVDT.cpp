#include "shell/modQVDT.h"

#include "shell/FrameCodec.h"
#include "shell/FrameShapes.h"
#include "shell/Host.h"
#include "shell/Settings.h"

#include <cmath>

namespace tqdt {

namespace {

qint16 byteAt(const QByteArray& reply, int pos) { return qint16(HexVal2(Mid(reply, pos, 2))); }

// Every request is built, sent and waited for as its row of the frame-shape table says, so what the
// routines send is what the monitors recognise.
QByteArray request(int shape, qint16 address, const QByteArray& data)
{
    const FrameShape& s = BusFrameShape(shape);
    const QByteArray commandAndData = s.command + data;
    return s.family == FrameFamily::Network ? BuildNetFrame(address, commandAndData)
                                            : BuildDevFrame(s.deviceClass, address, commandAndData);
}

bool exchange(Host& host, int shape, const QByteArray& frame)
{
    const FrameShape& s = BusFrameShape(shape);
    return Exchange(host, s.channel, frame, s.replyLength, s.limitMs);
}

bool exchange(Host& host, int shape, qint16 address, const QByteArray& data = {})
{
    return exchange(host, shape, request(shape, address, data));
}

bool checkDevReply(const Host& host, int shape)
{
    return CheckDevReply(host.reply.ReplyText, BusFrameShape(shape).replyChecksumPos);
}

// A broadcast that expects no reply: send, then give the devices 50 ms.
bool broadcast(Host& host, const QByteArray& frame)
{
    SelectBlueChannel(host);
    EmptyReceiveBuffer(host);
    host.comQV().output(frame);
    host.Delay(50);
    return true;
}

} // namespace

bool PanelRelays(Host& host, qint16 address, bool write, qint16 relay, qint16 state)
{
    if (write) {
        const QByteArray data = Hex2(relay) + (state == 1 ? "1" : "0") + "1";
        if (!exchange(host, shape::PanelRelayWrite, address, data))
            return false;
        return CheckNetReply(host.reply.ReplyText);
    }
    if (!exchange(host, shape::PanelRelayRead, address))
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
    if (!exchange(host, shape::PanelPresent, address))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (r.isEmpty())
        return false;
    const char c = r[0];
    return (c >= '0' && c <= ';') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool NodeProbe(Host& host, qint16 address)
{
    if (!exchange(host, shape::NodeProbe, address))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (r.size() < 4)
        return false;
    const char c = r[3];
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool WsStatus(Host& host, qint16 address, qint16 pilotMask)
{
    if (!exchange(host, shape::WsStatus, address, Hex2(pilotMask)))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!checkDevReply(host, shape::WsStatus))
        return false;
    host.reply.WsStatusA = byteAt(r, 4);
    host.reply.WsStatusB = byteAt(r, 2);
    host.reply.WsStatusC = byteAt(r, 4);
    return true;
}

bool WsSensorLevels(Host& host, qint16 address, qint16 selector)
{
    if (!exchange(host, shape::WsSensorLevels, address, Hex2(selector)))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!checkDevReply(host, shape::WsSensorLevels))
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
    if (!exchange(host, shape::WsConfigEnable, address, Hex2(qint16(255 - address))))
        return false;
    if (!exchange(host, shape::WsConfigWrite, address, Hex2(value)))
        return false;
    return true; // the device's acknowledgements carry nothing to check
}

bool WsReadConfig(Host& host, qint16 address)
{
    if (!exchange(host, shape::WsReadConfig, address))
        return false;
    const QByteArray& r = host.reply.ReplyText;
    if (!checkDevReply(host, shape::WsReadConfig))
        return false;
    host.reply.WsStatusB = byteAt(r, 2);
    host.reply.WsStatusC = byteAt(r, 4);
    return true;
}

bool DimmerCommand(Host& host, qint16 address, qint16 level1, qint16 level2, qint16 level3, qint16 level4,
                   qint32 fade, bool wliMode, QByteArray* frameShown)
{
    const QByteArray fadeField = wliMode ? Hex6(fade) : Hex2L(fade);
    QByteArray data;
    for (qint16 level : {level1, level2, level3, level4})
        data += Hex2(level) + fadeField;
    const int shape = wliMode ? shape::DimmerWli : shape::Dimmer;
    const QByteArray frame = request(shape, address, data);
    if (frameShown)
        *frameShown = frame;
    if (!exchange(host, shape, frame))
        return false;
    return checkDevReply(host, shape);
}

bool RelayDeviceCommand(Host& host, qint16 device, qint16 command)
{
    bool ok = exchange(host, shape::RelayDevice, device, Hex2(command));
    if (ok) {
        ok = checkDevReply(host, shape::RelayDevice);
        if (ok)
            host.reply.RelayDeviceStatus = byteAt(host.reply.ReplyText, 2);
    }
    // Give the relays time to move before anything else is sent.
    if (command > 0)
        host.Delay(75);
    return ok;
}

bool TouchScreenProfile(Host& host, qint16 profile)
{
    return broadcast(host, request(shape::TouchScreenProfile, 0xFF, Hex2(profile)));
}

bool TouchScreenClock(Host& host)
{
    const QDateTime now = host.clock().localDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const int weekday = d.dayOfWeek() % 7 + 1; // Sunday 1 ... Saturday 7
    const QByteArray data = Hex2(qint16(d.year() % 100)) + Hex2(qint16(16 * weekday + d.month())) +
                            Hex2(qint16(d.day())) + Hex2(qint16(t.hour())) + Hex2(qint16(t.minute())) +
                            Hex2(qint16(t.second()));
    return broadcast(host, request(shape::TouchScreenClock, 0xFF, data));
}

qint32 SecondsSince2020(const Host& host)
{
    // Counted on the wall clock as shown, so a summer-time change does not shift the count.
    const QDateTime now = host.clock().localDateTime();
    const QDateTime wall(now.date(), now.time(), Qt::UTC);
    const QDateTime epoch(QDate(2020, 1, 1), QTime(0, 0, 0), Qt::UTC);
    return qint32(epoch.secsTo(wall));
}

} // namespace tqdt
