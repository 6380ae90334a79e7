#pragma once

#include "cli/CliCommand.h"

#include <vector>

namespace tqdt::cnd {

// The file commands of tqdt-cli's "cdf" family, none of which draws:
//   compile FILE.CDF -o FILE.BIN   writes the 65,536-byte control array, one byte per pattern
//   checksum FILE.CDF              prints the download image's checksum, then the configuration area's
//                                  checksum as an upload computes it
//   expr FILE.CDF                  prints each output's expression, "QV Input n: EXPR", in UTF-8
// ("cdf print" draws, so it sits in the print library: print/CdfPrintCommand.h.)
// Each exits 0 done, 2 bad usage or a bad file (one line on err).
std::vector<CliCommand> CdfFileCommands();

// The file commands of the "mpd" family, for checking profile tables on a bench:
//   checksum FILE.MPD                  prints the download image's checksum as 16 hex digits
//   export-csv FILE.MPD [-o OUT.CSV]   writes the profile editor's CSV export, by default beside the
//                                      file, ending in CSV
// "mpd download" is a transfer command (TransferCommand.h).
std::vector<CliCommand> MpdFileCommands();

} // namespace tqdt::cnd
