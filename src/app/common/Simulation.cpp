#include "app/common/Simulation.h"

#include "sim/CondModule.h"
#include "sim/Site.h"

namespace tqdt::app {

void prepareBench(sim::Site& site, const QString& formName)
{
    // The device, module and gateway tools each want their own device on the bench; the tools of
    // this build work with the installation as it stands.
    if (formName == QLatin1String("frmExpCndCustom") || formName == QLatin1String("frmExpCndProfile") ||
        formName == QLatin1String("frmExpCndFactory")) {
        // One module for the whole session, so that what one window programs another finds.
        if (!dynamic_cast<sim::CondModule*>(site.bench())) {
            auto module = std::make_shared<sim::CondModule>(0);
            module->setInputs(0x05);
            site.setBench(module);
        }
    }
}

} // namespace tqdt::app
