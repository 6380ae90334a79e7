#include "app/common/Simulation.h"

#include "sim/CondModule.h"
#include "sim/Site.h"

namespace tqdt::app {

namespace {

// The windows that watch or record the bus see another master at work while they are open. The
// traffic stops when they close, so the activity check before a scan or the discovery still finds
// the installation quiet.
bool watchesTraffic(const QString& formName)
{
    return formName == QLatin1String("frmQVDTLocalMonitor") ||
           formName == QLatin1String("frmQVDTNetworkMonitor") ||
           formName == QLatin1String("frmQVDTDataLogger");
}

// Bytes per second: a panel polling its local bus, a building controller reading relay images.
constexpr qint64 kBlueBytesPerSecond = 400;
constexpr qint64 kBrownBytesPerSecond = 200;

} // namespace

void prepareBench(sim::Site& site, const QString& formName)
{
    if (watchesTraffic(formName)) {
        site.setForeignTraffic(Channel::Blue,
                               {sim::otherMasterPattern(site, Channel::Blue), kBlueBytesPerSecond});
        site.setForeignTraffic(Channel::Brown,
                               {sim::otherMasterPattern(site, Channel::Brown), kBrownBytesPerSecond});
    }
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

void clearBench(sim::Site& site, const QString& formName)
{
    if (watchesTraffic(formName)) {
        site.clearForeignTraffic(Channel::Blue);
        site.clearForeignTraffic(Channel::Brown);
    }
}

} // namespace tqdt::app
