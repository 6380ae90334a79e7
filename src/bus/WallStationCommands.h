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

} // namespace tqdt
