// Any text a device sends back: the reply checks and the hex fields read from it must neither crash
// nor read outside the text.
#include "bus/FrameCodec.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// Where the results go, so the checks are not optimised away.
volatile long kept = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char*>(data), qsizetype(size));
    long sink = 0;
    sink += tqdt::CheckNetReply(reply);
    for (int pos = -1; pos <= int(size) + 2; ++pos)
        sink += tqdt::CheckDevReply(reply, pos);
    for (int at = 0; at < int(size); ++at) {
        sink += tqdt::HexVal1(tqdt::Mid(reply, at, 1));
        sink += tqdt::HexVal2(tqdt::Mid(reply, at, 2));
        sink += tqdt::HexVal4(tqdt::Mid(reply, at, 4));
    }
    sink += tqdt::NetChecksum(reply) + tqdt::DevChecksum(reply);
    kept = sink;
    return 0;
}
