#pragma once

#include "shell/CliCommand.h"

namespace tqdt::cnd {

// tqdt-cli's conditional input module commands:
//   cdf compile | checksum | download | upload ...   (CdfCommand.h, TransferCommand.h)
//   mpd checksum | export-csv ...                     (CdfCommand.h)
//   mpd download ...                                  (TransferCommand.h)
CliFamily CdfCommands();
CliFamily MpdCommands();

} // namespace tqdt::cnd
