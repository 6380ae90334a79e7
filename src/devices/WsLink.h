#pragma once

#include "bus/FrameShapes.h"

#include <QByteArray>

#include <optional>

namespace tqdt {
class Host;
}

namespace tqdt::ws {

// The wall-station models' own senders reach the port only through these calls, all on the Blue
// channel: the models never touch the serial port themselves.

// Empties the receive buffer, writes the frame and waits for the reply length of its row of
// BusFrameShapes() within the row's limit; true when the reply came in time (it is then in the reply
// store's ReplyText).
bool Request(Host& host, shape::Index row, const QByteArray& frame);
// Empties the receive buffer and writes the frame; nothing is read.
void Send(Host& host, const QByteArray& frame);

// "[2" + address + "8": type (or status) byte and revision byte, checksum checked. The byte is also
// left in WsStatusA.
struct TypeReply {
    int type = 0;
    int revision = 0;
};
std::optional<TypeReply> TypeQuery(Host& host, int address);

} // namespace tqdt::ws
