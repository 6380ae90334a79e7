#include "condlogic/TransferCommand.h"

#include "cli/CliHost.h"
#include "condlogic/CdfFile.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/ModuleTransfer.h"
#include "condlogic/MpdFile.h"
#include "condlogic/ProgramImage.h"
#include "documents/SafeFile.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ports/DevicePort.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

namespace tqdt::cnd {

namespace {

struct Invocation {
    QString verb, file, port;
};

std::optional<Invocation> parse(const QStringList& args)
{
    Invocation inv;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size())
            inv.port = args[++i];
        else if (args[i].startsWith(QLatin1String("--")))
            return std::nullopt;
        else
            positional << args[i];
    }
    if (positional.size() != 2 || inv.port.isEmpty())
        return std::nullopt;
    inv.verb = positional[0];
    inv.file = positional[1];
    return inv;
}

// The first diagram value a .CDF file cannot hold, as a sentence; empty when there is none.
QString outOfRangeValue(const CndDocument& doc)
{
    for (int o = 0; o < kOutputs; ++o)
        for (int c = 0; c < kCells; ++c)
            for (const auto& [what, v] :
                 {std::pair{"segment code", doc.code(o, c)}, {"input", doc.input(o, c)}})
                if (v < 0 || v > 15)
                    return QStringLiteral(
                               "the module holds %1 %2 for output %3, cell %4; a diagram holds 0 to 15")
                        .arg(QLatin1String(what))
                        .arg(v)
                        .arg(o + 1)
                        .arg(c);
    return {};
}

} // namespace

QString TransferCommandHelp(const QString& family)
{
    if (family == QLatin1String("cdf"))
        return QStringLiteral(
            "  cdf download FILE.CDF --port PORT\n"
            "              compile a conditional data file and program it into the module at node 00\n"
            "  cdf upload FILE.CDF --port PORT\n"
            "              read the module's diagrams and notes into FILE.CDF once their checksum matches\n");
    return QStringLiteral(
        "  mpd download FILE.MPD --port PORT\n"
        "              program an MP device profile table into the module at node 00\n"
        "              PORT is COMn (mapped in the settings file's [Ports]), a device path or\n"
        "              rfc2217://HOST:PORT[?ign_set_control&ign_purge&timeout=SECONDS]\n");
}

bool IsTransferCommand(const QString& family, const QStringList& args)
{
    if (family == QLatin1String("mpd"))
        return args.isEmpty() || args[0] == QLatin1String("download");
    return family == QLatin1String("cdf") && !args.isEmpty() &&
           (args[0] == QLatin1String("download") || args[0] == QLatin1String("upload"));
}

int RunTransferCommand(const QString& family, const QStringList& args, QTextStream& err,
                       bool progressTerminal)
{
    const bool cdf = family == QLatin1String("cdf");
    const auto inv = parse(args);
    if (!inv || (inv->verb != QLatin1String("download") && !(cdf && inv->verb == QLatin1String("upload")))) {
        err << "tqdt-cli: usage: cdf download|upload FILE.CDF --port PORT | mpd download FILE.MPD --port PORT"
            << Qt::endl;
        return 2;
    }
    const bool upload = inv->verb == QLatin1String("upload");

    if (!CliPortIsUsable(inv->port, err))
        return 2;

    // The document with its control array is 140 KB: kept off the stack.
    auto doc = std::make_unique<CndDocument>();
    QByteArray image;
    if (!upload) {
        ProfileTable profiles{};
        const FileResult read = cdf ? CdfRead(inv->file, *doc) : MpdRead(inv->file, profiles);
        if (!read) {
            err << "tqdt-cli: " << read.line() << Qt::endl;
            return 2;
        }
        if (cdf)
            CompileFast(*doc, doc->ControlArray);
        image = cdf ? BuildProgramImage(*doc) : ProfileProgramImage(profiles);
    }

    // Before anything is sent: an upload must be able to replace its file afterwards.
    if (upload) {
        if (const QString notFile = NotARegularFile(inv->file); !notFile.isEmpty()) {
            err << "tqdt-cli: " << inv->file << ": " << notFile << Qt::endl;
            return 2;
        }
    }

    const auto cli = OpenCliHost(inv->port, err);
    if (!cli)
        return 1;
    Host& host = *cli->host;
    CliDialogs& dialogs = cli->dialogs;
    dialogs.hold();

    TransferView view;
    if (progressTerminal) {
        // One line that overwrites itself; cleared when the counter is hidden.
        view.label = [&err](const QString& text) {
            err << '\r' << text.leftJustified(24);
            err.flush();
        };
        view.hide = [&err] {
            err << '\r' << QString(24, QLatin1Char(' ')) << '\r';
            err.flush();
        };
    }
    ModuleTransfer transfer(host, view);
    const TransferResult result = upload ? transfer.Upload(*doc) : transfer.Download(image);
    // A port that went away explains every failure after it; the refusals it caused are noise.
    if (cli->port && cli->port->vanished()) {
        err << "tqdt-cli: Port Error: " << cli->portName << " went away during the transfer" << Qt::endl;
        return 1;
    }
    if (!upload) {
        dialogs.release();
        return result.verified() ? 0 : 1;
    }

    // The transfer's verdict speaks of the windows' document; here the file is what counts.
    dialogs.drop(QStringLiteral("Upload"));
    dialogs.drop(QStringLiteral("Upload Failure"));
    dialogs.release();
    if (result.failedWith(ModuleTransfer::kFailed)) {
        err << "tqdt-cli: Upload Failure: Upload Failed. " << inv->file << " was not written." << Qt::endl;
        return 1;
    }
    if (!result.verified())
        return 1;
    if (const QString bad = outOfRangeValue(*doc); !bad.isEmpty()) {
        err << "tqdt-cli: " << inv->file << " not written: " << bad << "." << Qt::endl;
        return 1;
    }
    if (const FileResult written = CdfWrite(inv->file, *doc); !written) {
        err << "tqdt-cli: " << written.line() << Qt::endl;
        return 1;
    }
    err << "tqdt-cli: Upload: Upload Complete. Power Cycle Device." << Qt::endl;
    return 0;
}

} // namespace tqdt::cnd
