#include "gateway/MgwCommand.h"
#include "documents/CsvPath.h"

#include "cli/CliHost.h"
#include "gateway/GatewayCsv.h"
#include "gateway/GatewayImage.h"
#include "gateway/GatewayProtocol.h"
#include "gateway/GatewayTransfer.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace tqdt::gw {

namespace {

const char* const kUsage = "tqdt-cli: usage: mgw export-csv FILE.MGW [--points 350|750] [-o OUT.CSV] | "
                           "mgw checksum FILE.MGW | mgw download|upload FILE.MGW --port PORT\n";

struct Invocation {
    QString verb, file, port, output;
    int points = kPoints;
};

// Options: --points and -o for the export, --port for the transfers; anything else is refused.
bool parse(const QStringList& args, Invocation& inv)
{
    QStringList positional;
    bool pointsGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--points") && hasValue) {
            const QString v = args[++i];
            if (v != QLatin1String("350") && v != QLatin1String("750"))
                return false;
            inv.points = v.toInt();
            pointsGiven = true;
        } else if (a == QLatin1String("-o") && hasValue) {
            inv.output = args[++i];
        } else if (a == QLatin1String("--port") && hasValue) {
            inv.port = args[++i];
        } else if (a.startsWith(QLatin1Char('-'))) {
            return false;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2)
        return false;
    inv.verb = positional[0];
    inv.file = positional[1];
    if (inv.verb == QLatin1String("export-csv"))
        return inv.port.isEmpty();
    // The other verbs take no listing options.
    if (pointsGiven || !inv.output.isEmpty())
        return false;
    if (inv.verb == QLatin1String("checksum"))
        return inv.port.isEmpty();
    return (inv.verb == QLatin1String("download") || inv.verb == QLatin1String("upload")) &&
           !inv.port.isEmpty();
}

QString hex8(quint32 v) { return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper(); }

int transfer(const Invocation& inv, GatewayImage& image, QTextStream& err, bool progressTerminal)
{
    const auto cli = OpenCliHost(inv.port, err);
    if (!cli)
        return 1;
    Host& host = *cli->host;
    // The transfer opens the port itself, at its own line settings.
    host.comQV().close();
    TransferView view;
    if (progressTerminal) {
        view.label = [&err](const QString& text) {
            err << '\r' << text.leftJustified(36);
            err.flush();
        };
        view.hide = [&err] {
            err << '\r' << QString(36, QLatin1Char(' ')) << '\r';
            err.flush();
        };
    }
    GatewayTransfer t(host, image, view);
    if (inv.verb == QLatin1String("download"))
        return t.DownloadGateway().verified() ? 0 : 1;
    if (!t.UploadGateway().verified())
        return 1;
    if (const FileResult r = MgwWrite(inv.file, image); !r) {
        err << "tqdt-cli: " << r.line() << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace

QString MgwCommandHelp()
{
    return QStringLiteral(
        "  mgw export-csv FILE.MGW [--points 350|750] [-o OUT.CSV]\n"
        "              list a gateway map as CSV (750 points unless told), beside FILE unless -o\n"
        "  mgw checksum FILE.MGW\n"
        "              print bank 0's and then bank 1's checksum as the gateway reports them\n"
        "  mgw download FILE.MGW --port PORT | mgw upload FILE.MGW --port PORT\n"
        "              program the mapped gateway at node 00, or read it into FILE.MGW once verified\n");
}

int RunMgwCommand(const QStringList& args, QTextStream& out, QTextStream& err, bool progressTerminal)
{
    Invocation inv;
    if (!parse(args, inv)) {
        err << kUsage;
        return 2;
    }
    // 256 KB of cells: kept off the stack.
    auto image = std::make_unique<GatewayImage>();
    if (inv.verb == QLatin1String("upload"))
        return transfer(inv, *image, err, progressTerminal);

    if (const FileResult r = MgwRead(inv.file, *image); !r) {
        err << "tqdt-cli: " << r.line() << "\n";
        return 2;
    }
    if (inv.verb == QLatin1String("download"))
        return transfer(inv, *image, err, progressTerminal);
    if (inv.verb == QLatin1String("checksum")) {
        out << hex8(ImageChecksum(*image, 0)) << "\n" << hex8(ImageChecksum(*image, 1)) << "\n";
        return 0;
    }
    // The listing names the document as the window would show it: a full path, native separators.
    const QString name = QDir::toNativeSeparators(QFileInfo(inv.file).absoluteFilePath());
    const QString csv = inv.output.isEmpty() ? CsvPathFor(name) : inv.output;
    if (const FileResult r = GatewayCsvWrite(csv, *image, name, inv.points); !r) {
        err << "tqdt-cli: " << r.line() << "\n";
        return 2;
    }
    return 0;
}

CliFamily GatewayCommands()
{
    return {"mgw",
            [](const QStringList& args, CliIo& io) {
                return RunMgwCommand(args, io.out, io.err, io.progressTerminal);
            },
            MgwCommandHelp};
}

} // namespace tqdt::gw
