#include "print/CdfFamily.h"

#include "condlogic/CdfCommand.h"
#include "condlogic/TransferCommand.h"
#include "print/CdfPrintCommand.h"

namespace tqdt::cnd {

namespace {

int runCdf(const QStringList& args, CliIo& io)
{
    if (IsTransferCommand(QStringLiteral("cdf"), args))
        return RunTransferCommand(QStringLiteral("cdf"), args, io.err, io.progressTerminal);
    if (IsCdfPrintCommand(args))
        return RunCdfPrintCommand(args, io.out, io.err);
    return RunCdfCommand(args, io.out, io.err);
}

QString cdfHelp()
{
    return CdfCommandHelp() + CdfPrintCommandHelp() + TransferCommandHelp(QStringLiteral("cdf"));
}

} // namespace

CliFamily CdfCommands() { return {"cdf", runCdf, cdfHelp}; }

} // namespace tqdt::cnd
