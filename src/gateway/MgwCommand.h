#pragma once

#include "cli/CliCommand.h"

#include <QStringList>
#include <QTextStream>

namespace tqdt::gw {

// "tqdt-cli mgw ..." with the words after "mgw":
//   export-csv FILE.MGW [--points 350|750] [-o OUT.CSV]  the window's export (750 points unless told);
//                                  by default beside the file, as the window writes it
//   checksum FILE.MGW              bank 0's and bank 1's checksum as the gateway reports them
//   download FILE.MGW --port PORT  program the gateway at node 00
//   upload FILE.MGW --port PORT    read the gateway into FILE.MGW once both banks verify
// Never asks anything; messages go to err one line each, a progress line too when progressTerminal
// is set. Returns the exit status: 0 done (the gateway's checksums matched), 1 the transfer or the
// port failed, 2 bad usage or a bad file.
int RunMgwCommand(const QStringList& args, QTextStream& out, QTextStream& err, bool progressTerminal);

// The lines the command adds to tqdt-cli's help.
QString MgwCommandHelp();

// The "mgw" family of tqdt-cli.
CliFamily GatewayCommands();

} // namespace tqdt::gw
