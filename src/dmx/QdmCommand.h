#pragma once

#include "cli/CliCommand.h"

namespace tqdt::dmx {

// The "qdm" family of tqdt-cli:
//   checksum FILE.QDM               prints the 16-digit checksum the gateway reports after a download
//   export-csv FILE.QDM [-o OUT]    writes the patch listing (default: FILE with CSV for its extension)
//   download FILE.QDM --port PORT   programs the channel map into the DMX gateway
//   firmware --port PORT            prints the gateway's firmware revision
// Messages go to err one line each. Exit status: 0 done (the gateway's checksum matched), 1 the
// transfer or the port failed, 2 bad usage or a bad file.
CliFamily QdmCommands();

} // namespace tqdt::dmx
