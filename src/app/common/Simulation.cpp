#include "app/common/Simulation.h"

#include "sim/Site.h"

namespace tqdt::app {

void prepareBench(sim::Site& site, const QString& formName)
{
    // The device, module and gateway tools each want their own device on the bench; the tools of
    // this build work with the installation as it stands.
    (void)site;
    (void)formName;
}

} // namespace tqdt::app
