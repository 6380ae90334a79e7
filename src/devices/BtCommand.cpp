#include "devices/BtCommand.h"
#include "bus/BusLink.h"

#include "cli/CliHost.h"
#include "devices/Bluetooth.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "host/Paths.h"
#include "ports/DevicePort.h"

#include <QFile>
#include <QRegularExpression>

#include <system_error>

namespace tqdt::ws {

namespace {

bool printableAscii(const QString& s)
{
    for (const QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

int runBt(const CliArgs& args, CliIo& io);

} // namespace

CliFamily BtCommands()
{
    CliOption name{QStringLiteral("--name"), QStringLiteral("NAME"),
                   QStringLiteral("the module's new name, starting with \"Tarvik\" (by default one made\n"
                                  "from the clock)")};
    CliOption tester = CliPortOption(QStringLiteral("--tester"), QStringLiteral("PORT2"));
    tester.help = QStringLiteral("the passthrough adapter's port, named as PORT is");
    CliOption address{QStringLiteral("--address"), QStringLiteral("BTA"),
                      QStringLiteral("the module's 12 hex digits"), true};
    address.whenBlank = QStringLiteral("Bluetooth BTA is blank.");
    return {
        QStringLiteral("bt"),
        QStringLiteral("The Bluetooth module of a G3 station and its link test."),
        {
            {QStringLiteral("configure"),
             {},
             {CliPortOption(), name},
             QStringLiteral("configure a G3 station's Bluetooth module; prints BTA= and Name= as read back"),
             runBt},
            {QStringLiteral("test"),
             {},
             {CliPortOption(), tester, address},
             QStringLiteral("test the radio link from the passthrough adapter on PORT2 to the module"),
             runBt},
        }};
}

std::optional<BtInvocation> ParseBtCommand(const QStringList& args, QString& why)
{
    const std::optional<CliArgs> parsed = ParseCli(BtCommands(), args, why);
    return parsed ? BtInvocationOf(*parsed, why) : std::nullopt;
}

std::optional<BtInvocation> BtInvocationOf(const CliArgs& args, QString& why)
{
    BtInvocation inv;
    inv.verb = args.command;
    inv.port = args.value(QStringLiteral("--port"));
    inv.tester = args.value(QStringLiteral("--tester"));
    inv.name = args.value(QStringLiteral("--name"));
    inv.address = args.value(QStringLiteral("--address")).toLatin1();
    const bool named = args.has(QStringLiteral("--name"));
    static const QRegularExpression address(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    if (named && !inv.name.startsWith(QLatin1String(kNamePrefix)))
        why = QStringLiteral("a module name starts with \"%1\"").arg(QLatin1String(kNamePrefix));
    // The name goes to the module inside a command line of its own.
    else if (named && !printableAscii(inv.name))
        why = QStringLiteral("a module name is printable ASCII without line breaks");
    else if (inv.verb == QLatin1String("test") && !address.match(QString::fromLatin1(inv.address)).hasMatch())
        why = QStringLiteral("--address takes the module's 12 hex digits, not '%1'")
                  .arg(QString::fromLatin1(inv.address));
    else if (inv.verb == QLatin1String("test") && TesterIsInterfacePort(Paths(), inv.port, inv.tester))
        // Two names may map to one device (COM3 and COM4 both to /dev/ttyUSB0): the link test would then
        // reset the station's own module over the bus. Refused before anything is opened.
        why = QStringLiteral("the tester needs a port of its own");
    return why.isEmpty() ? std::optional<BtInvocation>(inv) : std::nullopt;
}

int RunBtInvocation(Host& host, SerialPort& tester, int testerPort, const BtInvocation& inv, CliIo& io)
{
    QTextStream& out = io.out;
    BluetoothTools tools(host, host.comQV(), tester);
    if (inv.verb == QLatin1String("configure")) {
        const QString name = inv.name.isEmpty() ? AutomaticName(host) : inv.name;
        const ConfigResult r = tools.ConfigBT(name);
        BusLink(host).select(Channel::Blue);
        if (r.dumpRead)
            out << "BTA=" << QString::fromLatin1(r.dump.address) << Qt::endl
                << "Name=" << QString::fromLatin1(r.dump.name) << Qt::endl;
        if (r.pass)
            return 0;
        if (r.portFailed)
            return 1; // the port's own line has been written
        io.say(QStringLiteral("BT Config: Bluetooth Config Failed") +
               (!r.failedAt.isEmpty() ? QStringLiteral(" at \"%1\"").arg(r.failedAt)
                                      : QStringLiteral(": the module reads back \"%1\", not \"%2\"")
                                            .arg(QString::fromLatin1(r.dump.name), name)));
        return 1;
    }
    const LinkResult r = tools.TestLink(testerPort, inv.address.toUpper());
    if (r.outcome == LinkOutcome::Pass) {
        out << LinkText(r.outcome) << Qt::endl;
        return 0;
    }
    if (r.outcome != LinkOutcome::PortFailed)
        io.say(QStringLiteral("BT Test: ") + LinkText(r.outcome));
    return 1;
}

namespace {

int runBt(const CliArgs& args, CliIo& io)
{
    QString why;
    const std::optional<BtInvocation> inv = BtInvocationOf(args, why);
    if (!inv)
        return io.refuse(why);
    return RunOnPort(inv->port, io, [&](CliHost& cli) {
        const std::optional<int> n = CliComNumber(inv->tester);
        DevicePort& tester = cli.addPort(inv->tester);
        // The tester's number only matters where it names the device; keep it apart from the main port's.
        const int testerPort = n.value_or(cli.host->settings.DTComPort % 16 + 1);
        cli.host->settings.BTComPort = qint16(testerPort);
        return RunBtInvocation(*cli.host, tester, testerPort, *inv, io);
    });
}

} // namespace

} // namespace tqdt::ws
