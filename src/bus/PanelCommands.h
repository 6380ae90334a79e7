#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tqdt {

class Host;

// The panels and nodes of the Brown channel. Each routine runs one exchange on the host's port and
// returns true on a reply of the right length (and checksum, where the family has one). Decoded
// values land in host.reply; on failure every field keeps its previous value.

// Relay read (write false) into RelayImage, or relay write: state 1 switches on, 2 off.
bool PanelRelays(Host& host, qint16 address, bool write, qint16 relay, qint16 state);
bool PanelPresent(Host& host, qint16 address);
bool NodeProbe(Host& host, qint16 address);

} // namespace tqdt
