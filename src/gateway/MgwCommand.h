#pragma once

#include "cli/CliCommand.h"

namespace tqdt::gw {

// The "mgw" family of tqdt-cli:
//   export-csv FILE.MGW [--points 350|750] [-o OUT.CSV]  the window's export (750 points unless told);
//                                  by default beside the file
//   checksum FILE.MGW              bank 0's and bank 1's checksum as the gateway reports them
//   download FILE.MGW --port PORT  program the gateway at node 00
//   upload FILE.MGW --port PORT    read the gateway into FILE.MGW once both banks verify
// Never asks anything; messages go to err one line each, a progress line too on a terminal. Exit
// status: 0 done (the gateway's checksums matched), 1 the transfer or the port failed, 2 bad usage or
// a bad file.
CliFamily GatewayCommands();

} // namespace tqdt::gw
