#pragma once

#include <QStringList>
#include <QTextStream>

namespace tqdt::cnd {

// "tqdt-cli cdf print FILE.CDF -o FILE.PDF [--two-per-page]" with the words after "cdf": writes the
// printable record of the document as a PDF. Returns 0, or 2 on bad usage or a bad file.
bool IsCdfPrintCommand(const QStringList& args);
int RunCdfPrintCommand(const QStringList& args, QTextStream& out, QTextStream& err);
QString CdfPrintCommandHelp();

} // namespace tqdt::cnd
