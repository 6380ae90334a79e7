#pragma once

#include "bus/FrameCodec.h"
#include "bus/FrameShapes.h"

#include <QByteArray>

namespace tqdt {

class Host;
class SerialPort;

struct ExchangeOptions {
    bool emptyAgain = true; // the bus routines empty the receive buffer a second time before writing
};

// Talks to the devices on one serial port: selects the channel (DTR off: Blue, the devices local
// to a panel; DTR on: Brown, the panel network), empties the receive buffer, writes a frame and
// waits for its reply on the host's stopwatch. Every window and model that talks to a device does
// it through a BusLink, on the main port or on a port of its own, and builds its frames with the
// pure helpers of FrameCodec.h.
//
//     BusLink link(host);                                    // the main window's port
//     if (link.exchange(BusFrameShape(shape::WsReadConfig), BuildDevFrame('2', node, "E"))) {
//         const QByteArray& r = link.reply();                // also host.reply.ReplyText
//         ...
//     }
//
//     BusLink own(host, *m_comBT, &m_reply);                 // a window with a port of its own
//     own.select(Channel::Brown);
//     own.broadcast(Channel::Blue, frame);                   // no reply expected
//
// A link holds no state of its own beyond where the reply goes, so it is cheap to make one per call.
class BusLink {
public:
    // The host's main port; replies land in the shared reply text host.reply.ReplyText.
    explicit BusLink(Host& host);
    // Any port; replies land in *replyText, or in the shared reply text when none is given.
    BusLink(Host& host, SerialPort& port, QByteArray* replyText = nullptr);

    SerialPort& port() const { return m_port; }
    Host& host() const { return m_host; }

    void select(Channel channel);
    // Four reads, each of everything that waits, whatever input length a window has set.
    void emptyReceiveBuffer();

    // One request/reply: select the channel, empty the receive buffer, write the frame in one
    // write, restart the stopwatch and wait (blocking, not spinning) for replyLen characters or
    // limitMs. When the stopwatch then shows limitMs or more the exchange has failed and nothing is
    // read; otherwise the whole receive buffer becomes the reply. Received text that begins with the
    // frame just written is the line echoing it (a loopback plug, an echoing adapter), never a
    // device's answer: the exchange has failed, and "The Port Echoes What Is Sent" is shown once
    // (title "Port Error") until an exchange is answered again.
    bool exchange(Channel channel, const QByteArray& frame, int replyLen, int limitMs,
                  ExchangeOptions options = {});
    // The same on the channel already in force (DTR is left as it is).
    bool exchange(const QByteArray& frame, int replyLen, int limitMs, ExchangeOptions options = {});
    // A request of one row of BusFrameShapes(): on the row's channel (or the one in force where the
    // row names none), waiting for the row's reply length within the row's limit.
    bool exchange(const FrameShape& shape, const QByteArray& frame, ExchangeOptions options = {});

    // Empties the receive buffer and writes the frame; nothing is awaited.
    void send(const QByteArray& frame);
    // A frame every device on the channel hears and none answers: send, then give them settleMs.
    void broadcast(Channel channel, const QByteArray& frame, int settleMs = 50);

    // The text of the last successful exchange (a failed one leaves the older text).
    const QByteArray& reply() const { return *m_reply; }

private:
    Host& m_host;
    SerialPort& m_port;
    QByteArray* m_reply;
};

// Whether received, the text read after writing frame, is only the line echoing it.
bool IsEcho(const QByteArray& frame, const QByteArray& received);

} // namespace tqdt
