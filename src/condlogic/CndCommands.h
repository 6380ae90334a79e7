#pragma once

#include "cli/CliCommand.h"

namespace tqdt::cnd {

// tqdt-cli's conditional input module commands:
//   cdf compile | checksum | expr  (CdfCommand.h), download | upload (TransferCommand.h); the "cdf"
//       family itself, which adds "print", is print/CdfFamily.h because that word draws
//   mpd checksum | export-csv      (CdfCommand.h), download (TransferCommand.h)
CliFamily CdfCoreCommands();
CliFamily MpdCommands();

} // namespace tqdt::cnd
