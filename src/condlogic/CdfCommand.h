#pragma once

#include <QStringList>
#include <QTextStream>

namespace tqdt::cnd {

// "tqdt-cli cdf ..." with the words after "cdf":
//   compile FILE.CDF -o FILE.BIN   writes the 65,536-byte control array, one byte per pattern
//   checksum FILE.CDF              prints the download image's checksum, then the configuration area's
//                                  checksum as an upload computes it
//   expr FILE.CDF                  prints each output's expression, "QV Input n: EXPR", in UTF-8
// ("cdf print" draws, so it sits in the print library: print/CdfPrintCommand.h.)
// Returns the exit status: 0 done, 2 bad usage or a bad file (one line on err).
int RunCdfCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// "tqdt-cli mpd ..." with the words after "mpd", for checking profile tables on a bench:
//   checksum FILE.MPD                  prints the download image's checksum as 16 hex digits
//   export-csv FILE.MPD [-o OUT.CSV]   writes the profile editor's CSV export, by default beside the
//                                      file as the editor does
// Returns the exit status as RunCdfCommand does. "mpd download" is a transfer command.
bool IsMpdFileCommand(const QStringList& args);
int RunMpdCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The lines the commands add to tqdt-cli's help.
QString CdfCommandHelp();
QString MpdCommandHelp();

} // namespace tqdt::cnd
