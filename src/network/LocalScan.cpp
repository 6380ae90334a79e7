#include "network/LocalScan.h"

#include "bus/FrameCodec.h"
#include "bus/modQVDT.h"
#include "host/Host.h"

#include <QLocale>

namespace tqdt::net {

namespace {

// Integer division rounding an exact half to the even neighbour (n >= 0, d > 0).
qint64 divRoundHalfEven(qint64 n, qint64 d)
{
    const qint64 q = n / d;
    const qint64 r = n % d;
    if (2 * r > d || (2 * r == d && (q & 1)))
        return q + 1;
    return q;
}

} // namespace

int DimmerMarkerTop(int level)
{
    // 4635 - level x 11.47, in hundredths so that a half is a half.
    const int l = std::clamp(level, 0, 255);
    return int(divRoundHalfEven(463500 - 1147 * l, 100));
}

qint64 FadeTenths(qint64 value, bool wliMode)
{
    // Two seconds a step, or in WLI mode value x 0.102 rounded to a tenth.
    return wliMode ? (value * 102 + 50) / 100 : value * 20;
}

QString FadeCaption(int value, bool wliMode)
{
    if (!wliMode)
        return QString::number(value * 2) + QStringLiteral(" Seconds");
    return QLocale().toString(double(FadeTenths(value, true)) / 10.0, 'f', 1) + QStringLiteral(" Seconds");
}

bool PhotocellInWindow(int p, int level)
{
    if (p < 0 || p >= kPhotocells)
        return false;
    const int target = kPhotocellTargets[size_t(p)];
    return level >= target - 3 && level <= target + 3;
}

void LocalScan::ClearFound()
{
    wallStations.clearFound();
    dimmers.clearFound();
    relayDevices.clearFound();
}

void LocalScan::ClearTotals(ScanDisplay& display)
{
    cycles.clear();
    display.cycleShown(CycleCaption(0));
    for (auto [family, tag] :
         {std::pair{&wallStations, Family::WallStation}, std::pair{&dimmers, Family::Dimmer},
          std::pair{&relayDevices, Family::RelayDevice}}) {
        family->clearTotals();
        ShowTotalsCleared(*family, tag, display);
    }
}

void LocalScan::FindNodes(ScanDisplay& display)
{
    Discover(wallStations, Family::WallStation, display,
             [this](qint16 a) { return WsStatus(m_host, a, 255); });
    Discover(dimmers, Family::Dimmer, display, [&](qint16 a) {
        return sendDimmer(a - 1, {255, 255, 255, 255}, 0, false, display);
    });
    Discover(relayDevices, Family::RelayDevice, display,
             [this](qint16 a) { return RelayDeviceCommand(m_host, a, 0); });
}

void LocalScan::start()
{
    m_scanning = true;
    wsEntry = EntryAtStart(wsEntry, wallStations);
    dimEntry = EntryAtStart(dimEntry, dimmers);
    rrEntry = EntryAtStart(rrEntry, relayDevices);
}

void LocalScan::Timer1_Timer(ScanDisplay& display)
{
    if (photocellTest)
        TestPC(display);
    else
        ScanNodes(display);
}

void LocalScan::ScanNodes(ScanDisplay& display)
{
    if (!cycles.advance())
        return;
    display.cycleShown(CycleCaption(cycles.count()));
    PollWallStations(m_host, wallStations, Family::WallStation, SlotOfEntry(wsEntry), pilots.mask(), display);
    pollDimmers(display);
    pollRelayDevices(display);
    // The touch screens hear these after every device was asked; they never answer.
    if (TXProfilePending) {
        TXProfilePending = false;
        TouchScreenProfile(m_host, qint16(std::clamp(profile, 0, 127)));
    }
    if (TXRTCPending) {
        TXRTCPending = false;
        TouchScreenClock(m_host);
    }
}

bool LocalScan::sendDimmer(int slot, const std::array<qint16, 4>& levels, qint32 fade, bool wli,
                           ScanDisplay& display)
{
    QByteArray frame;
    const bool ok = DimmerCommand(m_host, qint16(slot + 1), levels[0], levels[1], levels[2], levels[3], fade,
                                  wli, &frame);
    display.dimmerFrameShown(frame);
    return ok;
}

void LocalScan::pollDimmers(ScanDisplay& display)
{
    const int selected = SlotOfEntry(dimEntry);
    for (int s = 0; s < kDimmers; ++s) {
        if (!dimmers.found(s))
            continue;
        std::array<qint16, 4> levels{255, 255, 255, 255};
        if (s == selected)
            for (size_t i = 0; i < levels.size(); ++i)
                levels[i] = qint16(255 - std::clamp(dimmerSliders[i], 0, 255));
        const bool ok = sendDimmer(s, levels, varFade ? fadeValue : 0, wliMode, display);
        if (ok && s == selected) {
            // The reply carries the levels the dimmer now holds, two digits each from position 2.
            std::array<int, 4> tops{};
            for (size_t i = 0; i < tops.size(); ++i)
                tops[i] = DimmerMarkerTop(HexVal2(Mid(m_host.reply.ReplyText, int(2 * i + 2), 2)));
            display.dimmerShown(tops);
        }
        ShowPoll(dimmers, Family::Dimmer, s, ok, s == selected, display);
    }
}

void LocalScan::pollRelayDevices(ScanDisplay& display)
{
    const int selected = SlotOfEntry(rrEntry);
    for (int s = 0; s < kRelayDevices; ++s) {
        if (!relayDevices.found(s))
            continue;
        qint16 command = 0;
        if (s == selected) {
            // Consumed whether or not the device answers: a lost command is not sent again.
            command = m_rrCommand;
            m_rrCommand = 0;
        }
        const bool ok = RelayDeviceCommand(m_host, qint16(s + 1), command);
        if (ok && s == selected)
            display.relayStatusShown(m_host.reply.RelayDeviceStatus);
        ShowPoll(relayDevices, Family::RelayDevice, s, ok, s == selected, display);
    }
}

void LocalScan::TestPC(ScanDisplay& display)
{
    for (int p = 0; p < kPhotocells; ++p) {
        if (WsStatus(m_host, qint16(kFirstPhotocellAddress + p), 0)) {
            const int level = m_host.reply.WsStatusB;
            display.photocellShown(p, level, PhotocellInWindow(p, level));
        } else {
            display.photocellShown(p, -1, false);
        }
    }
}

void LocalScan::pressRelayButton(int i)
{
    if (i >= 0 && i < 8)
        m_rrCommand = qint16(1 << i);
}

void LocalScan::setWliMode(bool on)
{
    wliMode = on;
    fadeValue = 0;
}

} // namespace tqdt::net
