#include "devices/WsCommand.h"

#include "bus/FrameCodec.h"
#include "cli/CliHost.h"
#include "devices/WsCatalog.h"
#include "devices/WsLink.h"
#include "devices/WsModels.h"

#include <optional>

namespace tqdt::ws {

namespace {

int identifyOn(CliHost& cli, const QString& familyName, int address)
{
    Host& host = *cli.host;
    QTextStream& out = cli.io.out;
    if (familyName == QLatin1String("legacy")) {
        if (!LegacyStation(host).QVComWSType()) {
            cli.dialogs.line(QStringLiteral("No Response from the legacy station at 00"));
            return 1;
        }
        // A station of the last model code has no text; the window then keeps its old one.
        out << legacyText(host.reply.WsStatusA).value_or(QString()) << Qt::endl;
        return 0;
    }
    const std::optional<TypeReply> t = TypeQuery(host, address);
    if (!t) {
        cli.dialogs.line(QStringLiteral("No Response from the station at ") + Hex2(qint16(address)));
        return 1;
    }
    const Family family = familyName == QLatin1String("g3")        ? Family::G3
                          : familyName == QLatin1String("kestrix") ? Family::Kestrix
                                                                   : Family::DualTechWall;
    out << typeText(family, t->type, t->revision) << Qt::endl;
    if (family == Family::Kestrix)
        out << kestrixOptionsText(t->type) << Qt::endl;
    return 0;
}

int identify(const CliArgs& args, CliIo& io)
{
    const QString family = args.value(QStringLiteral("--family")).toLower();
    int address = 0;
    if (args.has(QStringLiteral("--address"))) {
        const QString v = args.value(QStringLiteral("--address"));
        bool ok = false;
        address = v.toInt(&ok, 16);
        if (!ok || v.size() != 2 || address > 0xFE)
            return io.refuse(QStringLiteral("--address takes two hex digits 00 to FE, not '%1'").arg(v));
        if (family == QLatin1String("legacy"))
            return io.refuse(QStringLiteral("a legacy station is always at address 00"));
    }
    return RunOnPort(args.value(QStringLiteral("--port")), io,
                     [&](CliHost& cli) { return identifyOn(cli, family, address); });
}

int find(const CliArgs& args, CliIo& io)
{
    return RunOnPort(args.value(QStringLiteral("--port")), io, [&](CliHost& cli) {
        if (const std::optional<int> a = FindStation(*cli.host, {})) {
            io.out << Hex2(qint16(*a)) << Qt::endl;
            return 0;
        }
        cli.dialogs.line(QStringLiteral("No WS Devices Found"));
        return 1;
    });
}

CliOption familyOption(const QStringList& families)
{
    return {QStringLiteral("--family"), families.join(QLatin1Char('|')),
            QStringLiteral("the kind of station the window would be opened for"), true, families};
}

} // namespace

CliFamily WsCommands()
{
    return {
        QStringLiteral("ws"),
        QStringLiteral("Wall stations and wall sensors on the bus."),
        {
            {QStringLiteral("identify"),
             {},
             {familyOption({QStringLiteral("legacy"), QStringLiteral("g3"), QStringLiteral("dualtech-wall"),
                            QStringLiteral("kestrix")}),
              {QStringLiteral("--address"), QStringLiteral("HH"),
               QStringLiteral("the station's address, two hex digits 00 to FE (00 unless told)")},
              CliPortOption()},
             QStringLiteral("print a wall station's type text as its window shows it (legacy: always 00)"),
             identify},
            {QStringLiteral("find"),
             {},
             {familyOption({QStringLiteral("g3"), QStringLiteral("kestrix")}), CliPortOption()},
             QStringLiteral("print the first wall-station address that answers"),
             find},
        }};
}

} // namespace tqdt::ws
