#pragma once

#include "sim/Site.h"

#include <QByteArray>

#include <memory>

namespace tqdt::sim {

// A Bluetooth serial module as both ends of the link carry it: data mode passes what its UART
// hears over the air to the linked peer and what comes over the air out of its UART; "$$$" written
// in one piece switches to the text command mode, where each command ends with a carriage return
// (or with a pause of 100 ms) and is answered in text followed by the "CMD> " prompt. It talks only
// at its own baud rate, 8 data bits, no parity; a factory reset forgets its name and baud rate and
// restarts it at 115,200.
class BtRadioModule {
public:
    BtRadioModule(QByteArray address, QByteArray factoryName, int baud);

    // Links two modules' radios; a connection needs both ends linked.
    static void pair(BtRadioModule& a, BtRadioModule& b);

    // Faults. From the command that starts with this text on, nothing more is answered.
    void goSilentAt(const QByteArray& command) { m_silentAt = command; }
    // The dump reports this name instead of the one set.
    void readBackAs(const QByteArray& name) { m_readBack = name; }
    // A connect command is taken but the link never comes up.
    void setNeverConnects(bool never) { m_neverConnects = never; }

    int baud() const { return m_baud; }
    QByteArray name() const { return m_name; }
    QByteArray address() const { return m_address; }
    bool commandMode() const { return m_commandMode; }
    bool linkedAt(qint64 us) const { return m_linkUpUs >= 0 && us >= m_linkUpUs; }

    // Text written to its UART that finished arriving at atUs; unasked output goes to *uartOut.
    std::optional<Reply> uart(const QByteArray& data, const LineSettings& line, qint64 atUs);
    void setUartOut(Outbox* out) { m_out = out; }

    // How long the link takes to come up after a connect command.
    static constexpr qint64 kConnectUs = 3'000'000;
    // What the air adds to data passed over the link.
    static constexpr qint64 kAirUs = 15'000;

private:
    QByteArray command(const QByteArray& cmd, qint64 atUs);
    void restart(bool factory);
    void dropLink();

    QByteArray m_address, m_factoryName, m_name, m_readBack, m_silentAt;
    int m_baud;
    int m_nextBaud; // taken at the next restart
    bool m_commandMode = false;
    bool m_silent = false;
    bool m_neverConnects = false;
    qint64 m_linkUpUs = -1;
    BtRadioModule* m_peer = nullptr;
    Outbox* m_out = nullptr;
};

// The G3 station's module, wired to the main port's Brown channel on the bench.
class BtStationModule final : public SimDevice {
public:
    explicit BtStationModule(Site& site, QByteArray address = "0012F3A4B5C6");
    std::optional<Reply> handle(Channel channel, const QByteArray& frame, const LineSettings& line) override;
    BtRadioModule radio;

private:
    Site& m_site;
};

// The passthrough adapter a technician plugs into a second serial port to test the link. A fresh one
// runs at 115,200 baud.
class BtPassthrough final : public PortDevice {
public:
    explicit BtPassthrough(QByteArray address = "0012F3D7E8F9");
    std::optional<Reply> handle(const QByteArray& data, const LineSettings& line, qint64 atUs) override;
    BtRadioModule radio;
};

// The station's module on the main port and an adapter on the port pluggedPort() names, their
// radios linked: the bench of the Bluetooth tools.
struct BtBench {
    std::shared_ptr<BtStationModule> module;
    std::shared_ptr<BtPassthrough> adapter;
};
BtBench PlugInBtBench(Site& site, std::function<int()> adapterPort);

} // namespace tqdt::sim
