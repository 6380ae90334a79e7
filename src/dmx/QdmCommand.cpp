#include "dmx/QdmCommand.h"

#include "condlogic/MpdFile.h"
#include "dmx/DmxMap.h"
#include "dmx/DmxTransfer.h"
#include "shell/CliHost.h"

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
        const QString csv = inv->output.isEmpty() ? cnd::CsvPathFor(inv->file) : inv->output;
        if (const FileResult r = PatchCsvWrite(csv, map); !r) {
            err << "tqdt-cli: " << r.line() << Qt::endl;
            return 2;
        }
        return 0;
    }

    const auto cli = OpenCliHost(inv->port, err);
    if (!cli)
        return 1;
    // The transfer opens the port itself, the way the window does; the session only made sure the
    // device exists, so that its one line could name it.
    cli->host->comQV().close();
    DmxTransfer transfer(*cli->host);
    if (inv->verb == QLatin1String("download"))
        return transfer.Download(map) == DmxResult::Done ? 0 : 1;
    if (transfer.FirmwareRev() != DmxResult::Done)
        return 1;
    out << DmxTransfer::FirmwareText(transfer.LastReply) << Qt::endl;
    return 0;
}

CliFamily QdmCommands()
{
    return {"qdm", [](const QStringList& args, CliIo& io) { return RunQdmCommand(args, io.out, io.err); },
            QdmCommandHelp};
}

} // namespace tqdt::dmx
