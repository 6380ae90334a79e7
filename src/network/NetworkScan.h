#pragma once

#include "network/ScanModel.h"

#include <algorithm>
#include <array>

namespace tqdt {
class Host;
} // namespace tqdt

namespace tqdt::net {

// The poll cycle of the network scan: every found panel on the Brown channel and every found
// network wall station on the Blue channel, one selected device of each with its details, and the
// relay clicks of the selected panel.
class NetworkScan {
public:
    // Slots 0-253: addresses 01-FE. Addresses 00 and FF are not nodes and are never asked.
    static constexpr int kSlots = 254;
    static constexpr int kRelays = 64;

    explicit NetworkScan(Host& host) : m_host(host) {}

    NodeFamily panels{kSlots};
    NodeFamily wallStations{kSlots};
    CycleCounter cycles;
    // Pending relay writes of the selected panel: 0 none, 1 switch on, 2 switch off.
    std::array<qint16, kRelays> RelayRequest{};
    PilotChoice pilots;

    int panelEntry() const { return m_panelEntry; }
    int wsEntry() const { return m_wsEntry; }
    // A new panel selection drops every pending relay write: they were meant for the old panel.
    void selectPanel(int entry);
    void selectWallStation(int entry) { m_wsEntry = std::clamp(entry, 0, kSlots); }

    void ClearFound();
    void ClearTotals(ScanDisplay& display);
    // The discovery pass over all panels, then all network wall stations.
    void FindNodes(ScanDisplay& display);
    // Starting keeps only selections of found devices.
    void start();
    void stop() { m_scanning = false; }
    bool isScanning() const { return m_scanning; }
    // One poll cycle.
    void ScanNodes(ScanDisplay& display);

    // A click on relay r's label: switch it off when it is shown on, else on.
    void clickRelay(int r, bool shownOn);
    // The same by what the selected panel last reported: a relay it reported on is switched off.
    void clickRelay(int r) { clickRelay(r, relayOn(r)); }
    // Relay r of the selected panel as its last relay read showed it (off before the first read).
    bool relayOn(int r) const;
    // The lowest relay with a pending write, or -1.
    int pendingRelay() const;

private:
    void pollPanels(ScanDisplay& display);

    Host& m_host;
    int m_panelEntry = 0;
    int m_wsEntry = 0;
    bool m_scanning = false;
    std::array<qint16, 8> m_relayImage{};
};

} // namespace tqdt::net
