#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace tqdt {
class Host;
class Paths;
class SerialPort;
} // namespace tqdt

namespace tqdt::ws {

// The maker prefix every module name starts with.
inline constexpr char kNamePrefix[] = "Tarvik";

// "Tarvik-" and the seconds since 1 January 2020 in nine digits: every module configured gets a
// name of its own from the clock.
QString AutomaticName(const Host& host);

// The name field's rule: a text that no longer starts with the prefix becomes the prefix again.
QString KeepPrefix(const QString& text);

// Whether the module can keep the name: it goes out inside a command line of its own and comes back
// in the settings dump, so only printable ASCII survives ("Tarvik-Ω1" would come back "Tarvik-?1"
// after the module was already reset).
bool ModuleCanHoldName(const QString& name);

// True when the tester port is the interface port: the same name, or two names ("COMn" as the
// section "Ports" maps it, or a device) that lead to one device. A tester on the interface port
// would factory-reset the station's own module over the bus.
bool TesterIsInterfacePort(const Paths& paths, const QString& port, const QString& tester);

// What the module's settings dump says: the 12-character address after "BTA=" (empty without
// one), and the name between "Name=" and the line end before "Connected=" (empty unless both are
// there, in that order).
struct Dump {
    QByteArray address;
    QByteArray name;
    bool named = false; // both "Name=" and "Connected=" were found
};
Dump ParseDump(const QByteArray& reply);

enum class LinkOutcome { Pass, PcToG3Fail, G3ToPcFail, PortFailed };

// Where a sequence shows its progress; each callback may be left empty.
struct Display {
    std::function<void(const QString&)> step;          // the step being run
    std::function<void(const QByteArray&)> response;   // the text just read from the module
    std::function<void(const QByteArray&)> dataPacket; // the link test's received packet
    std::function<void(const Dump&)> dump;             // the dump was read
    std::function<void(LinkOutcome)> verdict;          // the link test's result, before it hangs up
};

struct ConfigResult {
    bool pass = false;
    // The step whose expected reply did not come ("Set ID", "UART", "Get Config", "Done"); empty
    // on a pass, and when every step answered but the name read back differs.
    QString failedAt;
    bool portFailed = false; // a port could not be opened again (the box has been shown)
    Dump dump;               // valid once "Get Config" has read the dump
    bool dumpRead = false;
};

struct LinkResult {
    LinkOutcome outcome = LinkOutcome::PortFailed;
    QByteArray toG3;   // what the station's side received
    QByteArray fromG3; // what the tester received
};
// "Pass", "PC to G3 Fail", "G3 to PC Fail", or the port failure.
QString LinkText(LinkOutcome o);

// The Bluetooth tools of the G3 window: the station's module behind the main port's Brown channel,
// the passthrough adapter on a port of its own. Every step, wait and expected reply is the one the
// window shows; the windows and the command line only show what this reports.
class BluetoothTools {
public:
    BluetoothTools(Host& host, SerialPort& main, SerialPort& tester);

    // Configures the module: factory reset, 38,400 baud, the name, its UART mode, then reads the
    // address and the name back. Passes when the name read back equals name.
    ConfigResult ConfigBT(const QString& name, const Display& d = {});
    // Reads the address and name from a module already configured; false when the port did not open.
    bool ReadBTA(Dump& out, const Display& d = {});
    // Prepares a passthrough adapter on the tester port (number testerPort) as a tester.
    bool ConfigPT(int testerPort, const Display& d = {});
    // The link test from the tester port to the module at address and back. The two-second waits
    // for the data let pending events run (Host::yieldToUser). The address must not be empty.
    LinkResult TestLink(int testerPort, const QByteArray& address, const Display& d = {});

    // Waits until SecondsSince2020 has advanced by seconds, letting events run meanwhile when
    // yielding; so the wait lasts between seconds - 1 and seconds of clock time.
    void WaitSeconds(int seconds, bool yielding);

private:
    QByteArray readAll(SerialPort& port);
    QByteArray readAndShow(SerialPort& port, const Display& d);
    bool reopen(SerialPort& port, const QString& settings);
    void emptyInput(SerialPort& port);
    // The tester's port is not the bus: no channel to choose, its adapter wants RTS and DTR up.
    void raiseTesterLines();

    Host& m_host;
    SerialPort& m_main;
    SerialPort& m_tester;
};

} // namespace tqdt::ws
