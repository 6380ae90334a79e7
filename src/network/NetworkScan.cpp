#include "network/NetworkScan.h"

#include "bus/modQVDT.h"
#include "host/Host.h"

namespace tqdt::net {

void NetworkScan::selectPanel(int entry)
{
    m_panelEntry = std::clamp(entry, 0, kSlots);
    RelayRequest.fill(0);
}

void NetworkScan::ClearFound()
{
    panels.clearFound();
    wallStations.clearFound();
}

void NetworkScan::ClearTotals(ScanDisplay& display)
{
    cycles.clear();
    display.cycleShown(CycleCaption(0));
    panels.clearTotals();
    wallStations.clearTotals();
    ShowTotalsCleared(panels, Family::Panel, display);
    ShowTotalsCleared(wallStations, Family::NetWallStation, display);
}

void NetworkScan::FindNodes(ScanDisplay& display)
{
    RelayRequest.fill(0);
    Discover(panels, Family::Panel, display, [this](qint16 a) { return PanelPresent(m_host, a); });
    Discover(wallStations, Family::NetWallStation, display,
             [this](qint16 a) { return WsStatus(m_host, a, 255); });
}

void NetworkScan::start()
{
    m_scanning = true;
    if (EntryAtStart(m_panelEntry, panels) != m_panelEntry)
        selectPanel(0);
    m_wsEntry = EntryAtStart(m_wsEntry, wallStations);
}

void NetworkScan::clickRelay(int r, bool shownOn)
{
    if (r >= 0 && r < kRelays)
        RelayRequest[size_t(r)] = shownOn ? 2 : 1;
}

bool NetworkScan::relayOn(int r) const
{
    return r >= 0 && r < kRelays && ((m_relayImage[size_t(r / 8)] >> (r % 8)) & 1);
}

int NetworkScan::pendingRelay() const
{
    for (int r = 0; r < kRelays; ++r)
        if (RelayRequest[size_t(r)] > 0)
            return r;
    return -1;
}

void NetworkScan::ScanNodes(ScanDisplay& display)
{
    if (!cycles.advance())
        return;
    display.cycleShown(CycleCaption(cycles.count()));
    pollPanels(display);
    PollWallStations(m_host, wallStations, Family::NetWallStation, SlotOfEntry(m_wsEntry), pilots.mask(),
                     display);
}

void NetworkScan::pollPanels(ScanDisplay& display)
{
    const int selected = SlotOfEntry(m_panelEntry);
    for (int s = 0; s < kSlots; ++s) {
        if (!panels.found(s))
            continue;
        const qint16 address = qint16(s + 1);
        if (s == selected) {
            if (const int r = pendingRelay(); r >= 0) {
                // A relay write takes this panel's turn: no poll, no count, no repaint. The
                // request stays until a write for it goes through.
                if (PanelRelays(m_host, address, true, qint16(r), RelayRequest[size_t(r)]))
                    RelayRequest[size_t(r)] = 0;
                continue;
            }
            const bool ok = PanelRelays(m_host, address, false, 0, 0);
            if (ok) {
                m_relayImage = m_host.reply.RelayImage;
                display.relayImageShown(m_relayImage);
            }
            ShowPoll(panels, Family::Panel, s, ok, true, display);
        } else {
            ShowPoll(panels, Family::Panel, s, PanelPresent(m_host, address), false, display);
        }
    }
}

} // namespace tqdt::net
