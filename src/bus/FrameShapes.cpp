#include "bus/FrameShapes.h"

#include <array>
#include <cstring>

namespace tqdt {

namespace {

using enum Channel;
using enum FrameFamily;
constexpr std::optional<Channel> kInForce = std::nullopt;
constexpr bool kFrame = true, kDashes = true;

// Indexed by shape::Index; the order matters: of two rows that look alike on the wire the first names
// the frame.
constexpr std::array<FrameShape, shape::Count> kShapes{{
    {"Panel relays read", Brown, Network, 0, "25", 0, 36, 0, 200},
    {"Panel relay write", Brown, Network, 0, "10", 4, 4, 0, 750},
    {"Panel presence", Brown, Network, 0, "A", 0, 1, 0, 25, false},
    {"Node probe", Brown, Network, 0, "00", 0, 12, 0, 75},
    {"Wall station status", Blue, Device, '2', "7", 2, 8, 6, 25},
    {"Wall station sensor levels", Blue, Device, '2', "D", 2, 24, 22, 25},
    {"Wall station configuration enable", Blue, Device, '2', "A", 2, 6, 4, 100},
    {"Wall station configuration write", Blue, Device, '2', "B", 2, 6, 4, 100},
    {"Wall station configuration read", Blue, Device, '2', "E", 0, 8, 6, 25},
    {"Dimmer levels", Blue, Device, 'A', "5", 16, 12, 10, 30},
    {"Dimmer levels (WLI)", Blue, Device, 'A', "8", 32, 12, 10, 30},
    {"Relay device command", Blue, Device, '9', "5", 2, 6, 4, 25},
    {"Touch screen profile", Blue, Device, '8', "E", 2, 0, 0, 0},
    {"Touch screen clock", Blue, Device, '8', "D", 12, 0, 0, 0},

    {"Wall station type query", Blue, Device, '2', "8", 0, 8, 6, 25},
    // The legacy station's type query and configuration, at 00 only; the code goes as one digit.
    {"Legacy station type query", Blue, Device, '2', "0", 0, 6, 4, 25},
    {"Legacy station configure", Blue, Device, '2', "4*", 1, 0, 0, 0},
    // The G3, Kestrix and wall-sensor models give the station half a second to answer.
    {"Wall station model enable", Blue, Device, '2', "A", 2, 6, 4, 500},
    {"Wall station model write", Blue, Device, '2', "B", 2, 6, 4, 500},
    // The G3 and Kestrix stations are given a fixed second after the write instead.
    {"Wall station model write, unanswered", Blue, Device, '2', "B", 2, 0, 0, 0},

    // The module answers these without a checksum the tool could check.
    {"Module connection check", Blue, Device, '2', "7", 2, 8, 0, 2500, kFrame, kDashes},
    {"Module programming switch", Blue, Device, '2', "4", 2, 0, 0, 0, kFrame, kDashes},
    {"Module poll", Blue, Device, '2', "0", 0, 6, 0, 20, kFrame, kDashes},
    {"Module inputs read", Blue, Device, '2', "2", 0, 6, 0, 20, kFrame, kDashes},
    {"Module factory default", Blue, Device, '2', "D", 2, 6, 0, 8000, kFrame, kDashes},
    {"Module checksum read", Blue, Device, '2', "C", 2, 18, 0, 3000, kFrame, kDashes},

    {"Module program start", Blue, Bare, 0, "1", 16, 2, 0, 3000},
    {"Module data, bytes 1-8", Blue, Bare, 0, "2", 16, 2, 0, 3000},
    {"Module data, bytes 9-16", Blue, Bare, 0, "3", 16, 2, 0, 3000},
    {"Module data, bytes 17-24", Blue, Bare, 0, "4", 16, 2, 0, 3000},
    {"Module data, bytes 25-32", Blue, Bare, 0, "5", 16, 2, 0, 3000},
    {"Module image checksum", Blue, Bare, 0, "6", 16, 18, 0, 3000},
    {"Module configuration checksum", Blue, Bare, 0, "7", 16, 18, 0, 3000},
    {"Module block read", Blue, Bare, 0, "8", 16, 514, 0, 3000},

    // The gateway's transfer never moves the DTR line. A reset's data are two digits and "$*"; a
    // block write carries bank, address, "3F" and 64 cells.
    {"Gateway memory reset", kInForce, Network, 0, "36", 4, 6, 0, 15000},
    {"Gateway block write", kInForce, Network, 0, "38", 1 + 4 + 2 + 128, 6, 0, 15000},
    {"Gateway block read", kInForce, Network, 0, "39", 1 + 4 + 2, 132, 0, 15000},
    {"Gateway bank checksum", kInForce, Network, 0, "3F", 1 + 8, 12, 0, 15000},

    // The DMX gateway's frames carry no checksum: "[0" and a command digit, then the data. A block
    // write carries its first channel (four digits) and 64 cells; the acknowledgement is four
    // characters whose content is not examined.
    {"DMX gateway block write", Brown, Bare, 0, "01", 4 + 128, 4, 0, 2000},
    {"DMX gateway checksum", Brown, Bare, 0, "03", 0, 18, 0, 2000},
    {"DMX gateway firmware", Brown, Bare, 0, "04", 0, 20, 0, 2000},
}};

bool wireEqual(const FrameShape& a, const FrameShape& b)
{
    return a.family == b.family && a.deviceClass == b.deviceClass && std::strcmp(a.command, b.command) == 0 &&
           a.dataDigits == b.dataDigits && a.dashes == b.dashes;
}

// Where the command starts (0-based).
int commandAt(FrameFamily family)
{
    switch (family) {
    case Network: return 5; // "[" checksum address
    case Device: return 4;  // "[" class address
    case Bare: break;
    }
    return 1;
}

} // namespace

std::span<const FrameShape> BusFrameShapes() { return kShapes; }

const FrameShape& BusFrameShape(int index) { return kShapes[size_t(index)]; }

int RequestLength(const FrameShape& s)
{
    // A network frame's checksum stands before the command, a device frame's behind the data.
    const int trailingChecksum = s.family == Device ? 2 : 0;
    return commandAt(s.family) + int(std::strlen(s.command)) + s.dataDigits + trailingChecksum + 1;
}

bool FrameHasShape(const FrameShape& s, const QByteArray& frame)
{
    const qsizetype n = frame.size();
    if (n != RequestLength(s) || frame[0] != '[' || frame[n - 1] != ']')
        return false;
    const int at = commandAt(s.family);
    if (std::memcmp(frame.constData() + at, s.command, std::strlen(s.command)) != 0)
        return false;
    if (s.family != Device)
        return true;
    const bool dashes = frame[n - 3] == '-' && frame[n - 2] == '-';
    return frame[1] == s.deviceClass && dashes == s.dashes;
}

int NamedShape(int index)
{
    for (int i = 0; i < index; ++i)
        if (wireEqual(kShapes[size_t(i)], kShapes[size_t(index)]))
            return i;
    return index;
}

int ReplyWindowMs(int index)
{
    int ms = 0;
    for (const FrameShape& s : kShapes)
        if (wireEqual(s, kShapes[size_t(index)]))
            ms = std::max(ms, s.limitMs);
    return ms;
}

bool FrameChecksumValid(FrameFamily family, const QByteArray& frame)
{
    switch (family) {
    case Network: return CheckNetReply(frame);
    case Device: return frame.size() >= 4 && CheckDevReply(frame, int(frame.size()) - 2);
    case Bare: break;
    }
    return false;
}

} // namespace tqdt
