#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace tqdt {
class Host;
} // namespace tqdt

namespace tqdt::net {

// The colour of a device's error label after a poll or a Clear Totals.
enum class ErrorColour { Grey, Green, Yellow, Red };

// The device families the two scans poll.
enum class Family { Panel, NetWallStation, WallStation, Dimmer, RelayDevice };

// Found flags and failure counters of one device family; slot s stands for address s + 1.
// Every accessor tolerates a slot outside the family (it reads as "not found"), so nothing a
// window or a reply hands in can index past the arrays.
class NodeFamily {
public:
    explicit NodeFamily(int count) : m_found(size_t(count), 0), m_errors(size_t(count), 0) {}

    int size() const { return int(m_found.size()); }
    bool contains(int slot) const { return slot >= 0 && slot < size(); }
    bool found(int slot) const { return contains(slot) && m_found[size_t(slot)]; }
    void setFound(int slot, bool f)
    {
        if (contains(slot))
            m_found[size_t(slot)] = f;
    }
    // Switches a slot's found flag by hand; returns the new flag.
    bool toggleFound(int slot);
    qint32 errors(int slot) const { return contains(slot) ? m_errors[size_t(slot)] : 0; }

    void clearFound();
    void clearTotals();
    // Books one poll: a failure is counted. Returns the error label's new colour.
    ErrorColour record(int slot, bool ok);
    // The colour right after Clear Totals: green when found, grey when not.
    ErrorColour restingColour(int slot) const { return found(slot) ? ErrorColour::Green : ErrorColour::Grey; }

private:
    std::vector<char> m_found;
    std::vector<qint32> m_errors;
};

// ">99" above 99, else the count.
QString ErrorCaption(qint32 count);
// "Cycle: " and the count with thousands separators.
QString CycleCaption(qint32 count);

// Counts poll cycles and stops counting, and polling, at one hundred million.
class CycleCounter {
public:
    static constexpr qint32 kLimit = 100'000'000;
    // False once the limit is reached: that cycle must do nothing.
    bool advance()
    {
        if (m_count >= kLimit)
            return false;
        ++m_count;
        return true;
    }
    void clear() { m_count = 0; }
    qint32 count() const { return m_count; }
    void setCount(qint32 n) { m_count = n; }

private:
    qint32 m_count = 0;
};

// Which inputs page the selected wall station shows; it decides which pilot boxes make its mask.
enum class WsType { Inputs = 0, OnOff = 1, Photocell = 2 };

struct PilotChoice {
    WsType type = WsType::Inputs;
    std::array<bool, 8> onPilot{};    // "Pilot 1" ... "Pilot 8" of the 1-8 inputs page
    std::array<bool, 4> onOffPilot{}; // "Pilot 1" ... "Pilot 4" of the on/off page
    // The selected station's pilot mask: bit i for each checked pilot of the page in use.
    quint8 mask() const;
};

// The eight pilot boxes the pilot slider sets: pilot i + 1 is checked when bit i of 255 - value is 1.
std::array<bool, 8> PilotsFromSlider(int value);

// Device lists: entry 0 is "Select Node", entry k stands for slot k - 1.
inline int SlotOfEntry(int entry) { return entry - 1; }
inline int EntryOfSlot(int slot) { return slot + 1; }
// The entry a list keeps when a scan starts: a device that is not found falls back to "Select Node".
inline int EntryAtStart(int entry, const NodeFamily& family)
{
    return family.found(SlotOfEntry(entry)) ? entry : 0;
}

struct WsReading {
    qint16 inputs = 0;  // bit i: input i + 1 active
    qint16 level02 = 0; // the 2-second photocell level
    qint16 level30 = 0; // the 30-second photocell level
};

// How a scan shows what it finds. Every method has an empty default, so a window listens to
// everything and a test only to what it checks.
class ScanDisplay {
public:
    virtual ~ScanDisplay() = default;
    // Discovery is about to probe this slot (shown at once, so the probe walks over the grid).
    virtual void probing(Family, int /*slot*/) {}
    virtual void foundShown(Family, int /*slot*/, bool /*found*/) {}
    virtual void errorShown(Family, int /*slot*/, ErrorColour, const QString& /*caption*/) {}
    virtual void cycleShown(const QString& /*caption*/) {}
    // The selected device of a family answered (true) or not.
    virtual void connectionShown(Family, bool /*connected*/) {}
    virtual void relayImageShown(const std::array<qint16, 8>& /*image*/) {}
    virtual void wallStationShown(const WsReading&) {}
    // Tops of the four level markers, in twips.
    virtual void dimmerShown(const std::array<int, 4>& /*markerTops*/) {}
    virtual void dimmerFrameShown(const QByteArray& /*frame*/) {}
    virtual void relayStatusShown(qint16 /*status*/) {}
    // A photocell of the tester: level < 0 when it did not answer.
    virtual void photocellShown(int /*p*/, int /*level*/, bool /*inWindow*/) {}
};

// A display that shows nothing, for callers that only want the bookkeeping.
inline ScanDisplay& NoDisplay()
{
    static ScanDisplay none;
    return none;
}

// Paints every error label as Clear Totals leaves it (after the family's counters were cleared).
void ShowTotalsCleared(const NodeFamily& family, Family tag, ScanDisplay& display);

// Discovery of one family: each slot in ascending order is shown probing, asked with probe(address)
// and marked found or not found.
void Discover(NodeFamily& family, Family tag, ScanDisplay& display, const std::function<bool(qint16)>& probe);

// Books and shows one poll's outcome. For the selected device the connection label follows too.
void ShowPoll(NodeFamily& family, Family tag, int slot, bool ok, bool selected, ScanDisplay& display);

// The wall-station half of a poll cycle, the same for the network and the local scan: every found
// station is asked for its status, the selected one with its pilot mask, every other one with all
// pilots on.
void PollWallStations(Host& host, NodeFamily& family, Family tag, int selectedSlot, quint8 selectedMask,
                      ScanDisplay& display);

} // namespace tqdt::net
