#pragma once

#include "network/ScanModel.h"

#include <algorithm>
#include <array>

namespace tqdt {
class Host;
} // namespace tqdt

namespace tqdt::net {

// Where a dimmer's level marker sits: its top edge, in twips, for a level 0-255 (255 at the top).
int DimmerMarkerTop(int level);
// The variable fade rate as shown beside its slider: two seconds a step, or in WLI mode a tenth of
// a second per 0.98 step ("600.0 Seconds" at the top).
QString FadeCaption(int value, bool wliMode);
// The fade time of a fade field's value, in tenths of a second.
qint64 FadeTenths(qint64 value, bool wliMode);
// The tester's four photocell controllers sit at addresses 55-58 (hex); each should read its
// target within 3.
constexpr int kPhotocells = 4;
constexpr int kFirstPhotocellAddress = 0x55;
constexpr std::array<int, kPhotocells> kPhotocellTargets = {234, 61, 144, 105};
bool PhotocellInWindow(int p, int level);

// Relay device command bytes: relay k (0-3) is switched off by bit 2k and on by bit 2k + 1.
constexpr qint16 kAllRelaysOff = 0x55;
constexpr qint16 kAllRelaysOn = 0xAA;

// The poll cycle of the local scan: the wall stations (1-64), dimmers (1-16) and relay devices
// (1-16) on one panel's local bus, with one selected device of each kind, the touch-screen
// commands and the photocell tester.
class LocalScan {
public:
    static constexpr int kWallStations = 64;
    static constexpr int kDimmers = 16;
    static constexpr int kRelayDevices = 16;
    static constexpr int kWliFadeMax = 5882;
    static constexpr int kFadeMax = 255;

    explicit LocalScan(Host& host) : m_host(host) {}

    NodeFamily wallStations{kWallStations};
    NodeFamily dimmers{kDimmers};
    NodeFamily relayDevices{kRelayDevices};
    CycleCounter cycles;
    bool TXProfilePending = false;
    bool TXRTCPending = false;
    bool AdvancedMode = false;

    PilotChoice pilots;
    // The four channel sliders of the selected dimmer; a slider at 0 asks for level 255.
    std::array<int, 4> dimmerSliders{};
    bool varFade = false;
    int fadeValue = 0;
    bool wliMode = false;
    bool photocellTest = false;
    int profile = 0; // 0-127

    // Selections are list entries: 0 "Select Node", k for slot k - 1.
    int wsEntry = 0;
    int dimEntry = 0;
    int rrEntry = 0;

    void ClearFound();
    void ClearTotals(ScanDisplay& display);
    void FindNodes(ScanDisplay& display);
    void start();
    void stop() { m_scanning = false; }
    bool isScanning() const { return m_scanning; }
    // Each tick runs a poll cycle, or a photocell pass while the tester is on.
    void Timer1_Timer(ScanDisplay& display);
    void ScanNodes(ScanDisplay& display);
    void TestPC(ScanDisplay& display);

    // Relay buttons: button i switches relay i / 2 + 1 off (even i) or on (odd i). A later press
    // before the next cycle replaces an earlier one.
    void pressRelayButton(int i);
    // "All On" / "All Off": every relay of the selected device in the next cycle.
    void switchAllRelays(bool on) { m_rrCommand = on ? kAllRelaysOn : kAllRelaysOff; }
    // The command the selected relay device gets in the next cycle; 0 when none waits.
    qint16 pendingRelayCommand() const { return m_rrCommand; }
    // Switching WLI mode starts the fade slider again from 0 on the new scale.
    void setWliMode(bool on);
    int fadeMax() const { return wliMode ? kWliFadeMax : kFadeMax; }
    void setFade(int value) { fadeValue = std::clamp(value, 0, fadeMax()); }

private:
    void pollDimmers(ScanDisplay& display);
    void pollRelayDevices(ScanDisplay& display);
    bool sendDimmer(int slot, const std::array<qint16, 4>& levels, qint32 fade, bool wli,
                    ScanDisplay& display);

    Host& m_host;
    bool m_scanning = false;
    qint16 m_rrCommand = 0;
};

} // namespace tqdt::net
