#pragma once

#include "bus/FrameCodec.h"
#include "bus/FrameShapes.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace tqdt::net {

// One row of the traffic a monitor or a data log holds: a whole frame from "[" to "]", a frame cut
// short by the next "[", or the bytes that stood between two frames.
struct BusFrame {
    enum class Kind : quint8 { Request, Reply, Unknown, Cut, Between };
    enum class Mark : quint8 { Ok, Bad, None };

    quint64 index = 0;  // running number from the start of the capture
    qint64 timeMs = -1; // when the first character arrived; -1 where nothing says (a data log)
    qint8 channel = -1; // 0 Blue, 1 Brown, -1 unknown
    Kind kind = Kind::Unknown;
    Mark checksum = Mark::None;
    qint8 family = -1;        // FrameFamily the frame was read in, -1 none
    qint16 shape = -1;        // the request's row of BusFrameShapes(); a reply takes its request's row
    qint16 address = -1;      // the address the frame names; a reply takes its request's address
    qint64 requestIndex = -1; // a paired reply: the index of its request
    QByteArray raw;
};

// Turns received characters into frames. Characters may come in pieces of any size; a frame split
// over two pieces is one frame, stamped with the time its "[" came. The channel comes from the
// caller (the line the port was on); the family of a frame follows its channel, and only where the
// channel is unknown its shape. A reply is paired with the request just before it when its length
// is the one the request waits for and it began within the request's time limit.
class FrameDecoder {
public:
    // No frame the tool knows is longer (the module's block of 256 bytes); a longer run without "]"
    // is cut so memory stays bounded.
    static constexpr int kMaxFrame = 514;
    // How late a receive event may reach the capture on a busy PC.
    static constexpr int kEventLatencyMs = 50;

    void feed(const char* data, qsizetype n, qint64 timeMs, std::optional<Channel> channel,
              std::vector<BusFrame>& out);
    void feed(const QByteArray& data, qint64 timeMs, std::optional<Channel> channel,
              std::vector<BusFrame>& out)
    {
        feed(data.constData(), data.size(), timeMs, channel, out);
    }
    // What is still open at the end of the input: a frame without its "]", or bytes after the last.
    void finish(std::vector<BusFrame>& out);

private:
    void emitPending(BusFrame::Kind kind, std::vector<BusFrame>& out);
    void classify(BusFrame& f);

    QByteArray m_pending;
    bool m_inFrame = false;
    qint64 m_pendingTime = -1;
    qint8 m_pendingChannel = -1;
    quint64 m_next = 0;
    // The last request, for pairing its reply.
    bool m_lastWasRequest = false;
    qint16 m_lastShape = -1;
    qint16 m_lastAddress = -1;
    qint64 m_lastTime = -1;
    qint8 m_lastChannel = -1;
    quint64 m_lastIndex = 0;
};

// "Panel 05 relays read", "Reply: relays 01–08 on", "unknown" ... Addresses are two hex digits.
QString FrameMeaning(const BusFrame& f);

// The raw column: printable characters as they are, anything else as \xNN (a backslash as \x5C), so
// a row is always one line.
QString FrameText(const QByteArray& raw);
// The raw column as hex bytes: "5B 38 41 ..."
QString FrameHex(const QByteArray& raw);

QString ChecksumWord(BusFrame::Mark m); // "ok", "bad", "none"
QString ChannelWord(qint8 channel);     // "blue", "brown", ""

// The saved or printed capture: a header line, then one frame per line, CR LF.
enum class CaptureLayout { Csv, Tabs };
QByteArray CaptureHeader(CaptureLayout layout);
// deltaMs: the time since the frame before, or -1 where there is none.
QByteArray CaptureLine(const BusFrame& f, qint64 deltaMs, CaptureLayout layout);

} // namespace tqdt::net
