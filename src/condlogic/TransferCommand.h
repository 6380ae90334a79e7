#pragma once

#include "cli/CliCommand.h"

#include <vector>

namespace tqdt::cnd {

// The module transfers of tqdt-cli, for a production bench that programs modules from a script:
//   cdf download FILE.CDF --port PORT   compile the document and program it into the module
//   cdf upload FILE.CDF --port PORT     read the module's diagrams and notes into FILE.CDF
//   mpd download FILE.MPD --port PORT   program the MP profile table
// Never asks anything; messages go to err one line each, and a progress line too on a terminal.
// Each exits 0 verified, 1 the transfer or the port failed, 2 bad usage or a bad file.
std::vector<CliCommand> CdfTransferCommands();
CliCommand MpdDownloadCommand();

} // namespace tqdt::cnd
