#pragma once

#include "cli/CliCommand.h"

namespace tqdt::cnd {

// "tqdt-cli cdf print FILE.CDF -o FILE.PDF [--two-per-page]": writes the printable record of the
// document as a PDF. Exits 0, or 2 on bad usage or a bad file.
CliCommand CdfPrintCommand();

} // namespace tqdt::cnd
