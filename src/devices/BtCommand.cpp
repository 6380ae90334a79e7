#include "devices/BtCommand.h"
#include "bus/BusLink.h"

#include "cli/CliHost.h"
#include "devices/Bluetooth.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ports/DevicePort.h"

#include <QRegularExpression>

namespace tqdt::ws {

namespace {

// "COMn" names the port the windows would map it to; anything else is the device itself.
std::optional<int> comNumber(const QString& port)
{
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto m = comName.match(port);
    return m.hasMatch() ? std::optional<int>(m.captured(1).toInt()) : std::nullopt;
}

bool printableAscii(const QString& s)
{
    for (const QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

} // namespace

std::optional<BtInvocation> ParseBtCommand(const QStringList& args, QString& why)
{
    BtInvocation inv;
    if (args.isEmpty()) {
        why = QStringLiteral("configure or test?");
        return std::nullopt;
    }
    inv.verb = args[0];
    const bool configure = inv.verb == QLatin1String("configure");
    const bool test = inv.verb == QLatin1String("test");
    if (!configure && !test) {
        why = QStringLiteral("unknown command 'bt %1'").arg(inv.verb);
        return std::nullopt;
    }
    bool named = false, addressed = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--port") && hasValue) {
            inv.port = args[++i];
        } else if (configure && a == QLatin1String("--name") && hasValue) {
            inv.name = args[++i];
            named = true;
        } else if (test && a == QLatin1String("--tester") && hasValue) {
            inv.tester = args[++i];
        } else if (test && a == QLatin1String("--address") && hasValue) {
            inv.address = args[++i].toLatin1();
            addressed = true;
        } else {
            why = QStringLiteral("unexpected '%1'").arg(a);
            return std::nullopt;
        }
    }
    static const QRegularExpression address(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    if (inv.port.isEmpty())
        why = QStringLiteral("--port PORT is needed");
    else if (named && !inv.name.startsWith(QLatin1String(kNamePrefix)))
        why = QStringLiteral("a module name starts with \"%1\"").arg(QLatin1String(kNamePrefix));
    // The name goes to the module inside a command line of its own.
    else if (named && !printableAscii(inv.name))
        why = QStringLiteral("a module name is printable ASCII without line breaks");
    else if (test && inv.tester.isEmpty())
        why = QStringLiteral("--tester PORT is needed");
    else if (test && !addressed)
        why = QStringLiteral("--address BTA is needed");
    else if (test && inv.address.isEmpty())
        why = QStringLiteral("Bluetooth BTA is blank.");
    else if (test && !address.match(QString::fromLatin1(inv.address)).hasMatch())
        why = QStringLiteral("--address takes the module's 12 hex digits, not '%1'")
                  .arg(QString::fromLatin1(inv.address));
    else if (test && inv.tester.compare(inv.port, Qt::CaseInsensitive) == 0)
        why = QStringLiteral("the tester needs a port of its own");
    return why.isEmpty() ? std::optional<BtInvocation>(inv) : std::nullopt;
}

int RunBtInvocation(Host& host, SerialPort& tester, int testerPort, const BtInvocation& inv, QTextStream& out,
                    QTextStream& err)
{
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
        err << "tqdt-cli: BT Config: Bluetooth Config Failed";
        if (!r.failedAt.isEmpty())
            err << " at \"" << r.failedAt << "\"";
        else
            err << ": the module reads back \"" << QString::fromLatin1(r.dump.name) << "\", not \"" << name
                << "\"";
        err << Qt::endl;
        return 1;
    }
    const LinkResult r = tools.TestLink(testerPort, inv.address.toUpper());
    if (r.outcome == LinkOutcome::Pass) {
        out << LinkText(r.outcome) << Qt::endl;
        return 0;
    }
    if (r.outcome != LinkOutcome::PortFailed)
        err << "tqdt-cli: BT Test: " << LinkText(r.outcome) << Qt::endl;
    return 1;
}

namespace {

int runBt(const QStringList& args, CliIo& io)
{
    QString why;
    const std::optional<BtInvocation> inv = ParseBtCommand(args, why);
    if (!inv) {
        io.err << "tqdt-cli: bt: " << why << Qt::endl;
        return 2;
    }
    if (!CliPortIsUsable(inv->port, io.err) ||
        (!inv->tester.isEmpty() && !CliPortIsUsable(inv->tester, io.err)))
        return 2;
    const auto cli = OpenCliHost(inv->port, io.err);
    if (!cli)
        return 1;
    const std::optional<int> n = comNumber(inv->tester);
    const QString device = n ? ComDevice(cli->paths, *n) : inv->tester;
    DevicePort tester([device](int) { return device; });
    // The tester's number only matters where it names the device; keep it apart from the main port's.
    const int testerPort = n.value_or(cli->host->settings.DTComPort % 16 + 1);
    cli->host->settings.BTComPort = qint16(testerPort);
    const int status = RunBtInvocation(*cli->host, tester, testerPort, *inv, io.out, io.err);
    // A port that went away explains the failure; the verdict above it was already a failure.
    if (cli->port && cli->port->vanished())
        io.err << "tqdt-cli: Port Error: " << cli->portName << " went away" << Qt::endl;
    else if (tester.vanished())
        io.err << "tqdt-cli: Port Error: the tester port " << inv->tester << " went away" << Qt::endl;
    return status;
}

QString btHelp()
{
    return QStringLiteral(
        "  bt configure --port PORT [--name NAME]\n"
        "              configure a G3 station's Bluetooth module; prints BTA= and Name= as read back\n"
        "  bt test --port PORT --tester PORT2 --address BTA\n"
        "              test the radio link from the passthrough adapter on PORT2 to the module\n");
}

} // namespace

CliFamily BtCommands() { return {"bt", runBt, btHelp}; }

} // namespace tqdt::ws
