#include "network/ScanModel.h"

#include "bus/modQVDT.h"
#include "host/Host.h"

#include <QLocale>

#include <algorithm>
#include <limits>

namespace tqdt::net {

bool NodeFamily::toggleFound(int slot)
{
    setFound(slot, !found(slot));
    return found(slot);
}

void NodeFamily::clearFound() { std::fill(m_found.begin(), m_found.end(), 0); }

void NodeFamily::clearTotals() { std::fill(m_errors.begin(), m_errors.end(), 0); }

ErrorColour NodeFamily::record(int slot, bool ok)
{
    if (!contains(slot))
        return ErrorColour::Grey;
    qint32& n = m_errors[size_t(slot)];
    if (!ok) {
        // Counters never wrap: at the top they stay there.
        if (n < std::numeric_limits<qint32>::max())
            ++n;
        return ErrorColour::Red;
    }
    return n > 0 ? ErrorColour::Yellow : ErrorColour::Green;
}

QString ErrorCaption(qint32 count) { return count > 99 ? QStringLiteral(">99") : QString::number(count); }

QString CycleCaption(qint32 count) { return QStringLiteral("Cycle: ") + QLocale().toString(count); }

quint8 PilotChoice::mask() const
{
    quint8 m = 0;
    if (type == WsType::Inputs) {
        for (size_t i = 0; i < onPilot.size(); ++i)
            if (onPilot[i])
                m |= quint8(1u << i);
    } else {
        for (size_t i = 0; i < onOffPilot.size(); ++i)
            if (onOffPilot[i])
                m |= quint8(1u << i);
    }
    return m;
}

std::array<bool, 8> PilotsFromSlider(int value)
{
    const int v = 255 - std::clamp(value, 0, 255);
    std::array<bool, 8> p{};
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = (v >> i) & 1;
    return p;
}

void ShowTotalsCleared(const NodeFamily& family, Family tag, ScanDisplay& display)
{
    for (int s = 0; s < family.size(); ++s)
        display.errorShown(tag, s, family.restingColour(s), ErrorCaption(family.errors(s)));
}

void Discover(NodeFamily& family, Family tag, ScanDisplay& display, const std::function<bool(qint16)>& probe)
{
    for (int s = 0; s < family.size(); ++s) {
        display.probing(tag, s);
        const bool ok = probe(qint16(s + 1));
        family.setFound(s, ok);
        display.foundShown(tag, s, ok);
    }
}

void ShowPoll(NodeFamily& family, Family tag, int slot, bool ok, bool selected, ScanDisplay& display)
{
    const ErrorColour colour = family.record(slot, ok);
    if (selected)
        display.connectionShown(tag, ok);
    display.errorShown(tag, slot, colour, ErrorCaption(family.errors(slot)));
}

void PollWallStations(Host& host, NodeFamily& family, Family tag, int selectedSlot, quint8 selectedMask,
                      ScanDisplay& display)
{
    for (int s = 0; s < family.size(); ++s) {
        if (!family.found(s))
            continue;
        const bool selected = s == selectedSlot;
        const bool ok = WsStatus(host, qint16(s + 1), selected ? selectedMask : 255);
        if (ok && selected) {
            const ReplyStore& r = host.reply;
            display.wallStationShown({r.WsStatusA, r.WsStatusB, r.WsStatusC});
        }
        ShowPoll(family, tag, s, ok, selected, display);
    }
}

} // namespace tqdt::net
