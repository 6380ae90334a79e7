#pragma once

#include "cli/CliCommand.h"

namespace tqdt::cnd {

// tqdt-cli's conditional input module commands (the "cdf" family, which draws, is print/CdfFamily.h):
//   mpd checksum | export-csv ...                     (CdfCommand.h)
//   mpd download ...                                  (TransferCommand.h)
CliFamily MpdCommands();

} // namespace tqdt::cnd
