#pragma once

#include "cli/CliCommand.h"

namespace tqdt::ws {

// The "ws" family of tqdt-cli, for a bench that checks stations from a script:
//   identify --family legacy|g3|dualtech-wall|kestrix [--address HH] --port PORT
//       prints the station's type text as its window shows it (a Kestrix switch adds its options
//       line); a legacy station is always at 00
//   find --family g3|kestrix --port PORT
//       prints the first address 00-FE that answers, as two hex digits
// Exit status: 0 done, 1 no answer or the port failed (one line on err), 2 bad usage.
CliFamily WsCommands();

} // namespace tqdt::ws
