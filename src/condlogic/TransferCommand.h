#pragma once

#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace tqdt::cnd {

// The module transfers of tqdt-cli, for a production bench that programs modules from a script:
//   cdf download FILE.CDF --port PORT   compile the document and program it into the module
//   cdf upload FILE.CDF --port PORT     read the module's diagrams and notes into FILE.CDF
//   mpd download FILE.MPD --port PORT   program the MP profile table
// PORT is "COMn" (mapped as the windows map it) or a device path. Never asks anything; messages go
// to err one line each, and a progress line too when progressTerminal is set. Returns the exit
// status: 0 verified, 1 the transfer failed, 2 bad usage or a bad file.
bool IsTransferCommand(const QString& family, const QStringList& args);
int RunTransferCommand(const QString& family, const QStringList& args, QTextStream& err,
                       bool progressTerminal);

// The lines the commands of one family ("cdf" or "mpd") add to tqdt-cli's help.
QString TransferCommandHelp(const QString& family);

} // namespace tqdt::cnd
