#pragma once

#include "shell/FrameCodec.h"

#include <QByteArray>

#include <span>

namespace tqdt {

enum class FrameFamily { Network, Device };

// The requests of the shared bus routines, one row each: what the frame looks like on the wire, what
// answers it and how long the sender waits. The monitors and the log decoder recognise traffic by
// these rows, so a frame the tool can send is a frame it can name.
struct FrameShape {
    const char* name;         // the command as a filter lists it
    Channel channel;          // the channel the routine selects
    FrameFamily family;       // where the checksum stands and how it is computed
    char deviceClass;         // device family: the class digit after "["; network family: 0
    const char* command;      // the digits after the address
    int dataDigits;           // the data digits after the command
    int replyLength;          // the characters the routine waits for; 0: nothing is read
    int replyChecksumPos;     // device replies: 1-based position of the checksum; 0 otherwise
    int limitMs;              // the routine's time limit for the reply
    bool replyIsFrame = true; // false: the reply is a bare character, not a bracketed frame
};

namespace shape {
enum Index {
    PanelRelayRead,
    PanelRelayWrite,
    PanelPresent,
    NodeProbe,
    WsStatus,
    WsSensorLevels,
    WsConfigEnable,
    WsConfigWrite,
    WsReadConfig,
    Dimmer,
    DimmerWli,
    RelayDevice,
    TouchScreenProfile,
    TouchScreenClock,
    Count
};
} // namespace shape

std::span<const FrameShape> BusFrameShapes();
const FrameShape& BusFrameShape(int index);

// The whole length of a request of this shape, brackets and checksum included.
int RequestLength(const FrameShape& s);

// The checksum of a whole frame (request or reply) in its family: a network frame carries it after
// "[" over everything behind it, a device frame in front of "]" over everything before it.
bool FrameChecksumValid(FrameFamily family, const QByteArray& frame);

} // namespace tqdt
