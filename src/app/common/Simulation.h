#pragma once

#include <QString>

namespace tqdt {
class Host;
}
namespace tqdt::sim {
class Site;
}

namespace tqdt::app {

// Puts the device a tool window works with on the simulated bench before the window opens.
void prepareBench(sim::Site& site, const QString& formName);
// Takes away what prepareBench set up for a tool once its window has closed.
void clearBench(sim::Site& site, const QString& formName);

} // namespace tqdt::app
