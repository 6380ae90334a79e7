#pragma once

#include <QtGlobal>

namespace tqdt {

class Host;

// The bus routines the diagnostic windows share. Each runs one exchange on the host's port,
// blocks until the reply or its time limit and returns true on a reply of the right length (and
// checksum, where the family has one). Decoded values land in host.reply; on failure every field
// keeps its previous value.

// Relay read (write false) into RelayImage, or relay write: state 1 switches on, 2 off.
bool PanelRelays(Host& host, qint16 address, bool write, qint16 relay, qint16 state);
bool PanelPresent(Host& host, qint16 address);
bool NodeProbe(Host& host, qint16 address);
bool WsStatus(Host& host, qint16 address, qint16 pilotMask);
bool WsSensorLevels(Host& host, qint16 address, qint16 selector);
bool WsWriteConfig(Host& host, qint16 address, qint16 value);
bool WsReadConfig(Host& host, qint16 address);
// frameShown, when given, receives the frame text before it is sent (the local scan shows it).
bool DimmerCommand(Host& host, qint16 address, qint16 level1, qint16 level2, qint16 level3, qint16 level4,
                   qint32 fade, bool wliMode, QByteArray* frameShown = nullptr);
bool RelayDeviceCommand(Host& host, qint16 device, qint16 command);
bool TouchScreenProfile(Host& host, qint16 profile);
bool TouchScreenClock(Host& host);

// Whole seconds from 1 January 2020 00:00:00 to the host's local date and time.
qint32 SecondsSince2020(const Host& host);

} // namespace tqdt
