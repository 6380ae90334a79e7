#include "dmx/QdmCommand.h"

#include "cli/CliHost.h"
#include "dmx/DmxMap.h"
#include "dmx/DmxTransfer.h"
#include "ports/DevicePort.h"

namespace tqdt::dmx {

namespace {

bool readMap(const QString& file, DmxMap& map, CliIo& io)
{
    if (const FileResult r = QdmRead(file, map); !r) {
        io.say(r.line());
        return false;
    }
    return true;
}

int checksum(const CliArgs& args, CliIo& io)
{
    DmxMap map;
    if (!readMap(args.positional[0], map, io))
        return 2;
    io.out << DmxChecksum(map) << Qt::endl;
    return 0;
}

int exportCsv(const CliArgs& args, CliIo& io)
{
    const QString file = args.positional[0];
    QString why;
    const QString csv = CliExportPath(file, args.value(QStringLiteral("-o")), &why);
    if (csv.isEmpty())
        return io.refuse(why);
    DmxMap map;
    if (!readMap(file, map, io))
        return 2;
    if (const FileResult r = PatchCsvWrite(csv, map); !r) {
        io.say(r.line());
        return 2;
    }
    return 0;
}

// The transfer opens the port itself, the way the window does; the host only made sure the device
// exists, so that its one line could name it. The gateway's verdict is printed once the transfer is
// over, unless the port went away.
int download(const CliArgs& args, CliIo& io)
{
    DmxMap map;
    if (!readMap(args.positional[0], map, io))
        return 2;
    return RunOnPort(args.value(QStringLiteral("--port")), io, [&](CliHost& cli) {
        cli.host->comQV().close();
        DmxTransfer transfer(*cli.host);
        return transfer.Download(map).verified() ? 0 : 1;
    });
}

int firmware(const CliArgs& args, CliIo& io)
{
    return RunOnPort(args.value(QStringLiteral("--port")), io, [&](CliHost& cli) {
        cli.host->comQV().close();
        DmxTransfer transfer(*cli.host);
        if (!transfer.FirmwareRev().verified())
            return 1;
        // The revision goes to stdout alone, for a script to read.
        cli.dialogs.drop(QStringLiteral("Device Firmware Revision"));
        io.out << DmxTransfer::FirmwareText(transfer.LastReply) << Qt::endl;
        return 0;
    });
}

} // namespace

CliFamily QdmCommands()
{
    const QStringList file{QStringLiteral("FILE.QDM")};
    return {QStringLiteral("qdm"),
            QStringLiteral("DMX channel maps (.QDM) and the DMX gateway."),
            {
                {QStringLiteral("checksum"),
                 file,
                 {},
                 QStringLiteral("print the checksum the DMX gateway reports once the map is downloaded"),
                 checksum},
                {QStringLiteral("export-csv"),
                 file,
                 {{QStringLiteral("-o"), QStringLiteral("OUT.CSV"),
                   QStringLiteral("where the listing goes (by default beside FILE.QDM, its extension\n"
                                  "replaced by CSV, or .CSV added when it has none)")}},
                 QStringLiteral("write the map as a patch listing: Channel,Point for channels 1-512"),
                 exportCsv},
                {QStringLiteral("download"),
                 file,
                 {CliPortOption()},
                 QStringLiteral("program the channel map into the DMX gateway on the panel network"),
                 download},
                {QStringLiteral("firmware"),
                 {},
                 {CliPortOption()},
                 QStringLiteral("print the DMX gateway's firmware revision"),
                 firmware},
            }};
}

} // namespace tqdt::dmx
