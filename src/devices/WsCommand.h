#pragma once

#include "cli/CliCommand.h"

#include <QStringList>
#include <QTextStream>

namespace tqdt::ws {

// "tqdt-cli ws ..." with the words after "ws", for a bench that checks stations from a script:
//   identify --family legacy|g3|dualtech-wall|kestrix [--address HH] --port PORT
//       prints the station's type text as its window shows it (a Kestrix switch adds its options
//       line); a legacy station is always at 00
//   find --family g3|kestrix --port PORT
//       prints the first address 00-FE that answers, as two hex digits
// Returns the exit status: 0 done, 1 no answer or the port failed (one line on err), 2 bad usage.
int RunWsCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The lines the command adds to tqdt-cli's help.
QString WsCommandHelp();

// The "ws" family of tqdt-cli.
CliFamily WsCommands();

} // namespace tqdt::ws
