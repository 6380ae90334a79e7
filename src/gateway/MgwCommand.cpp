#include "gateway/MgwCommand.h"

#include "cli/CliHost.h"
#include "documents/SafeFile.h"
#include "gateway/GatewayCsv.h"
#include "gateway/GatewayImage.h"
#include "gateway/GatewayProtocol.h"
#include "gateway/GatewayTransfer.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace tqdt::gw {

namespace {

QString hex8(quint32 v) { return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper(); }

int transfer(bool download, const CliArgs& args, CliIo& io)
{
    const QString file = args.positional[0];
    // 256 KB of cells: kept off the stack.
    auto image = std::make_unique<GatewayImage>();
    if (download) {
        if (const FileResult r = MgwRead(file, *image); !r) {
            io.say(r.line());
            return 2;
        }
    } else if (const QString notFile = NotARegularFile(file); !notFile.isEmpty()) {
        // Before the 2,048 blocks: the upload must be able to write its file afterwards.
        io.say(file + QStringLiteral(": ") + notFile);
        return 2;
    }
    return RunOnPort(args.value(QStringLiteral("--port")), io, [&](CliHost& cli) {
        Host& host = *cli.host;
        // The transfer opens the port itself, at its own line settings.
        host.comQV().close();
        TransferView view;
        view.label = [&io](const QString& text) { io.progress(text); };
        view.hide = [&io] { io.progress(QString()); };
        GatewayTransfer t(host, *image, view);
        if (download)
            return t.DownloadGateway().verified() ? 0 : 1;
        if (!t.UploadGateway().verified())
            return 1;
        // "Upload Complete" only once the file holds what was read.
        if (const FileResult r = MgwWrite(file, *image); !r) {
            cli.dialogs.drop(QStringLiteral("Upload"));
            cli.dialogs.line(r.line());
            return 1;
        }
        return 0;
    });
}

int download(const CliArgs& args, CliIo& io) { return transfer(true, args, io); }
int upload(const CliArgs& args, CliIo& io) { return transfer(false, args, io); }

int checksum(const CliArgs& args, CliIo& io)
{
    auto image = std::make_unique<GatewayImage>();
    if (const FileResult r = MgwRead(args.positional[0], *image); !r) {
        io.say(r.line());
        return 2;
    }
    io.out << hex8(ImageChecksum(*image, 0)) << "\n" << hex8(ImageChecksum(*image, 1)) << "\n";
    return 0;
}

int exportCsv(const CliArgs& args, CliIo& io)
{
    const QString file = args.positional[0];
    QString why;
    const QString csv = CliExportPath(file, args.value(QStringLiteral("-o")), &why);
    if (csv.isEmpty())
        return io.refuse(why);
    auto image = std::make_unique<GatewayImage>();
    if (const FileResult r = MgwRead(file, *image); !r) {
        io.say(r.line());
        return 2;
    }
    // The listing names the document as the window would show it: a full path, native separators.
    const QString name = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    const int points =
        args.has(QStringLiteral("--points")) ? args.value(QStringLiteral("--points")).toInt() : kPoints;
    if (const FileResult r = GatewayCsvWrite(csv, *image, name, points); !r) {
        io.say(r.line());
        return 2;
    }
    return 0;
}

} // namespace

CliFamily GatewayCommands()
{
    const QStringList file{QStringLiteral("FILE.MGW")};
    return {QStringLiteral("mgw"),
            QStringLiteral("Mapped gateway maps (.MGW) and the mapped gateway."),
            {
                {QStringLiteral("export-csv"),
                 file,
                 {{QStringLiteral("--points"),
                   QStringLiteral("350|750"),
                   QStringLiteral("how many points the listing holds (750 unless told)"),
                   false,
                   {QStringLiteral("350"), QStringLiteral("750")}},
                  {QStringLiteral("-o"), QStringLiteral("OUT.CSV"),
                   QStringLiteral("where the listing goes (by default beside FILE.MGW, its extension\n"
                                  "replaced by CSV, or .CSV added when it has none)")}},
                 QStringLiteral("list a gateway map as CSV (750 points unless told), beside FILE unless -o"),
                 exportCsv},
                {QStringLiteral("checksum"),
                 file,
                 {},
                 QStringLiteral("print bank 0's and then bank 1's checksum as the gateway reports them"),
                 checksum},
                {QStringLiteral("download"),
                 file,
                 {CliPortOption()},
                 QStringLiteral("program the mapped gateway at node 00"),
                 download},
                {QStringLiteral("upload"),
                 file,
                 {CliPortOption()},
                 QStringLiteral("read the mapped gateway into FILE.MGW once both banks verify"),
                 upload},
            }};
}

} // namespace tqdt::gw
