#pragma once

#include "bus/FrameCodec.h"

#include <QByteArray>

#include <optional>
#include <span>

namespace tqdt {

// Network: checksum after "[" over the rest. Device: checksum in front of "]" over what stands before
// it. Bare: the module's programming frames, "[" + command digit + data + "]" with no checksum.
enum class FrameFamily { Network, Device, Bare };

// Every request the tool sends, one row each: what the frame looks like on the wire, what answers it
// and how long the sender waits. The senders take their reply length and time limit from here, and
// the monitors and the log decoder recognise traffic by the same rows, so a frame the tool can send is
// a frame it can name and the decoder pairs a reply exactly when the sender would have accepted it.
struct FrameShape {
    const char* name;               // the command as a filter lists it
    std::optional<Channel> channel; // the channel the sender selects; none: the one in force
    FrameFamily family;
    char deviceClass;         // device family: the class digit after "["; otherwise 0
    const char* command;      // the characters after the address (bare frames: after "[")
    int dataDigits;           // the characters after the command, before the checksum or "]"
    int replyLength;          // the characters the sender waits for; 0: nothing is read
    int replyChecksumPos;     // device replies: 1-based position of the checksum; 0 otherwise
    int limitMs;              // how long the sender waits for the reply
    bool replyIsFrame = true; // false: the reply is a bare character, not a bracketed frame
    bool dashes = false;      // a device frame with "--" where its checksum would stand
};

namespace shape {
enum Index {
    // The shared bus routines.
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
    // The wall-station models' own requests.
    WsTypeQuery,
    WsLegacyType,
    WsLegacyConfigure,
    WsModelEnable,
    WsModelWrite,
    WsModelWriteUnanswered,
    // The conditional input module on the bench: at 38,400 baud with "--" for a checksum ...
    ModuleConnect,
    ModuleProgramSwitch,
    ModulePoll,
    ModuleInputs,
    ModuleFactoryDefault,
    ModuleChecksum,
    // ... and at 115,200 baud while it is being programmed.
    ModuleStart,
    ModuleData1,
    ModuleData2,
    ModuleData3,
    ModuleData4,
    ModuleImageChecksum,
    ModuleConfigChecksum,
    ModuleRead,
    // The mapped gateway at node 00.
    GatewayReset,
    GatewayWriteBlock,
    GatewayReadBlock,
    GatewayChecksum,
    // The DMX gateway on the Brown channel.
    DmxBlockWrite,
    DmxChecksum,
    DmxFirmware,
    Count
};
} // namespace shape

std::span<const FrameShape> BusFrameShapes();
const FrameShape& BusFrameShape(int index);

// The whole length of a request of this shape, brackets and checksum included.
int RequestLength(const FrameShape& s);

// Whether a whole frame is a request of this shape: its length, family and command (the address and
// data digits are not looked at).
bool FrameHasShape(const FrameShape& s, const QByteArray& frame);

// Some senders send the frame of another row and only wait differently (the models' configuration
// write waits longer than the shared routine's). The decoder names such a frame by the first row of
// that look: its named row.
int NamedShape(int index);
// How long after its request a reply still counts as one: the longest any sender of that frame waits.
int ReplyWindowMs(int index);

// The checksum of a whole frame (request or reply) in its family: a network frame carries it after
// "[" over everything behind it, a device frame in front of "]" over everything before it. A bare
// frame has none, so it is never valid.
bool FrameChecksumValid(FrameFamily family, const QByteArray& frame);

} // namespace tqdt
