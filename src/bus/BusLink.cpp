#include "bus/BusLink.h"

#include "host/Host.h"

namespace tqdt {

BusLink::BusLink(Host& host) : BusLink(host, host.comQV()) {}

BusLink::BusLink(Host& host, SerialPort& port, QByteArray* replyText)
    : m_host(host), m_port(port), m_reply(replyText ? replyText : &host.reply.ReplyText)
{
}

void BusLink::select(Channel channel) { m_port.setDtr(channel == Channel::Brown); }

void BusLink::emptyReceiveBuffer()
{
    const int len = m_port.inputLen();
    m_port.setInputLen(0);
    m_port.purgeInput();
    for (int i = 0; i < 4; ++i)
        m_port.input();
    m_port.setInputLen(len);
}

bool BusLink::exchange(Channel channel, const QByteArray& frame, int replyLen, int limitMs,
                       ExchangeOptions options)
{
    select(channel);
    return exchange(frame, replyLen, limitMs, options);
}

bool BusLink::exchange(const QByteArray& frame, int replyLen, int limitMs, ExchangeOptions options)
{
    emptyReceiveBuffer();
    if (options.emptyAgain)
        emptyReceiveBuffer();
    m_port.output(frame);
    Stopwatch& sw = m_host.stopwatch();
    sw.StopwatchStart();
    m_port.waitForCount(replyLen, sw, limitMs);
    // A reply that completes in the very millisecond the limit passes is still too late.
    if (sw.StopwatchElapsed() >= limitMs || m_port.inBufferCount() < replyLen)
        return false;
    QByteArray received = m_port.input();
    if (IsEcho(frame, received)) {
        // A looped-back line would otherwise be taken as a device answering with its own request
        // (an 8-character query returning as an 8-character reply whose checksum matches).
        if (!m_host.echoReported) {
            m_host.echoReported = true;
            m_host.dialogs().message(QStringLiteral("The Port Echoes What Is Sent"),
                                     QStringLiteral("Port Error"), MsgIcon::Critical);
        }
        return false;
    }
    m_host.echoReported = false;
    *m_reply = std::move(received);
    return true;
}

bool BusLink::exchange(const FrameShape& shape, const QByteArray& frame, ExchangeOptions options)
{
    // A sender whose frame is not the row it names would be waited for, and decoded, as another.
    Q_ASSERT(FrameHasShape(shape, frame));
    if (shape.channel)
        select(*shape.channel);
    return exchange(frame, shape.replyLength, shape.limitMs, options);
}

void BusLink::send(const QByteArray& frame)
{
    emptyReceiveBuffer();
    m_port.output(frame);
}

void BusLink::broadcast(Channel channel, const QByteArray& frame, int settleMs)
{
    select(channel);
    send(frame);
    m_host.Delay(settleMs);
}

bool IsEcho(const QByteArray& frame, const QByteArray& received)
{
    return !frame.isEmpty() && received.startsWith(frame);
}

} // namespace tqdt
