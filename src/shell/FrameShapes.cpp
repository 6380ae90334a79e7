#include "shell/FrameShapes.h"

#include <array>
#include <cstring>

namespace tqdt {

namespace {

using enum Channel;
using enum FrameFamily;

// Indexed by shape::Index; the order matters.
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
}};

} // namespace

std::span<const FrameShape> BusFrameShapes() { return kShapes; }

const FrameShape& BusFrameShape(int index) { return kShapes[size_t(index)]; }

int RequestLength(const FrameShape& s)
{
    // "[" + checksum (2) + address (2) + command + data + "]", or
    // "[" + class + address (2) + command + data + checksum (2) + "]": the same count either way
    // apart from the class digit.
    const int common = 1 + 2 + 2 + int(std::strlen(s.command)) + s.dataDigits + 1;
    return s.family == Device ? common + 1 : common;
}

bool FrameChecksumValid(FrameFamily family, const QByteArray& frame)
{
    if (family == Network)
        return CheckNetReply(frame);
    return frame.size() >= 4 && CheckDevReply(frame, int(frame.size()) - 2);
}

} // namespace tqdt
