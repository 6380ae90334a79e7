#pragma once

#include <QString>

namespace tqdt {

class Host;

// Listens before a scan, a discovery or a survey for another master on the bus: one second on the
// Blue channel (when blueToo) and then one on the Brown channel, each after emptying the receive
// buffer. True when nothing arrived; the Brown channel is not tried once the Blue one was busy.
// The Brown channel is left selected on success.
bool NetworkIsQuiet(Host& host, bool blueToo);

// The refusal when it was not: "Another Device Is Scanning The Network." CR LF "Unable To Enter
// <mode> Mode.", shown with the title "Error".
QString AnotherMasterText(const QString& mode);

} // namespace tqdt
