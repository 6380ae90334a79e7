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

#include <memory>

namespace tqdt::cnd {

namespace {

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

// One run of a transfer: FILE is a .CDF (download or upload) or a .MPD (download).
int transfer(bool cdf, bool upload, const CliArgs& args, CliIo& io)
{
    const QString file = args.positional[0];
    // The document with its control array is 140 KB: kept off the stack.
    auto doc = std::make_unique<CndDocument>();
    QByteArray image;
    if (!upload) {
        ProfileTable profiles{};
        const FileResult read = cdf ? CdfRead(file, *doc) : MpdRead(file, profiles);
        if (!read) {
            io.say(read.line());
            return 2;
        }
        if (cdf)
            CompileFast(*doc, doc->ControlArray);
        image = cdf ? BuildProgramImage(*doc) : ProfileProgramImage(profiles);
    }

    // Before anything is sent: an upload must be able to replace its file afterwards.
    if (upload) {
        if (const QString notFile = NotARegularFile(file); !notFile.isEmpty()) {
            io.say(file + QStringLiteral(": ") + notFile);
            return 2;
        }
    }

    return RunOnPort(args.value(QStringLiteral("--port")), io, [&](CliHost& cli) {
        TransferView view;
        view.label = [&io](const QString& text) { io.progress(text); };
        view.hide = [&io] { io.progress(QString()); };
        ModuleTransfer transfer(*cli.host, view);
        const TransferResult result = upload ? transfer.Upload(*doc) : transfer.Download(image);
        if (!upload)
            return result.verified() ? 0 : 1;

        // The transfer's verdict speaks of the windows' document; here the file is what counts.
        CliDialogs& dialogs = cli.dialogs;
        dialogs.drop(QStringLiteral("Upload"));
        dialogs.drop(QStringLiteral("Upload Failure"));
        if (result.failedWith(ModuleTransfer::kFailed)) {
            dialogs.line(QStringLiteral("Upload Failure: Upload Failed. ") + file +
                         QStringLiteral(" was not written."));
            return 1;
        }
        if (!result.verified())
            return 1;
        if (const QString bad = outOfRangeValue(*doc); !bad.isEmpty()) {
            dialogs.line(file + QStringLiteral(" not written: ") + bad + QLatin1Char('.'));
            return 1;
        }
        if (const FileResult written = CdfWrite(file, *doc); !written) {
            dialogs.line(written.line());
            return 1;
        }
        dialogs.line(QStringLiteral("Upload: Upload Complete. Power Cycle Device."));
        return 0;
    });
}

int cdfDownload(const CliArgs& args, CliIo& io) { return transfer(true, false, args, io); }
int cdfUpload(const CliArgs& args, CliIo& io) { return transfer(true, true, args, io); }
int mpdDownload(const CliArgs& args, CliIo& io) { return transfer(false, false, args, io); }

} // namespace

std::vector<CliCommand> CdfTransferCommands()
{
    return {
        {QStringLiteral("download"),
         {QStringLiteral("FILE.CDF")},
         {CliPortOption()},
         QStringLiteral("compile a conditional data file and program it into the module at node 00"),
         cdfDownload},
        {QStringLiteral("upload"),
         {QStringLiteral("FILE.CDF")},
         {CliPortOption()},
         QStringLiteral("read the module's diagrams and notes into FILE.CDF once their checksum matches"),
         cdfUpload},
    };
}

CliCommand MpdDownloadCommand()
{
    return {QStringLiteral("download"),
            {QStringLiteral("FILE.MPD")},
            {CliPortOption()},
            QStringLiteral("program an MP device profile table into the module at node 00"),
            mpdDownload};
}

} // namespace tqdt::cnd
