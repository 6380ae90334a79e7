#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tqdt {

class Host;

// The wall stations of the Blue channel (class '2'), the same contract as the panel routines:
// true on a well-formed reply, decoded values in host.reply, nothing changed on failure.

bool WsStatus(Host& host, qint16 address, qint16 pilotMask);
bool WsSensorLevels(Host& host, qint16 address, qint16 selector);
bool WsWriteConfig(Host& host, qint16 address, qint16 value);
bool WsReadConfig(Host& host, qint16 address);

// Every wall station takes a configuration or model byte the same way: the enable frame with the
// address's complement, then the write frame with the value. The enable's reply is waited for but
// not kept, so when the write then times out ReplyText still holds what it held before. The rows
// say how long each frame is waited for: the configuration's, or the G3, Kestrix and wall-sensor
// models' half second; those G3 and Kestrix writes are not answered and get a fixed second instead.
enum class WsWrite { Config, Model, ModelThenSecond };
enum class WsWriteResult { NoEnable, Unanswered, Written };
WsWriteResult WsEnableAndWrite(Host& host, qint16 address, qint16 value, WsWrite how);

} // namespace tqdt
