#include "dmx/QdmCommand.h"
#include "documents/CsvPath.h"

#include "cli/CliHost.h"
#include "dmx/DmxMap.h"
#include "dmx/DmxTransfer.h"
#include "ports/DevicePort.h"

#include <optional>

namespace tqdt::dmx {

namespace {

struct Invocation {
    QString verb, file, port, output;
};

std::optional<Invocation> parse(const QStringList& args)
{
    Invocation inv;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size())
            inv.port = args[++i];
        else if (args[i] == QLatin1String("-o") && i + 1 < args.size())
            inv.output = args[++i];
        else if (args[i].startsWith(QLatin1Char('-')))
            return std::nullopt;
        else
            positional << args[i];
    }
    if (positional.isEmpty())
        return std::nullopt;
    inv.verb = positional.takeFirst();
    const bool needsFile = inv.verb != QLatin1String("firmware");
    const bool needsPort = inv.verb == QLatin1String("download") || inv.verb == QLatin1String("firmware");
    const bool takesOutput = inv.verb == QLatin1String("export-csv");
    const bool known = needsPort || takesOutput || inv.verb == QLatin1String("checksum");
    if (!known || positional.size() != (needsFile ? 1 : 0) || needsPort == inv.port.isEmpty() ||
        (!takesOutput && !inv.output.isEmpty()))
        return std::nullopt;
    if (needsFile)
        inv.file = positional.front();
    return inv;
}

} // namespace

QString QdmCommandHelp()
{
    return QStringLiteral(
        "  qdm checksum FILE.QDM\n"
        "              print the checksum the DMX gateway reports once the map is downloaded\n"
        "  qdm export-csv FILE.QDM [-o OUT.CSV]\n"
        "              write the map as a patch listing: Channel,Point for channels 1-512\n"
        "  qdm download FILE.QDM --port PORT\n"
        "              program the channel map into the DMX gateway on the panel network\n"
        "  qdm firmware --port PORT\n"
        "              print the DMX gateway's firmware revision\n");
}

int RunQdmCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto inv = parse(args);
    if (!inv) {
        err << "tqdt-cli: usage: qdm checksum FILE.QDM | qdm export-csv FILE.QDM [-o OUT.CSV]"
               " | qdm download FILE.QDM --port PORT | qdm firmware --port PORT"
            << Qt::endl;
        return 2;
    }
    const bool download = inv->verb == QLatin1String("download");
    if ((download || inv->verb == QLatin1String("firmware")) && !CliPortIsUsable(inv->port, err))
        return 2;
    DmxMap map;
    if (!inv->file.isEmpty()) {
        if (const FileResult r = QdmRead(inv->file, map); !r) {
            err << "tqdt-cli: " << r.line() << Qt::endl;
            return 2;
        }
    }
    if (inv->verb == QLatin1String("checksum")) {
        out << DmxChecksum(map) << Qt::endl;
        return 0;
    }
    if (inv->verb == QLatin1String("export-csv")) {
        const QString csv = inv->output.isEmpty() ? CsvPathFor(inv->file) : inv->output;
        if (const FileResult r = PatchCsvWrite(csv, map); !r) {
            err << "tqdt-cli: " << r.line() << Qt::endl;
            return 2;
        }
        return 0;
    }

    const auto cli = OpenCliHost(inv->port, err);
    if (!cli)
        return 1;
    // The transfer opens the port itself, the way the window does; the host only made sure the
    // device exists, so that its one line could name it.
    cli->host->comQV().close();
    // The gateway's verdict is printed once the transfer is over, unless the port went away, which
    // explains every fault after it.
    cli->dialogs.hold();
    DmxTransfer transfer(*cli->host);
    const TransferResult result = download ? transfer.Download(map) : transfer.FirmwareRev();
    if (cli->port && cli->port->vanished()) {
        err << "tqdt-cli: Port Error: " << cli->portName << " went away during the transfer" << Qt::endl;
        return 1;
    }
    if (!download && result.verified()) {
        // The revision goes to stdout alone, for a script to read.
        cli->dialogs.drop(QStringLiteral("Device Firmware Revision"));
        out << DmxTransfer::FirmwareText(transfer.LastReply) << Qt::endl;
    }
    cli->dialogs.release();
    return result.verified() ? 0 : 1;
}

CliFamily QdmCommands()
{
    return {"qdm", [](const QStringList& args, CliIo& io) { return RunQdmCommand(args, io.out, io.err); },
            QdmCommandHelp};
}

} // namespace tqdt::dmx
