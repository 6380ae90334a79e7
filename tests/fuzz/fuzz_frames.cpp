// Any characters a monitor or a data log takes from the bus, in pieces of any size: every character
// ends up in exactly one row, a row is never longer than a frame can be, the rows do not depend on
// where the pieces were cut, and each row of a saved capture stays one line.
#include "Reached.h"
#include "network/BusFrames.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using tqdt::net::BusFrame;
using tqdt::net::FrameDecoder;
using Kind = BusFrame::Kind;

void require(bool ok)
{
    if (!ok)
        std::abort();
}

// The rows one decoder makes of the bytes, cut where step says (0: in one piece), with the time
// moving on by the byte at each cut when the clock runs.
std::vector<BusFrame> decode(const QByteArray& bytes, std::optional<tqdt::Channel> channel, size_t step,
                             bool clockRuns)
{
    FrameDecoder decoder;
    std::vector<BusFrame> rows;
    qint64 now = 1000;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype n =
            step == 0 ? bytes.size() - at : std::min<qsizetype>(qsizetype(step), bytes.size() - at);
        decoder.feed(bytes.constData() + at, n, now, channel, rows);
        if (clockRuns)
            now += quint8(bytes[at]);
        at += n;
        step = step * 5 % 23 + 1; // pieces of changing sizes
    }
    decoder.finish(rows);
    return rows;
}

// lines: also write each row as a line of a saved capture (the slow part, so once per input).
void checkRows(const std::vector<BusFrame>& rows, const QByteArray& bytes, bool lines)
{
    QByteArray joined;
    for (size_t i = 0; i < rows.size(); ++i) {
        const BusFrame& f = rows[i];
        const QByteArray& raw = f.raw;
        joined += raw;
        require(f.index == i + 1);
        require(!raw.isEmpty() && raw.size() <= FrameDecoder::kMaxFrame);
        const bool bracketed =
            raw.startsWith('[') && raw.endsWith(']') && raw.count('[') == 1 && raw.count(']') == 1;
        switch (f.kind) {
        case Kind::Request:
        case Kind::Unknown: require(bracketed); break;
        case Kind::Reply:
            require(bracketed || (!raw.contains('[') && !tqdt::BusFrameShape(f.shape).replyIsFrame));
            if (f.requestIndex >= 0)
                require(i > 0 && f.requestIndex == qint64(f.index) - 1 && rows[i - 1].kind == Kind::Request);
            break;
        case Kind::Cut: require(raw.startsWith('[') && raw.count('[') == 1 && !raw.contains(']')); break;
        case Kind::Between: require(!raw.contains('[')); break;
        }
        if (!lines)
            continue;
        for (auto layout : {tqdt::net::CaptureLayout::Csv, tqdt::net::CaptureLayout::Tabs}) {
            const QByteArray line = tqdt::net::CaptureLine(f, 5, layout);
            require(line.endsWith("\r\n") && line.count('\n') == 1 && line.count('\r') == 1);
            if (layout == tqdt::net::CaptureLayout::Tabs)
                require(line.count('\t') == 6);
        }
    }
    require(joined == bytes); // nothing lost, nothing made up
}

bool sameRows(const std::vector<BusFrame>& a, const std::vector<BusFrame>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].raw != b[i].raw || a[i].kind != b[i].kind || a[i].shape != b[i].shape ||
            a[i].address != b[i].address || a[i].checksum != b[i].checksum ||
            a[i].requestIndex != b[i].requestIndex || a[i].timeMs != b[i].timeMs)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tqdt::fuzz::Reached<2> reached("fuzz_frames", {"with a request", "with a paired reply"});
    reached.input();
    if (size < 1)
        return 0;
    // The first byte: the channel the port was on and the size of the first piece.
    const int line = data[0] % 3;
    const std::optional<tqdt::Channel> channel =
        line == 2 ? std::nullopt : std::optional(line == 0 ? tqdt::Channel::Blue : tqdt::Channel::Brown);
    const size_t step = data[0] / 3 % 40 + 1;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const auto whole = decode(bytes, channel, 0, false);
    checkRows(whole, bytes, false);
    require(sameRows(whole, decode(bytes, channel, step, false)));
    const auto timed = decode(bytes, channel, step, true);
    checkRows(timed, bytes, true);

    bool request = false, paired = false;
    for (const BusFrame& f : timed) {
        request |= f.kind == Kind::Request;
        paired |= f.kind == Kind::Reply && f.requestIndex >= 0;
    }
    if (request)
        reached.stage(0);
    if (paired)
        reached.stage(1);
    return 0;
}
