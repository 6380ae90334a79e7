#include "condlogic/CndCommands.h"

#include "condlogic/CdfCommand.h"
#include "condlogic/TransferCommand.h"

namespace tqdt::cnd {

namespace {

int runCdf(const QStringList& args, CliIo& io)
{
    if (IsTransferCommand(QStringLiteral("cdf"), args))
        return RunTransferCommand(QStringLiteral("cdf"), args, io.err, io.progressTerminal);
    return RunCdfCommand(args, io.out, io.err);
}

int runMpd(const QStringList& args, CliIo& io)
{
    if (IsMpdFileCommand(args))
        return RunMpdCommand(args, io.out, io.err);
    return RunTransferCommand(QStringLiteral("mpd"), args, io.err, io.progressTerminal);
}

QString cdfHelp() { return CdfCommandHelp() + TransferCommandHelp(QStringLiteral("cdf")); }
QString mpdHelp() { return MpdCommandHelp() + TransferCommandHelp(QStringLiteral("mpd")); }

} // namespace

CliFamily CdfCommands() { return {"cdf", runCdf, cdfHelp}; }
CliFamily MpdCommands() { return {"mpd", runMpd, mpdHelp}; }

} // namespace tqdt::cnd
