#pragma once

#include "cli/CliCommand.h"

namespace tqdt::net {

// "tqdt-cli site ..." with the words after "site":
//   survey --port PORT [--site-name NAME] [--technician NAME] [--paper a4|letter] -o DIR
//       surveys the installation without changing it and writes survey.json, survey.csv and
//       survey.pdf into DIR; 0 on a complete survey, 1 when the bus was unusable or the survey was
//       cut short (SIGINT or SIGTERM: no file, "Survey stopped"), 2 on a usage error
//   diff OLD.json NEW.json
//       prints what changed, one line each; 0 nothing changed, 1 something did, 2 a file is unreadable
// (survey draws its report, so it is marked as needing fonts.)
CliFamily SiteCommands();

} // namespace tqdt::net
