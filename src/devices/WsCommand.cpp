#include "devices/WsCommand.h"

#include "bus/FrameCodec.h"
#include "cli/CliHost.h"
#include "devices/WsCatalog.h"
#include "devices/WsLink.h"
#include "devices/WsModels.h"

#include <optional>

namespace tqdt::ws {

namespace {

struct Invocation {
    QString verb, family, port;
    std::optional<int> address;
};

std::optional<Invocation> parse(const QStringList& args, QString& why)
{
    Invocation inv;
    if (args.isEmpty()) {
        why = QStringLiteral("identify or find?");
        return std::nullopt;
    }
    inv.verb = args[0];
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--family") && hasValue) {
            inv.family = args[++i];
        } else if (a == QLatin1String("--port") && hasValue) {
            inv.port = args[++i];
        } else if (a == QLatin1String("--address") && hasValue) {
            const QString v = args[++i];
            bool ok = false;
            const int n = v.toInt(&ok, 16);
            if (!ok || v.size() != 2 || n > 0xFE) {
                why = QStringLiteral("--address takes two hex digits 00 to FE, not '%1'").arg(v);
                return std::nullopt;
            }
            inv.address = n;
        } else {
            why = QStringLiteral("unexpected '%1'").arg(a);
            return std::nullopt;
        }
    }
    const bool identify = inv.verb == QLatin1String("identify");
    const bool find = inv.verb == QLatin1String("find");
    const QStringList families =
        identify ? QStringList{"legacy", "g3", "dualtech-wall", "kestrix"} : QStringList{"g3", "kestrix"};
    if (!identify && !find)
        why = QStringLiteral("unknown command 'ws %1'").arg(inv.verb);
    else if (!families.contains(inv.family))
        why = QStringLiteral("--family must be one of %1").arg(families.join(QLatin1Char('|')));
    else if (inv.port.isEmpty())
        why = QStringLiteral("--port PORT is needed");
    else if (inv.address && (find || inv.family == QLatin1String("legacy")))
        why = find ? QStringLiteral("find takes no --address")
                   : QStringLiteral("a legacy station is always at address 00");
    return why.isEmpty() ? std::optional<Invocation>(inv) : std::nullopt;
}

int identify(Host& host, const Invocation& inv, QTextStream& out, QTextStream& err)
{
    const int address = inv.address.value_or(0);
    if (inv.family == QLatin1String("legacy")) {
        if (!LegacyStation(host).QVComWSType()) {
            err << "tqdt-cli: No Response from the legacy station at 00" << Qt::endl;
            return 1;
        }
        // A station of the last model code has no text; the window then keeps its old one.
        out << legacyText(host.reply.WsStatusA).value_or(QString()) << Qt::endl;
        return 0;
    }
    const std::optional<TypeReply> t = TypeQuery(host, address);
    if (!t) {
        err << "tqdt-cli: No Response from the station at " << Hex2(qint16(address)) << Qt::endl;
        return 1;
    }
    const Family family = inv.family == QLatin1String("g3")        ? Family::G3
                          : inv.family == QLatin1String("kestrix") ? Family::Kestrix
                                                                   : Family::DualTechWall;
    out << typeText(family, t->type, t->revision) << Qt::endl;
    if (family == Family::Kestrix)
        out << kestrixOptionsText(t->type) << Qt::endl;
    return 0;
}

} // namespace

int RunWsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString why;
    const std::optional<Invocation> inv = parse(args, why);
    if (!inv) {
        err << "tqdt-cli: ws: " << why << Qt::endl;
        return 2;
    }
    const auto cli = OpenCliHost(inv->port, err);
    if (!cli)
        return 1;
    if (inv->verb == QLatin1String("identify"))
        return identify(*cli->host, *inv, out, err);
    if (const std::optional<int> a = FindStation(*cli->host, {})) {
        out << Hex2(qint16(*a)) << Qt::endl;
        return 0;
    }
    err << "tqdt-cli: No WS Devices Found" << Qt::endl;
    return 1;
}

QString WsCommandHelp()
{
    return QStringLiteral(
        "  ws identify --family legacy|g3|dualtech-wall|kestrix [--address HH] --port PORT\n"
        "              print a wall station's type text as its window shows it (legacy: always 00)\n"
        "  ws find --family g3|kestrix --port PORT\n"
        "              print the first wall-station address that answers\n");
}

namespace {
int runWs(const QStringList& args, CliIo& io) { return RunWsCommand(args, io.out, io.err); }
} // namespace

CliFamily WsCommands() { return {"ws", runWs, WsCommandHelp}; }

} // namespace tqdt::ws
