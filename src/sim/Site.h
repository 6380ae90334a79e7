#pragma once

#include "bus/FrameCodec.h"
#include "ports/SerialPort.h"

#include <QByteArray>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tqdt::sim {

using tqdt::Channel;

// What a device sends back for one frame: the text, and how long the device takes before its first
// character goes out.
struct Reply {
    QByteArray text;
    qint64 turnaroundUs = 500;
};

// What a device sends on its own rather than as the reply to a request (a radio passing on what
// came over the air): each character becomes readable at its time, on a port set to the baud rate
// it was sent at.
class Outbox {
public:
    void put(qint64 atUs, const QByteArray& text, const LineSettings& line);
    // The characters due in (fromUs, toUs] at that baud rate.
    QByteArray due(qint64 fromUs, qint64 toUs, int baud) const;
    // When the first character after afterUs falls due; -1 when none is waiting.
    qint64 next(qint64 afterUs) const;

private:
    struct Char {
        qint64 dueUs;
        char c;
        int baud;
    };
    std::deque<Char> m_chars;
};

// A device plugged straight into a serial port of the PC instead of the interface module (the
// Bluetooth tester's passthrough adapter). It hears every write on that port whatever DTR says, as
// raw text, and answers in its outbox or with a reply.
class PortDevice {
public:
    virtual ~PortDevice() = default;
    // Text that finished arriving at atUs on a port at line.
    virtual std::optional<Reply> handle(const QByteArray& data, const LineSettings& line, qint64 atUs) = 0;
    Outbox outbox;
};

// A device the site consults before its built-in families: bench devices (modules, gateways,
// wall stations of other families) plug in here.
class SimDevice {
public:
    virtual ~SimDevice() = default;
    // A reply, an empty optional when the frame is not for this device (or it stays silent).
    virtual std::optional<Reply> handle(Channel channel, const QByteArray& frame,
                                        const LineSettings& line) = 0;
};

struct Panel {
    std::array<bool, 64> relays{};
    quint8 relayImageByte(int k) const;
};

struct WallStation {
    quint8 level = 0x40;    // the first status byte
    quint8 inputs = 0x00;   // the second status byte: the input image
    quint8 pilots = 0x00;   // the last pilot mask it was sent
    quint8 config = 0x00;   // configuration byte written with enable + write
    quint8 typeCode = 0x01; // the second configuration byte
    bool configEnabled = false;
    std::array<quint16, 4> sensorWords{}; // bit 15: negative
};

struct Dimmer {
    std::array<quint8, 4> levels{};
    qint32 fade = 0;
    bool wliMode = false;
};

struct RelayDevice {
    quint8 status = 0;    // bit k: relay k on
    quint8 stuckMask = 0; // bit k: relay k does not move
};

// A photocell controller: it answers the wall-station status query with its 2-second and
// 30-second light levels, which a test sets.
struct Photocell {
    quint8 level02 = 0;
    quint8 level30 = 0;
};

// Another master talking on a channel: pattern repeated at bytesPerSecond from startUs, count bytes
// in all (-1: without end).
struct ForeignTraffic {
    QByteArray pattern;
    qint64 bytesPerSecond = 0;
    qint64 startUs = 0;
    qint64 count = -1;
};

// One simulated installation: the panels on the Brown channel, the devices on the Blue channel, and
// the faults a technician meets in the field.
class Site {
public:
    Site();
    ~Site();

    // A few of every device, for learning the tool without hardware.
    static std::unique_ptr<Site> builtIn();

    // Line settings every built-in device talks at.
    static constexpr int kBusBaud = 38400;

    std::map<int, Panel> panels;             // address 1-254 on the Brown channel
    std::map<int, WallStation> wallStations; // address 1-254 on the Blue channel
    std::map<int, Dimmer> dimmers;           // address 1-16
    std::map<int, RelayDevice> relayDevices; // address 1-16
    std::map<int, Photocell> photocells;     // the tester's controllers at 55-58 (hex)
    std::vector<QByteArray> touchScreenBroadcasts;

    void addDevice(std::shared_ptr<SimDevice> device) { m_devices.push_back(std::move(device)); }
    // The one device on the bench (at its own address), replacing any other.
    void setBench(std::shared_ptr<SimDevice> device) { m_bench = std::move(device); }
    SimDevice* bench() const { return m_bench.get(); }

    // Faults. Rates are fractions 0..1, drawn from a fixed pseudo-random sequence.
    void setReplyLoss(double rate) { m_lossRate = rate; }
    void setReplyCorruption(double rate) { m_corruptRate = rate; }
    // Consulted first: a reply (possibly empty text, i.e. silence) overrides the devices.
    std::function<std::optional<QByteArray>(Channel, const QByteArray& frame)> script;
    // An unplugged adapter: open ports close, and nothing opens.
    void setAdapterPresent(bool present) { m_adapterPresent = present; }
    bool adapterPresent() const { return m_adapterPresent; }
    // A device on a port of its own: a port that opens under the number pluggedPort() names (0: none)
    // reaches it instead of the installation. The number is asked at each open, so it can follow a
    // setting the technician changes.
    std::shared_ptr<PortDevice> plugged;
    std::function<int()> pluggedPort;
    std::shared_ptr<PortDevice> deviceOnPort(int commPort) const;
    // What the devices on a channel send unasked.
    Outbox& outbox(Channel channel) { return m_outbox[size_t(idx(channel))]; }
    const Outbox& outbox(Channel channel) const { return m_outbox[size_t(idx(channel))]; }
    void setForeignTraffic(Channel channel, ForeignTraffic traffic)
    {
        m_foreign[idx(channel)] = std::move(traffic);
    }
    void clearForeignTraffic(Channel channel) { m_foreign[idx(channel)] = {}; }

    // Every frame written to the site, in order, with the channel it went out on (while
    // recordWritten is set; the built-in site of a long interactive session keeps no log).
    bool recordWritten = true;
    struct Written {
        Channel channel;
        QByteArray frame;
        int baud;
        // The wait that followed the frame on its port, before anything else was written: how many
        // characters, within how many milliseconds; -1 when the sender awaited nothing.
        int awaited = -1;
        qint64 limitMs = -1;
    };
    std::vector<Written> written;
    // Notes the wait of a port that has just written a frame (the first wait after it counts).
    void noteWait(int count, qint64 limitMs)
    {
        if (!written.empty() && written.back().awaited < 0) {
            written.back().awaited = count;
            written.back().limitMs = limitMs;
        }
    }

    // The port side. atUs is when the text finished arriving; devices that act on time read it
    // back with receivedUs() while they handle it.
    std::optional<Reply> receive(Channel channel, const QByteArray& frame, const LineSettings& line,
                                 qint64 atUs = 0);
    qint64 receivedUs() const { return m_receivedUs; }
    QByteArray foreignBytes(Channel channel, qint64 fromUs, qint64 toUs) const; // due in (from, to]
    qint64 nextForeignUs(Channel channel, qint64 afterUs) const;                // -1 when none

private:
    static int idx(Channel c) { return c == Channel::Blue ? 0 : 1; }
    std::optional<Reply> network(const QByteArray& frame);
    std::optional<Reply> device(const QByteArray& frame);
    double nextRandom();

    std::vector<std::shared_ptr<SimDevice>> m_devices;
    std::shared_ptr<SimDevice> m_bench;
    std::array<ForeignTraffic, 2> m_foreign;
    std::array<Outbox, 2> m_outbox;
    qint64 m_receivedUs = 0;
    double m_lossRate = 0;
    double m_corruptRate = 0;
    quint64 m_rng = 0x9E3779B97F4A7C15ull;
    bool m_adapterPresent = true;
};

// Reply helpers shared by the device families.
QByteArray netReply(const QByteArray& data); // "[" + NetChecksum + data + "]"
QByteArray devReply(const QByteArray& data); // "[" + data + DevChecksum + "]"
// The frame's device-family checksum is right. Only the conditional input module's frames may carry
// "--" in its place (dashesAllowed); every other device refuses them, as the real ones do.
bool devFrameValid(const QByteArray& frame, bool dashesAllowed = false);

// Family handlers, one file each.
std::optional<Reply> panelHandle(Panel& panel, int address, const QByteArray& command);
std::optional<Reply> wallStationHandle(WallStation& ws, int address, char command, const QByteArray& data);
std::optional<Reply> dimmerHandle(Dimmer& d, char command, const QByteArray& data);
std::optional<Reply> relayDeviceHandle(RelayDevice& r, char command, const QByteArray& data);
std::optional<Reply> photocellHandle(Photocell& p, char command, const QByteArray& data);

// Another master polling the devices of a channel: its requests, each followed by the device's reply.
QByteArray otherMasterPattern(const Site& site, Channel channel);

} // namespace tqdt::sim
