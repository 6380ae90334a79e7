#include "condlogic/CndCommands.h"

#include "condlogic/CdfCommand.h"
#include "condlogic/TransferCommand.h"

namespace tqdt::cnd {

CliFamily CdfCoreCommands()
{
    CliFamily f{QStringLiteral("cdf"),
                QStringLiteral("Conditional data files (.CDF) and the conditional input module."),
                CdfFileCommands()};
    for (CliCommand& c : CdfTransferCommands())
        f.commands.push_back(std::move(c));
    return f;
}

CliFamily MpdCommands()
{
    CliFamily f{QStringLiteral("mpd"),
                QStringLiteral("MP device profile tables (.MPD) and the module they program."),
                MpdFileCommands()};
    f.commands.push_back(MpdDownloadCommand());
    return f;
}

} // namespace tqdt::cnd
