#pragma once

#include "cli/CliCommand.h"

#include <QStringList>
#include <QTextStream>

namespace tqdt::net {

// "tqdt-cli log ..." with the words after "log":
//   decode FILE.TXT [--csv] [--channel blue|brown]
// prints the frames of a raw data-log file, one a line: with --csv as comma-separated values under
// the header "index,time_ms,delta_ms,channel,raw,checksum,meaning", otherwise the same columns
// separated by tabs. A log holds no times, so those columns stay empty. The channel comes from the
// option, else from "BlueChan" or "BrownChan" in the file's name. Returns 0, or 2 for bad usage or a
// file that cannot be read (one line on err).
int RunLogCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The lines the command adds to tqdt-cli's help.
QString LogCommandHelp();

// The "log" family of tqdt-cli.
CliFamily LogCommands();

} // namespace tqdt::net
