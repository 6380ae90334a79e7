#pragma once

#include "cli/CliCommand.h"

namespace tqdt::cnd {

// tqdt-cli's "cdf" family: compile | checksum | expr (condlogic/CdfCommand.h), download | upload
// (condlogic/TransferCommand.h) and print (print/CdfPrintCommand.h). It lives with the print library
// because one of its words draws (its command is marked as needing fonts); the rest of it is the
// core's (condlogic/CndCommands.h).
CliFamily CdfCommands();

} // namespace tqdt::cnd
