#include "print/CdfFamily.h"

#include "condlogic/CndCommands.h"
#include "print/CdfPrintCommand.h"

namespace tqdt::cnd {

CliFamily CdfCommands()
{
    CliFamily f = CdfCoreCommands();
    // After the other file commands, before the transfers.
    const auto transfers = std::find_if(f.commands.begin(), f.commands.end(), [](const CliCommand& c) {
        return c.name == QLatin1String("download");
    });
    f.commands.insert(transfers, CdfPrintCommand());
    return f;
}

} // namespace tqdt::cnd
