#include "app/common/Simulation.h"

#include "sim/CondModule.h"
#include "sim/Site.h"

namespace tqdt::app {

namespace {
// Bytes per second: a panel polling its local bus, a building controller reading relay images.
constexpr qint64 kBlueBytesPerSecond = 400;
constexpr qint64 kBrownBytesPerSecond = 200;
} // namespace

void startOtherMaster(sim::Site& site)
{
    site.setForeignTraffic(Channel::Blue,
                           {sim::otherMasterPattern(site, Channel::Blue), kBlueBytesPerSecond});
    site.setForeignTraffic(Channel::Brown,
                           {sim::otherMasterPattern(site, Channel::Brown), kBrownBytesPerSecond});
}

void stopOtherMaster(sim::Site& site)
{
    site.clearForeignTraffic(Channel::Blue);
    site.clearForeignTraffic(Channel::Brown);
}

void benchCondModule(sim::Site& site)
{
    if (!dynamic_cast<sim::CondModule*>(site.bench())) {
        auto module = std::make_shared<sim::CondModule>(0);
        module->setInputs(0x05);
        site.setBench(module);
    }
}

} // namespace tqdt::app
