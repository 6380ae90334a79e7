#pragma once

#include "cli/CliCommand.h"

#include <QStringList>
#include <QTextStream>

namespace tqdt::net {

// "tqdt-cli site ..." with the words after "site":
//   survey --port PORT [--site-name NAME] [--technician NAME] [--paper a4|letter] -o DIR
//       surveys the installation without changing it and writes survey.json, survey.csv and
//       survey.pdf into DIR; 0 on a complete survey, 1 when the bus was unusable or the survey was
//       cut short (SIGINT or SIGTERM: no file, "Survey stopped"), 2 on a usage error
//   diff OLD.json NEW.json
//       prints what changed, one line each; 0 nothing changed, 1 something did, 2 a file is unreadable
int RunSiteCommand(const QStringList& args, QTextStream& out, QTextStream& err);
QString SiteCommandHelp();
// Whether the words after "site" draw a report (the command then needs a GUI application for fonts).
bool IsSiteSurveyCommand(const QStringList& args);

CliFamily SiteCommands();

} // namespace tqdt::net
