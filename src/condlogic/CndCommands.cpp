#include "condlogic/CndCommands.h"

#include "condlogic/CdfCommand.h"
#include "condlogic/TransferCommand.h"

namespace tqdt::cnd {

namespace {

int runMpd(const QStringList& args, CliIo& io)
{
    if (IsMpdFileCommand(args))
        return RunMpdCommand(args, io.out, io.err);
    return RunTransferCommand(QStringLiteral("mpd"), args, io.err, io.progressTerminal);
}

QString mpdHelp() { return MpdCommandHelp() + TransferCommandHelp(QStringLiteral("mpd")); }

} // namespace

CliFamily MpdCommands() { return {"mpd", runMpd, mpdHelp}; }

} // namespace tqdt::cnd
