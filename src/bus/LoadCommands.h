#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tqdt {

class Host;

// The dimmers (class 'A') and relay devices (class '9') of the Blue channel.

// frameShown, when given, receives the frame text before it is sent (the local scan shows it).
bool DimmerCommand(Host& host, qint16 address, qint16 level1, qint16 level2, qint16 level3, qint16 level4,
                   qint32 fade, bool wliMode, QByteArray* frameShown = nullptr);
bool RelayDeviceCommand(Host& host, qint16 device, qint16 command);

} // namespace tqdt
